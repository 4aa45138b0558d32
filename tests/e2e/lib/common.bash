# Shared steps of the end-to-end tests: a private X server, a scratch copy of the game's
# data folder, starting the real binary, waiting for it, and checking what it left.
# Usage in a test:  source "$(dirname "$0")/lib/common.bash"; e2e_init "$@"

set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/xserver.sh"

E2E_BIN=""
E2E_DATA=""
E2E_WORK=""
E2E_XPID=""
E2E_GPID=""
export DISPLAY=""
# The game under test draws as fast as it can, whatever the driver's default swap interval.
export vblank_mode=0

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -n "$E2E_WORK" ] && [ -f "$E2E_WORK/Engine.log" ]; then
    echo "--- Engine.log:" >&2
    cat "$E2E_WORK/Engine.log" >&2
  fi
  if [ -n "$E2E_WORK" ] && [ -s "$E2E_WORK/stderr.txt" ]; then
    echo "--- the game's standard error:" >&2
    cat "$E2E_WORK/stderr.txt" >&2
  fi
  xwininfo -root -tree 2>/dev/null | grep '^ *0x' >&2
  exit 1
}

e2e_cleanup() {
  [ -n "$E2E_GPID" ] && kill "$E2E_GPID" 2>/dev/null
  [ -n "$E2E_XPID" ] && kill "$E2E_XPID" 2>/dev/null
  [ -n "$E2E_WORK" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_WORK"
  return 0
}

# e2e_init BIN DATA_DIR: a scratch copy of the data folder to play in.
e2e_init() {
  E2E_BIN="$(readlink -f "$1")"
  E2E_DATA="$2"
  E2E_WORK="$(mktemp -d /tmp/orvendale-e2e.XXXXXX)"
  cp -r "$E2E_DATA"/. "$E2E_WORK"/
  rm -f "$E2E_WORK/Engine.log"
  trap e2e_cleanup EXIT
}

# e2e_xserver WIDTH HEIGHT [XVFB_ARGUMENT...]: a private Xvfb of that screen size (no
# window manager).
e2e_xserver() {
  start_xvfb "$@" || e2e_fail "could not start Xvfb"
  E2E_XPID="$XVFB_PID"
}

# e2e_start_game [ARGUMENT...]: starts the game in the scratch folder, in the background.
e2e_start_game() {
  (cd "$E2E_WORK" && exec "$E2E_BIN" "$@" >"$E2E_WORK/stdout.txt" 2>"$E2E_WORK/stderr.txt") &
  E2E_GPID=$!
}

# e2e_wait_log LINE SECONDS: waits until Engine.log holds LINE as a whole line.
e2e_wait_log() {
  local line="$1" secs="$2" i
  for i in $(seq 1 $((secs * 10))); do
    if [ -f "$E2E_WORK/Engine.log" ] && grep -qxF -- "$line" "$E2E_WORK/Engine.log"; then
      return 0
    fi
    if ! kill -0 "$E2E_GPID" 2>/dev/null; then return 1; fi
    sleep 0.1
  done
  return 1
}

# e2e_wait_exit SECONDS: waits for the game to end and sets E2E_RC to its exit code
# ("timeout" if it is still running).
E2E_RC=""
e2e_wait_exit() {
  local secs="$1" i
  E2E_RC="timeout"
  for i in $(seq 1 $((secs * 10))); do
    if ! kill -0 "$E2E_GPID" 2>/dev/null; then
      wait "$E2E_GPID"
      E2E_RC=$?
      E2E_GPID=""
      return 0
    fi
    sleep 0.1
  done
}

# The window of the game, as xdotool finds it.
e2e_window() { xdotool search --name '^Orvendale$' 2>/dev/null | head -1; }

# e2e_key KEY: puts the pointer and the keyboard focus on the game, as a window manager
# would on a click, and presses KEY.
e2e_key() {
  local win
  win="$(e2e_window)"
  xdotool mousemove 20 20 >/dev/null 2>&1
  [ -n "$win" ] && xdotool windowfocus "$win" >/dev/null 2>&1
  sleep 0.2
  xdotool key "$1"
}

# e2e_box_key CAPTION KEY: focuses the message box with that caption (there is no window
# manager to do it) and presses KEY.
e2e_box_key() {
  local box
  box="$(e2e_box_window "$1")"
  [ -n "$box" ] || return 1
  xdotool windowfocus "$box" >/dev/null 2>&1
  sleep 0.2
  xdotool key "$2"
}

# e2e_expect_log LINE...: Engine.log holds exactly these lines after the header.
e2e_expect_log() {
  local expected
  expected="$(printf '%s\n' "__________Engine - Log__________" "$@")"
  local actual
  actual="$(cat "$E2E_WORK/Engine.log" 2>/dev/null)"
  [ "$actual" == "$expected" ] || e2e_fail "Engine.log differs; expected:
$expected"
  # No trailing blank line: the file ends right after the last line's newline.
  [ "$(tail -c 1 "$E2E_WORK/Engine.log" | od -An -c | tr -d ' ')" == '\n' ] ||
    e2e_fail "Engine.log does not end with exactly one newline"
  [ "$(tail -c 2 "$E2E_WORK/Engine.log" | od -An -c | tr -d ' ')" != '\n\n' ] ||
    e2e_fail "Engine.log ends with a blank line"
}

# e2e_screenshot FILE: the whole screen as a PNG.
e2e_screenshot() { import -window root "$1" 2>/dev/null; }

# e2e_region_mean FILE X Y W H: mean brightness (0..1) of a region of a screenshot.
e2e_region_mean() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace Gray -format '%[fx:mean]' info:
}

