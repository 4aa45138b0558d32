#!/usr/bin/env bash
# Remakes the replays kept here with the game itself: the bot (replay_bot.cpp) plays each
# scripted game through the real start-up and loop in a private X server of 640 x 480,
# recording with --record, and each new file must then pass --check. Run after a change
# that rightly changes what the game does; commit the new files with it.
# collect_each, game_over and focus_lost are of format version 2, made before pads were
# recorded, and show that such files still play: remaking them makes them version 3, so
# name only the replays a change concerns.
#
#   bash tests/replays/make_replays.sh [BUILD_DIR [NAME...]]   (NAME: collect_each,
#   game_over, focus_lost, pad_flight; all without)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(readlink -f "${1:-$root/build}")"
ninja -C "$build" replay_bot orvendale
work="$(mktemp -d /tmp/orvendale-replays.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp -r "$root/data/." "$work/"
cd "$work"
wanted=("${@:2}")
for pair in collect:collect_each gameover:game_over focus:focus_lost pad:pad_flight; do
  scenario="${pair%%:*}"
  name="${pair#*:}"
  if [ "${#wanted[@]}" -gt 0 ] && [[ " ${wanted[*]} " != *" $name "* ]]; then continue; fi
  xvfb-run -a -s "-screen 0 640x480x24" "$build/tests/replay_bot" record "$scenario" "$work/$name.orvr"
  xvfb-run -a -s "-screen 0 640x480x24" "$build/orvendale" --replay "$work/$name.orvr" --check
  cp "$work/$name.orvr" "$root/tests/replays/$name.orvr"
done
