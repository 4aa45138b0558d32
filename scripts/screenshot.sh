#!/usr/bin/env bash
# Makes the README's picture with the game itself: the bot (tests/replays/replay_bot.cpp)
# watches one of the kept replays in a private X server and saves the frame it shows,
# which becomes docs/screenshot.png. Run it again after the kept replays are remade.
#
#   bash scripts/screenshot.sh [REPLAY_NAME [FRAME]]
#     REPLAY_NAME  a replay in tests/replays/, without .orvr (default: collect_each)
#     FRAME        40, 150 or 250, the frames the bot saves (default: 250)
# Needs a configured build/ (scripts/build.sh) and ImageMagick's convert.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
name="${1:-collect_each}"
frame="${2:-250}"
replay="$root/tests/replays/$name.orvr"
[ -f "$replay" ] || { echo "screenshot.sh: no replay $replay" >&2; exit 2; }
case "$frame" in
  40 | 150 | 250) ;;
  *) echo "screenshot.sh: the bot saves frames 40, 150 and 250, not $frame" >&2; exit 2 ;;
esac

ninja -C "$root/build" replay_bot >/dev/null
source "$root/scripts/lib/xserver.sh"
work="$(mktemp -d /tmp/orvendale-screenshot.XXXXXX)"
trap 'stop_xvfb; rm -rf "$work"' EXIT
cp -r "$root/data/." "$work/"
mkdir "$work/shots"
# The kept replays are played at 640 x 480.
start_xvfb 640 480
(cd "$work" && "$root/build/tests/replay_bot" replay "$replay" "$work/shots" >/dev/null)
shot="$work/shots/shot_$frame.ppm"
[ -s "$shot" ] || { echo "screenshot.sh: $name.orvr has no frame $frame" >&2; exit 1; }
# No time stamps or other metadata: the same frame makes the same file.
convert "$shot" -strip -define png:exclude-chunks=date,time "$root/docs/screenshot.png"
echo "$root/docs/screenshot.png"
