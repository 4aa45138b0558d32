#!/usr/bin/env bash
# The mouse steers: moving it right shifts the landscape left on screen (the world moves,
# not the ship), and left shifts it right. With another window in front holding the focus
# the picture goes on changing but the steering is frozen: only the zone meter of the
# resting position (the blue one) fills.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480

# Horizontal centre of brightness of the screen's middle band (x in pixels).
centroid() {
  convert "$1" -crop 640x290+0+70 +repage -colorspace Gray -depth 8 txt:- |
    awk -F'[,:() ]+' 'NR > 1 { v = $(NF - 1) + 0; s += v; sx += $1 * v } END { printf "%.1f\n", sx / s }'
}
# Mean brightness of the red, magenta and green zone bars (the blue one is bar 0).
other_bars() {
  convert "$1" -crop 40x60+70+22 +repage -colorspace Gray -format '%[fx:mean]' info:
}

e2e_start_game
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not start"
game="$(e2e_window)"

# Another window takes the focus first.
xmessage -geometry 200x40+220+420 "another window" >/dev/null 2>&1 &
other=$!
for i in $(seq 1 50); do
  helper="$(xdotool search --class xmessage 2>/dev/null | head -1)"
  [ -n "$helper" ] && break
  sleep 0.1
done
[ -n "$helper" ] || e2e_fail "could not open another window"
xdotool windowfocus "$helper"
sleep 0.5
e2e_move 60 30
sleep 1
e2e_screenshot "$E2E_WORK/unfocused1.png"
e2e_move -60 30
sleep 1
e2e_screenshot "$E2E_WORK/unfocused2.png"
changed=$(compare -metric AE "$E2E_WORK/unfocused1.png" "$E2E_WORK/unfocused2.png" null: 2>&1)
e2e_check "$changed > 1000" "the picture keeps changing without the focus"
e2e_check "$(other_bars "$E2E_WORK/unfocused2.png") < 0.02" "without the focus the steering is frozen (only the blue meter fills)"
kill "$other" 2>/dev/null

# Back in the game: steer right, then left.
xdotool mousemove 20 20 windowfocus "$game"
sleep 0.5
e2e_move 100 30
sleep 2
e2e_screenshot "$E2E_WORK/right.png"
e2e_move -100 60
sleep 2
e2e_screenshot "$E2E_WORK/left.png"
right=$(centroid "$E2E_WORK/right.png")
left=$(centroid "$E2E_WORK/left.png")
e2e_check "$left - $right > 20" "steering right shifts the landscape left (centre $right) and left shifts it right (centre $left)"

e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
echo "PASS"
