#!/usr/bin/env bash
# Flying without steering until the energy runs out: the dominant zone meter fills in 9 s,
# then the energy falls by about 1 per second. Exactly one "Game Over" box appears, no
# frame is drawn while it is up or after it is confirmed, the game then waits without
# using the processor, and Escape still ends the game with result 0.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
e2e_start_game
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not reach 'Rendering !'"
start=$(date +%s.%N)
e2e_wait_box "Game Over" 60 || e2e_fail "no Game Over box within 60 s"
elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
# About 11 s; a collectible that happens to fly through the ship adds energy and time.
e2e_check "$elapsed > 9.5 && $elapsed < 45" "the game ends about 11 s after it starts (took $elapsed s)"
[ "$(e2e_box_count "Game Over")" == "1" ] || e2e_fail "more than one Game Over box"

sleep 0.5
e2e_screenshot "$E2E_WORK/box1.png"
sleep 1.5
e2e_screenshot "$E2E_WORK/box2.png"
diff=$(compare -metric AE "$E2E_WORK/box1.png" "$E2E_WORK/box2.png" null: 2>&1)
[ "$diff" == "0" ] || e2e_fail "the picture changed while the box was up ($diff pixels)"

# Confirm the box with Return.
e2e_box_key "Game Over" Return
for i in $(seq 1 50); do
  [ -z "$(e2e_box_window "Game Over")" ] && break
  sleep 0.1
done
[ -z "$(e2e_box_window "Game Over")" ] || e2e_fail "the box did not close on Return"
kill -0 "$E2E_GPID" 2>/dev/null || e2e_fail "the game ended when the box was confirmed"

sleep 0.5
e2e_screenshot "$E2E_WORK/after1.png"
sleep 1.5
e2e_screenshot "$E2E_WORK/after2.png"
diff=$(compare -metric AE "$E2E_WORK/after1.png" "$E2E_WORK/after2.png" null: 2>&1)
[ "$diff" == "0" ] || e2e_fail "frames were drawn after the box was confirmed ($diff pixels)"
[ "$(e2e_box_count "Game Over")" == "0" ] || e2e_fail "a second Game Over box appeared"
# With nothing left to draw the game sleeps until the next message.
cpu="$(e2e_cpu_share 3)"
echo "CPU after game over: $cpu of a core"
e2e_check "$cpu < 0.05" "the game sleeps after game over instead of spinning (used $cpu of a core)"

e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
e2e_expect_log "${ALL_LINES[@]}"
echo "PASS"
