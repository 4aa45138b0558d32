#!/usr/bin/env bash
# Starts the real game at the Settings.ini size on a screen of that size, waits until it
# renders, presses Escape, and checks the result and the log line by line.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
e2e_start_game
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not reach 'Rendering !'"
[ -n "$(e2e_window)" ] || e2e_fail "no window named Orvendale"
geometry="$(xwininfo -id "$(e2e_window)" | grep -E 'Width|Height' | tr -s ' ' | cut -d' ' -f3 | tr '\n' x)"
[ "$geometry" == "640x480x" ] || e2e_fail "window is $geometry, not 640x480"
sleep 1
e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
e2e_expect_log "${ALL_LINES[@]}"
echo "PASS"
