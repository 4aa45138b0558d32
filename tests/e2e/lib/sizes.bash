# Shared by the end-to-end tests at window sizes other than 640 x 480: the game fills a
# screen of W x H (Settings.ini and the screen agree, so the full-screen mode is granted),
# its picture sits where the normalised layout puts it at that size, it rests while the
# mouse rests (the steering's centre is half this window, not 320 x 240), and the mouse
# steers it both ways; the steering is judged on the game's own recording.
# Usage:  source "$(dirname "$0")/lib/sizes.bash"; e2e_init "$@"; e2e_play_at_size W H

source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

# e2e_frac_rgb FILE FX FY FW FH: e2e_region_rgb with the region in fractions of the screen.
e2e_frac_rgb() {
  local f="$1"
  e2e_region_rgb "$f" "$(awk "BEGIN { printf \"%d\", $2 * $SIZE_W }")" \
    "$(awk "BEGIN { printf \"%d\", $3 * $SIZE_H }")" \
    "$(awk "BEGIN { printf \"%d\", $4 * $SIZE_W }")" \
    "$(awk "BEGIN { printf \"%d\", $5 * $SIZE_H }")"
}

# e2e_size_flight REC: one flight at the size: pictures and steering, then Escape.
# Returns 2 when its energy ran out before all was seen (the recording says so).
e2e_size_flight() {
  local rec="$1"
  xdotool mousemove $((SIZE_W / 2)) $((SIZE_H / 2))
  rm -f "$rec" "$E2E_WORK/Engine.log"
  e2e_run_game --record "$rec"
  e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not start at ${SIZE_W}x${SIZE_H}"
  local win info
  win="$(e2e_window)"
  [ -n "$win" ] || e2e_fail "no window named Orvendale"
  info="$(e2e_window_info "$SIZE_W" "$SIZE_H" 10)"
  echo "$info" | grep -q "Width: $SIZE_W" || e2e_fail "window width is not $SIZE_W"
  echo "$info" | grep -q "Height: $SIZE_H" || e2e_fail "window height is not $SIZE_H"

  # The pictures and the steering are taken while the flight lasts, and only looked at
  # once the game has ended. The waits are for recorded frames and game time, however
  # fast this machine draws; should the energy run out first (about 8 s of play for a
  # player who rests outside the field), the flight says so and another is flown.
  xdotool mousemove $((SIZE_W / 2)) $((SIZE_H / 2)) windowfocus "$win"
  e2e_wait_frames "$rec" 1 30 || e2e_fail "the game records no frames"
  E2E_FLIGHT="$rec"
  e2e_rests "$rec" "at ${SIZE_W}x${SIZE_H}" || return 2
  e2e_wait_game_time "$rec" 2.0 60 ||
    { e2e_unless_over $? "at rest: the game stopped recording"; return 2; }
  e2e_screenshot "$E2E_WORK/rest.png"
  e2e_rests "$rec" "at ${SIZE_W}x${SIZE_H}, after the picture" || return 2
  e2e_steers "$rec" 250 3 || return 2
  e2e_steers "$rec" -250 6 || return 2

  # "SLIDE !" is up after 3 s of play, until the game is over.
  e2e_wait_game_time "$rec" 3.3 60 ||
    { e2e_unless_over $? "the game stopped before 3.3 s of play"; return 2; }
  e2e_screenshot "$E2E_WORK/playing.png"
  # The picture is of a flight still going: the box comes only after the last frame.
  e2e_flight_over "$rec" && return 2
  [ -n "$(e2e_box_window "Game Over")" ] && return 2
  E2E_FLIGHT=""
  e2e_key Escape
  e2e_wait_exit 15
  [ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"
  e2e_expect_log "${ALL_LINES[@]}"
}

e2e_box_up() { [ -n "$(e2e_box_window "Game Over")" ]; }
e2e_box_gone() { [ -z "$(e2e_box_window "Game Over")" ]; }

e2e_play_at_size() {
  SIZE_W="$1"
  SIZE_H="$2"
  local rec="$E2E_WORK/size.orvr" flight
  printf 'n_Width = %d;\nn_Height = %d;\n' "$SIZE_W" "$SIZE_H" >"$E2E_WORK/Settings.ini"
  e2e_xserver "$SIZE_W" "$SIZE_H"
  for flight in 1 2 3; do
    e2e_size_flight "$rec" && break
    E2E_FLIGHT=""
    echo "flight $flight ran out of energy before all was seen; flying again"
    # The box is answered as a player would, so that it goes with the game.
    e2e_poll 30 e2e_box_up || e2e_fail "flight $flight ran out of energy without a Game Over box"
    e2e_box_key "Game Over" Return
    e2e_poll 15 e2e_box_gone || e2e_fail "the Game Over box of flight $flight stayed"
    e2e_end "$E2E_GPID"
    E2E_GPID=""
    [ "$flight" == "3" ] && e2e_fail "three flights ran out of energy before all was seen"
  done

  local r g b
  read -r r g b <<<"$(e2e_frac_rgb "$E2E_WORK/rest.png" 0.095 0.05 0.01 0.04)"
  e2e_check "$b > 0.3" "the first zone bar fills (blue): the world rests while the mouse does"
  read -r r g b <<<"$(e2e_frac_rgb "$E2E_WORK/rest.png" 0.16 0.17 0.68 0.62)"
  e2e_check "$r + $g + $b > 0.05" "the landscape glows in the middle of the resting view (the ring still filling)"

  # The layout over the whole screen, in normalised positions (line widths in pixels).
  local shot="$E2E_WORK/playing.png"
  read -r r g b <<<"$(e2e_frac_rgb "$shot" 0.33 0.04 0.26 0.10)"
  e2e_check "$r > 0.08 && $r > $b" "\"SLIDE !\" (orange) is at the top centre"
  read -r r g b <<<"$(e2e_region_rgb "$shot" $((SIZE_W / 20 - 2)) $((SIZE_H * 6 / 100)) 4 $((SIZE_H / 10)))"
  e2e_check "$r > 0.4 && $g > 0.4 && $b > 0.4" "the energy bar hangs at the left (x = 0.05 of the width)"
  e2e_expect_counters_and_icons "$shot" "$SIZE_W" "$SIZE_H"
  local x0=$((SIZE_W * 83 / 100)) y0=$((SIZE_H * 3 / 100)) w=$((SIZE_W * 16 / 100)) h=$((SIZE_H * 6 / 100))
  local light
  light=$(convert "$shot" -crop "${w}x${h}+${x0}+${y0}" +repage -depth 8 txt:- | e2e_light_green_pixels)
  e2e_check "$light >= 10" "the frame rate (light green) at the top right ($light pixels)"
  echo "PASS at ${SIZE_W}x${SIZE_H}"
}
