#!/usr/bin/env bash
# Starts the real game at the Settings.ini size on a screen of that size: the log, the
# borderless top-most window, then "SLIDE !" with the bars, counters, icons, frame rate
# and the glowing landscape; Escape ends it with result 0.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
rec="$E2E_WORK/startup.orvr"
e2e_run_game --record "$rec"
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not reach 'Rendering !'"
win="$(e2e_window)"
[ -n "$win" ] || e2e_fail "no window named Orvendale"
info="$(xwininfo -id "$win")"
echo "$info" | grep -q "Width: 640" || e2e_fail "window width is not 640"
echo "$info" | grep -q "Height: 480" || e2e_fail "window height is not 480"
echo "$info" | grep -q "Border width: 0" || e2e_fail "window has a border"
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || e2e_fail "window is not top-most"

# The countdown's digits are checked on fixed frames of a bot's game (tests/replays/
# pictures.sh). Here the picture of play is taken once the game has recorded 3.5 s of
# play, "SLIDE !" up, however slowly this machine draws.
e2e_wait_game_time "$rec" 3.5 60 || e2e_fail "the game did not record 3.5 s of play"
shot="$E2E_WORK/playing.png"
e2e_screenshot "$shot"
read -r r g b <<<"$(e2e_region_rgb "$shot" 210 20 170 50)"
e2e_check "$r > 0.08 && $r > $b" "\"SLIDE !\" (orange) is at the top centre"
read -r r g b <<<"$(e2e_region_rgb "$shot" 28 40 8 300)"
e2e_check "$r > 0.4 && $g > 0.4 && $b > 0.4" "the energy bar hangs at the left"
read -r r g b <<<"$(e2e_region_rgb "$shot" 60 24 6 30)"
e2e_check "$b > 0.4" "the first zone bar fills (blue)"
e2e_expect_counters_and_icons "$shot" 640 480
# Counted by its light green: the landscape behind it can outweigh a region's mean.
light=$(convert "$shot" -crop 100x25+530+18 +repage -depth 8 txt:- | e2e_light_green_pixels)
e2e_check "$light >= 10" "the frame rate (light green) at the top right ($light pixels)"
read -r r g b <<<"$(e2e_region_rgb "$shot" 100 80 440 300)"
e2e_check "$r + $g + $b > 0.15" "the landscape glows in the middle"

e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
e2e_expect_log "${ALL_LINES[@]}"
echo "PASS"
