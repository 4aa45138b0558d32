#!/usr/bin/env bash
# The mouse steers: moving it right moves the world's offset right (the unit tests of the
# projection show that this shifts the landscape left on screen), moving it left the
# other way, and the world settles once the mouse rests. While the mouse rests in the
# middle the world does not move at all: the steering's centre is the window's. With
# another window in front holding the focus the picture goes on changing but the steering
# is frozen. The game records what it does; the test waits for recorded frames, not for
# the clock, and judges the world offset of each frame recorded.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
rec="$E2E_WORK/steering.orvr"

# settle FROM WHAT: waits for 15 recorded frames and 0.3 s of game time after frame FROM;
# sets until.
settle() {
  e2e_wait_settled "$rec" "$1" 15 0.3 60 ||
    e2e_fail "$2: the game did not record 15 frames and 0.3 s (energy $(e2e_frame_field "$rec" "$(e2e_frame_count "$rec")" 3))"
  until="$E2E_UNTIL"
}

xdotool mousemove 320 240
e2e_run_game --record "$rec"
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not start"
e2e_wait_frames "$rec" 1 30 || e2e_fail "the game records no frames"
game="$(e2e_window)"

# Another window takes the focus; the pointer moves right and back.
e2e_open_other_window
e2e_focus_other_window
e2e_wait_focus "$rec" 0 30 || e2e_fail "the game did not see the other window take the focus"
from="$(e2e_frame_count "$rec")"
x_before="$(e2e_frame_field "$rec" "$from" 4)"
e2e_move "$rec" 60 3
settle "$from" "without the focus"
e2e_screenshot "$E2E_WORK/unfocused1.png"
e2e_move "$rec" -60 3
settle "$until" "without the focus"
e2e_screenshot "$E2E_WORK/unfocused2.png"
read -r dx dy late <<<"$(e2e_world_moves "$rec" "$from" "$until")"
e2e_check "$dx == 0 && $dy == 0" "without the focus the steering is frozen (frames $from to $until: x moved $dx, y $dy; x was $x_before)"
changed=$(compare -metric AE "$E2E_WORK/unfocused1.png" "$E2E_WORK/unfocused2.png" null: 2>&1)
e2e_check "$changed > 1000" "the picture keeps changing without the focus"
e2e_end "$E2E_HELPER_PID"

# Back in the game with the pointer in the middle: the world rests while the mouse does,
# then follows it right and left (the checks the size tests make at their sizes).
xdotool mousemove 320 240 windowfocus "$game"
e2e_wait_focus "$rec" 1 30 || e2e_fail "the game did not see the focus come back"
e2e_rests "$rec" "at 640x480"
e2e_steers "$rec" 250 3
e2e_steers "$rec" -250 6

e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
e2e_frames "$rec" | awk 'END { printf "recorded %d frames, %.2f s of game time, energy %.2f\n", $1, $2, $3 }'
echo "PASS"