ALL_LINES=("Loading objects .." "    OK" "Init engine ..." "    OK" "Loading font(s) .." "    OK" "Rendering !")

# e2e_region_rgb FILE X Y W H: mean red, green and blue (0..1) of a region, space-separated.
e2e_region_rgb() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}

# e2e_check EXPR MESSAGE: fails unless the awk expression is true (for float comparisons).
e2e_check() {
  awk "BEGIN { exit !($1) }" || e2e_fail "$2 ($1)"
}

# e2e_box_window CAPTION: the id of a top-level window with that title (message boxes are
# plain X windows that xdotool does not find by name), or nothing.
e2e_box_window() {
  xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $1; exit }'
}

# e2e_wait_box CAPTION SECONDS: waits for a message box with that caption.
e2e_wait_box() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    [ -n "$(e2e_box_window "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

# e2e_box_count CAPTION: how many top-level windows carry that title.
e2e_box_count() {
  xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { n++ } END { print n + 0 }'
}

# e2e_click_box_button CAPTION INDEX: clicks the INDEX-th button (0 = leftmost) of a
# message box. The buttons are found in a screenshot as the lighter filled rectangles in
# the lower part of the box.
e2e_click_box_button() {
  local box bx by bw bh row runs x
  box="$(e2e_box_window "$1")"
  [ -n "$box" ] || return 1
  eval "$(xwininfo -id "$box" | awk '/Absolute upper-left X/ {print "bx=" $4} /Absolute upper-left Y/ {print "by=" $4} /Width:/ {print "bw=" $2} /Height:/ {print "bh=" $2}')"
  e2e_screenshot "$E2E_WORK/box.png"
  for row in $(seq $((bh - 20)) -2 $((bh / 2))); do
    runs="$(convert "$E2E_WORK/box.png" -crop "${bw}x1+${bx}+$((by + row))" +repage \
      -colorspace Gray -depth 8 txt:- | awk -F'[,:() ]+' 'NR > 1 {
        v = $(NF - 1) + 0; on = (v > 80 && v < 140)
        if (on && start < 0) start = $1
        if (!on && start >= 0) { if ($1 - start > 25) printf "%d ", (start + $1) / 2; start = -1 }
      } BEGIN { start = -1 }')"
    # shellcheck disable=SC2206
    local centres=($runs)
    if [ ${#centres[@]} -gt "$2" ]; then
      x=${centres[$2]}
      xdotool mousemove $((bx + x)) $((by + row))
      sleep 0.2
      xdotool click 1
      return 0
    fi
  done
  return 1
}

# e2e_cpu_share SECONDS: the share of one core (0..1) the game used over the next SECONDS,
# from the kernel's count of its user and system time.
e2e_cpu_share() {
  local t0 t1 hz
  hz="$(getconf CLK_TCK)"
  t0="$(awk '{ print $14 + $15 }' "/proc/$E2E_GPID/stat")"
  sleep "$1"
  t1="$(awk '{ print $14 + $15 }' "/proc/$E2E_GPID/stat")"
  awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$1" 'BEGIN { printf "%.3f\n", (b - a) / hz / s }'
}

# e2e_move DX STEPS: moves the real pointer DX pixels sideways, STEPS times, as a hand would.
e2e_move() {
  local i
  for i in $(seq 1 "$2"); do
    xdotool mousemove_relative -- "$1" 0
    sleep 0.03
  done
}
