#!/usr/bin/env bash
# A desktop that cannot show message boxes (an X server with only its built-in fonts, as
# a machine without the core fonts package has): each box goes to the terminal and takes
# its default answer. The "Fullscreen" question on a desktop without the mode is answered
# Yes, so the game plays in a window; the "Game Over" box is answered OK and the game
# carries on as after a confirmed box; Escape ends it with result 0.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 800 600 -fp built-ins
rec="$E2E_WORK/no_box.orvr"
e2e_start_game --record "$rec"
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not play in a window"
grep -q "Unable to set fullscreen mode" "$E2E_WORK/stderr.txt" ||
  e2e_fail "the Fullscreen question did not reach the terminal"
grep -q "taking its default answer, Yes" "$E2E_WORK/stderr.txt" ||
  e2e_fail "the terminal does not say the question was answered Yes"
info="$(xwininfo -id "$(e2e_window)")"
echo "$info" | grep -q "Width: 640" || e2e_fail "the window is not 640 wide"

# Flying on until the energy runs out: the box's answer is in the recording (the first
# box after a frame; the Fullscreen question's came before any).
game_over_answers() { e2e_events "$rec" | awk '$1 == "frame" { f = 1 } f && $1 == "box" { print $2 }'; }
answered() { [ -n "$(game_over_answers)" ]; }
e2e_poll 300 answered || e2e_fail "the game ended by itself or never came to its Game Over box"
grep -q "^Game Over: Game over ! Poda" "$E2E_WORK/stderr.txt" || e2e_fail "no Game Over text on the terminal"
grep -q "taking its default answer, OK" "$E2E_WORK/stderr.txt" ||
  e2e_fail "the terminal does not say the Game Over box was answered OK"
[ "$(game_over_answers)" == "1" ] ||
  e2e_fail "the Game Over box was not answered OK"
e2e_screenshot "$E2E_WORK/after1.png"
# Two key presses taken, no frame drawn between them, the loop asleep: the game carries on
# as after a confirmed box.
e2e_stands_still "$rec" "after game over"
e2e_screenshot "$E2E_WORK/after2.png"
diff=$(compare -metric AE "$E2E_WORK/after1.png" "$E2E_WORK/after2.png" null: 2>&1)
[ "$diff" == "0" ] || e2e_fail "the picture changed after game over ($diff pixels)"

e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
e2e_expect_log "${ALL_LINES[@]}"
echo "PASS"
