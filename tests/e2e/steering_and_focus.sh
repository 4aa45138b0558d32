#!/usr/bin/env bash
# The mouse steers: moving it right moves the world's offset right and shifts the
# landscape left on screen (the world moves, not the ship), moving it left the other way,
# and the world settles once the mouse rests. While the mouse rests at the start the world
# does not move at all: the steering's centre is the window's. With another window in
# front holding the focus the picture goes on changing but the steering is frozen.
# The game records what it does; the test waits for recorded frames, not for the clock,
# and judges the world offset each frame recorded.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
rec="$E2E_WORK/steering.orvr"

# Horizontal centre of brightness of the screen's middle band (x in pixels).
centroid() {
  convert "$1" -crop 640x290+0+70 +repage -colorspace Gray -depth 8 txt:- |
    awk -F'[,:() ]+' 'NR > 1 { v = $(NF - 1) + 0; s += v; sx += $1 * v } END { printf "%.1f\n", sx / s }'
}
# settle FROM WHAT: waits for 15 recorded frames and 0.3 s of game time after frame FROM
# (time enough for the world to come most of the way to where it is steered); sets until.
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
e2e_helper xmessage -geometry 200x40+220+420 "another window"
helper=""
for i in $(seq 1 100); do
  helper="$(xdotool search --class xmessage 2>/dev/null | head -1)"
  [ -n "$helper" ] && break
  sleep 0.1
done
[ -n "$helper" ] || e2e_fail "could not open another window"
xdotool windowfocus "$helper"
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

# Back in the game with the pointer in the middle: the world rests while the mouse does.
xdotool mousemove 320 240 windowfocus "$game"
e2e_wait_focus "$rec" 1 30 || e2e_fail "the game did not see the focus come back"
from="$(e2e_frame_count "$rec")"
settle "$from" "at rest"
rest_from="$from"
read -r dx dy late <<<"$(e2e_world_moves "$rec" "$rest_from" "$until")"
e2e_check "$dx == 0 && $dy == 0" "the world rests while the mouse does (frames $rest_from to $until: x moved $dx, y $dy)"

# Steer right, then left.
from="$until"
e2e_move "$rec" 250 12
settle "$(e2e_frame_count "$rec")" "steering right"
read -r dx dy late <<<"$(e2e_world_moves "$rec" "$from" "$until")"
echo "steering right: the world moved x $dx (frames $from to $until), the last five frames $late"
e2e_check "$dx > 5" "moving the mouse right moves the world right (x moved $dx)"
e2e_check "$dy == 0" "a sideways move does not move the world up or down (y moved $dy)"
e2e_check "$late < $dx / 3" "the world settles once the mouse rests (the last five frames moved x $late of $dx)"
e2e_screenshot "$E2E_WORK/right.png"
from="$(e2e_frame_count "$rec")"
e2e_move "$rec" -250 24
settle "$(e2e_frame_count "$rec")" "steering left"
read -r dx dy late <<<"$(e2e_world_moves "$rec" "$from" "$until")"
echo "steering left: the world moved x $dx (frames $from to $until), the last five frames $late"
e2e_check "$dx < -5" "moving the mouse left moves the world left (x moved $dx)"
e2e_check "$late > $dx / 3" "the world settles once the mouse rests (the last five frames moved x $late of $dx)"
e2e_screenshot "$E2E_WORK/left.png"
right=$(centroid "$E2E_WORK/right.png")
left=$(centroid "$E2E_WORK/left.png")
e2e_check "$left - $right > 20" "steering right shifts the landscape left on screen (centre $right) and left shifts it right (centre $left)"

echo "landscape centre: $right after steering right, $left after steering left"
e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
e2e_frames "$rec" | awk 'END { printf "recorded %d frames, %.2f s of game time, energy %.2f\n", $1, $2, $3 }'
echo "PASS"
