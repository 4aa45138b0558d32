#!/usr/bin/env bash
# On a desktop that has no mode of the Settings.ini size, the game asks whether to play
# in a window. "No" ends the program with result 0 after "Init engine ..."; "Yes" (the
# default button, Return) plays in the window and Escape ends with result 0.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 800 600

# Answered No.
e2e_start_game
e2e_wait_box "Fullscreen" 30 || e2e_fail "no Fullscreen question on an 800x600 desktop"
# The box is there before its buttons are drawn: look for them until they are.
found=0
for i in $(seq 1 100); do
  e2e_click_box_button "Fullscreen" 1 && found=1 && break
  sleep 0.1
done
[ "$found" == 1 ] || e2e_fail "could not find the No button"
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "answering No: exit code $E2E_RC, expected 0"
e2e_expect_log "Loading objects .." "    OK" "Init engine ..."

# Answered Yes with Return.
rm -f "$E2E_WORK/Engine.log"
e2e_start_game
e2e_wait_box "Fullscreen" 30 || e2e_fail "no Fullscreen question the second time"
e2e_box_key "Fullscreen" Return || e2e_fail "could not answer the question"
e2e_wait_log "Rendering !" 30 || e2e_fail "answering Yes: the game did not reach 'Rendering !'"
info="$(xwininfo -id "$(e2e_window)")"
echo "$info" | grep -q "Width: 640" || e2e_fail "the window is not 640 wide"
echo "$info" | grep -q "Height: 480" || e2e_fail "the window is not 480 high"
# The box took the focus; the player clicks into the game window to take it back.
xdotool mousemove 20 20 windowfocus "$(e2e_window)"
# The scene fades in as the landscape fills: look until it is there.
for i in $(seq 1 60); do
  e2e_screenshot "$E2E_WORK/windowed.png"
  read -r r g b <<<"$(e2e_region_rgb "$E2E_WORK/windowed.png" 100 80 440 300)"
  awk "BEGIN { exit !($r + $g + $b > 0.04) }" && break
  sleep 0.2
done
e2e_check "$r + $g + $b > 0.04" "the game draws its scene in the window"
e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "answering Yes: exit code $E2E_RC, expected 0"
e2e_expect_log "${ALL_LINES[@]}"
echo "PASS"
