#!/usr/bin/env bash
# Recording a game and replaying it on the same machine shows the same pictures: the bot
# records the focus game and saves frames 40, 150 and 250 as it shows them, then
# watches the recording and saves the same frames, which must be identical byte for byte.
# The frames are fixed in game time, so they show the countdown and "SLIDE !" for sure.
# (Only on one machine: another GL driver draws other pixels.)
#   pictures.sh REPLAY_BOT DATA_DIR
source "$(dirname "$0")/../e2e/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
mkdir -p "$E2E_WORK/recorded" "$E2E_WORK/replayed"
cd "$E2E_WORK" || e2e_fail "no scratch folder"
"$E2E_BIN" record focus "$E2E_WORK/game.orvr" "$E2E_WORK/recorded" >/dev/null 2>"$E2E_WORK/stderr.txt" ||
  e2e_fail "recording failed"
"$E2E_BIN" replay "$E2E_WORK/game.orvr" "$E2E_WORK/replayed" >"$E2E_WORK/stdout.txt" 2>>"$E2E_WORK/stderr.txt" ||
  e2e_fail "replaying failed"
for f in 40 150 250; do
  a="$E2E_WORK/recorded/shot_$f.ppm"
  b="$E2E_WORK/replayed/shot_$f.ppm"
  [ -s "$a" ] && [ -s "$b" ] || e2e_fail "frame $f was not saved"
  # A picture of something: the landscape lights a good part of the screen.
  e2e_check "$(convert "$a" -colorspace Gray -format '%[fx:mean]' info:) > 0.01" "frame $f is dark"
  cmp -s "$a" "$b" || e2e_fail "frame $f differs between the recording and the replay ($(compare -metric AE "$a" "$b" null: 2>&1) pixels)"
done
# Frames last 1/64 s: frame 40 is in the countdown (0.625 s, its first digit two and a
# half times its size at the start of the second), frame 250 (3.9 s) after it. The
# countdown's digits are blue-white and "SLIDE !" orange, both at the top centre.
read -r r g b <<<"$(e2e_region_rgb "$E2E_WORK/recorded/shot_40.ppm" 240 20 160 60)"
e2e_check "$b > 0.04 && $b > $r" "frame 40 shows the countdown (blue-white digits) at the top centre"
read -r r g b <<<"$(e2e_region_rgb "$E2E_WORK/recorded/shot_250.ppm" 210 20 170 50)"
e2e_check "$r > 0.08 && $r > $b" "frame 250 shows \"SLIDE !\" (orange) at the top centre"
cmp -s "$E2E_WORK/recorded/shot_40.ppm" "$E2E_WORK/recorded/shot_150.ppm" &&
  e2e_fail "frames 40 and 150 are the same picture"
grep -q "game.orvr: exact, 280 frames" "$E2E_WORK/stdout.txt" || e2e_fail "the replay was not exact"
echo "PASS"
