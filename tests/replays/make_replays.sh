#!/usr/bin/env bash
# Remakes the replays kept here with the game itself: the bot (replay_bot.cpp) plays each
# scripted game through the real start-up and loop in a private X server of 640 x 480,
# recording with --record, and each new file must then pass --check. Run after a change
# that rightly changes what the game does; commit the new files with it.
#
#   bash tests/replays/make_replays.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(readlink -f "${1:-$root/build}")"
ninja -C "$build" replay_bot orvendale
work="$(mktemp -d /tmp/orvendale-replays.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp -r "$root/data/." "$work/"
cd "$work"
for pair in collect:collect_each gameover:game_over focus:focus_lost; do
  scenario="${pair%%:*}"
  name="${pair#*:}"
  xvfb-run -a -s "-screen 0 640x480x24" "$build/tests/replay_bot" record "$scenario" "$work/$name.orvr"
  xvfb-run -a -s "-screen 0 640x480x24" "$build/orvendale" --replay "$work/$name.orvr" --check
  cp "$work/$name.orvr" "$root/tests/replays/$name.orvr"
done
