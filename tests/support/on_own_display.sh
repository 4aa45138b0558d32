#!/usr/bin/env bash
# on_own_display.sh TEST_BINARY [ARG...]: runs a test binary on an X server of its own (a
# private Xvfb of 1024 x 768), so that nothing else on the machine shares its display:
# no other test's window takes its focus, wakes its waits or changes the screen's mode
# under it. The server, and the test, end with this script however it ends.
source "$(dirname "$0")/../../scripts/lib/xserver.sh"
start_xvfb 1024 768 || { echo "on_own_display: cannot start Xvfb" >&2; exit 1; }
setpriv --pdeathsig KILL "$@" &
test_pid=$!
trap 'kill -TERM "$test_pid" 2>/dev/null; stop_xvfb; exit 143' TERM INT HUP
rc=0
wait "$test_pid" || rc=$?
stop_xvfb
exit "$rc"
