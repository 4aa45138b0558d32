#!/usr/bin/env bash
# Flying without steering until the energy runs out: the dominant zone meter fills in 9 s,
# then the energy falls by about 1 per second. Exactly one "Game Over" box appears, no
# frame is drawn while it is up or after it is confirmed, the game then sleeps instead of
# using the processor, and Escape still ends the game with result 0. The game's own
# recording tells what it did and when in game time; the wall clock only bounds the waits.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
rec="$E2E_WORK/game_over.orvr"
e2e_start_game --record "$rec"
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not reach 'Rendering !'"
e2e_wait_box "Game Over" 300 || e2e_fail "no Game Over box"
e2e_screenshot "$E2E_WORK/box1.png"
[ "$(e2e_box_count "Game Over")" == "1" ] || e2e_fail "more than one Game Over box"
e2e_screenshot "$E2E_WORK/box2.png"
diff=$(compare -metric AE "$E2E_WORK/box1.png" "$E2E_WORK/box2.png" null: 2>&1)
[ "$diff" == "0" ] || e2e_fail "the picture changed while the box was up ($diff pixels)"

# Confirm the box with Return.
e2e_box_key "Game Over" Return
box_gone() { [ -z "$(e2e_box_window "Game Over")" ]; }
e2e_poll 30 box_gone || e2e_fail "the box did not close on Return"
kill -0 "$E2E_GPID" 2>/dev/null || e2e_fail "the game ended when the box was confirmed"
# While the box was up no frame was drawn: the one answer, then the frame it came in.
# The recording has that frame once the frame has ended, which a busy machine puts off a
# little past the box's closing: wait for something to follow the answer.
box_events=""
answer_followed() {
  box_events="$(e2e_events "$rec" |
    awk '$1 == "box" { print; if ((getline) > 0) print $1; else print "(nothing yet)" }' | tr '\n' ' ')"
  [ -n "$box_events" ] && [[ "$box_events" != *"(nothing yet)"* ]]
}
e2e_poll 30 answer_followed
[ "$box_events" == "box 1 frame " ] || e2e_fail "around the box the game did: $box_events"
# That frame is where the energy ran out: about 11 s of play; a collectible that happens
# to fly through the ship adds energy and time.
read -r n t energy _ < <(e2e_frames "$rec" | tail -1)
echo "the game ended at frame $n, after $t s of play, energy $energy"
e2e_check "$energy <= 0" "the game ended with energy left ($energy)"
e2e_check "$t > 9.5 && $t < 45" "the game ends about 11 s of play after it starts (took $t s)"

e2e_screenshot "$E2E_WORK/after1.png"
# With nothing left to draw the game sleeps until the next message.
e2e_stands_still "$rec" "after game over"
e2e_screenshot "$E2E_WORK/after2.png"
diff=$(compare -metric AE "$E2E_WORK/after1.png" "$E2E_WORK/after2.png" null: 2>&1)
[ "$diff" == "0" ] || e2e_fail "the picture changed after the box was confirmed ($diff pixels)"
[ "$(e2e_box_count "Game Over")" == "0" ] || e2e_fail "a second Game Over box appeared"
[ "$(e2e_events "$rec" | grep -c '^box')" == "1" ] || e2e_fail "the game asked more than once"

e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
e2e_expect_log "${ALL_LINES[@]}"
echo "PASS"
