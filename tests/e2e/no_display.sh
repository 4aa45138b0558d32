#!/usr/bin/env bash
# With no display at all the start-up ends on the display's failure path: the main window
# cannot be made, the program ends with the display-failure result 3 (not the 0 of a game
# the player ended), and Engine.log says so on the line after "Init engine ...". Never a
# crash.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
unset DISPLAY WAYLAND_DISPLAY
e2e_start_game
e2e_wait_exit 30
[ "$E2E_RC" == "3" ] || e2e_fail "exit code $E2E_RC, expected 3"
e2e_expect_log "Loading objects .." "    OK" "Init engine ..." "    Failed: Unable to create the main window."
echo "PASS"
