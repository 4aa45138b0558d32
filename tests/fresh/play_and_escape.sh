#!/usr/bin/env bash
# The README's play command as a new player meets it: on a machine with a desktop (here a
# private Xvfb of 640 x 480) `bash scripts/play.sh` installs what is missing, builds, and
# starts the game; the game reaches its first frames and Escape ends it with result 0.
# Run from the repository folder; scripts/fresh-root.sh runs it inside a new Debian 12 root.
set -uo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
source "$repo/scripts/lib/packages.sh"
source "$repo/scripts/lib/xserver.sh"
# The desktop a player already has; everything else comes from the play command itself.
install_missing xvfb xauth xdotool x11-utils || exit 1

gpid=""
cleanup() {
  [ -n "$gpid" ] && kill "$gpid" 2>/dev/null
  stop_xvfb
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$repo/data/Engine.log" ] && { echo "--- Engine.log:" >&2; cat "$repo/data/Engine.log" >&2; }
  exit 1
}

start_xvfb 640 480 || fail "could not start Xvfb"

rm -f "$repo/data/Engine.log"
bash "$repo/scripts/play.sh" &
gpid=$!
# The first play on a new machine builds the game first.
for _ in $(seq 1 9000); do
  grep -qxF "Rendering !" "$repo/data/Engine.log" 2>/dev/null && break
  kill -0 "$gpid" 2>/dev/null || fail "the play command ended before the game rendered"
  sleep 0.1
done
grep -qxF "Rendering !" "$repo/data/Engine.log" 2>/dev/null || fail "the game did not render"
sleep 2
if ! kill -0 "$gpid" 2>/dev/null; then
  wait "$gpid"
  fail "the game ended by itself, with $?"
fi

win="$(xdotool search --name '^Orvendale$' 2>/dev/null | head -1)"
[ -n "$win" ] || fail "no window named Orvendale"
xdotool mousemove 20 20 >/dev/null 2>&1
xdotool windowfocus "$win" >/dev/null 2>&1
sleep 0.2
xdotool key Escape
for _ in $(seq 1 150); do kill -0 "$gpid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$gpid" 2>/dev/null && fail "Escape did not end the game"
wait "$gpid"
rc=$?
gpid=""
[ "$rc" -eq 0 ] || fail "the game ended with $rc, expected 0"
echo "PASS: play command, first frames, Escape -> 0"
