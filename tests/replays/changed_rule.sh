#!/usr/bin/env bash
# A game built with one rule changed (the first collectible appears after 2.4 s instead of
# 2.3 s) replays the kept collecting game differently, and the check says where: frames
# last 1/64 s, so the first collectible appeared at frame 149 (2.3125 s of play), and the
# changed game has none there yet. The check stops at that frame with result 1.
#   changed_rule.sh CHANGED_GAME DATA_DIR
source "$(dirname "$0")/../e2e/lib/common.bash"
e2e_init "$@"
replay="$(cd "$(dirname "$0")" && pwd)/collect_each.orvr"
e2e_xserver 640 480
e2e_run_game --replay "$replay" --check
e2e_wait_exit 120
[ "$E2E_RC" == "1" ] || e2e_fail "result $E2E_RC, expected 1: $(cat "$E2E_WORK/stdout.txt")"
expected="$replay: frame 149 differs in collectible x (recorded 166.666672, replayed 0)"
[ "$(cat "$E2E_WORK/stdout.txt")" == "$expected" ] ||
  e2e_fail "the check printed: $(cat "$E2E_WORK/stdout.txt")"
echo "PASS"
