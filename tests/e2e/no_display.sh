#!/usr/bin/env bash
# With no display at all the start-up ends on the display's failure path: the question
# that cannot be shown is written to the terminal, and the program ends with result 0
# after "Init engine ...". Never a crash.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
unset DISPLAY WAYLAND_DISPLAY
e2e_start_game
e2e_wait_exit 30
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
grep -q "Unable to set fullscreen mode." "$E2E_WORK/stderr.txt" || e2e_fail "the question is not on the terminal"
grep -q "no display is available" "$E2E_WORK/stderr.txt" || e2e_fail "the terminal does not say why"
e2e_expect_log "Loading objects .." "    OK" "Init engine ..."
echo "PASS"
