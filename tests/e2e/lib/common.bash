# Shared steps of the end-to-end tests: a private X server, a scratch copy of the game's
# data folder, starting the real binary, waiting for it, reading what it recorded, and
# checking what it left.
# Usage in a test:  source "$(dirname "$0")/lib/common.bash"; e2e_init "$@"
# (arguments: the game, its data folder, and the recorded_frames tool)
#
# A test ends what it started on every way out: its exit and a signal run the clean-up,
# and the game, the X server and any helper window are started with a parent-death
# signal, so that a test killed outright (a timeout's SIGKILL) takes them with it. The
# test itself ends when whatever started it ends (e2e_init sees to that).

set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/xserver.sh"

E2E_BIN=""
E2E_DATA=""
E2E_WORK=""
E2E_XPID=""
E2E_GPID=""
E2E_FRAMES=""
E2E_HELPERS=()
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

# e2e_end PID: ends a process this test started: SIGTERM, up to two seconds to go, then
# SIGKILL; and reaps it.
e2e_end() { end_process "$1" 2; }

# A signal often comes twice (to the whole process group, then as the parent-death
# signal when ctest goes): the first one cleans up and exits; one that comes while that
# runs returns at once, so that it cannot cut the clean-up short.
E2E_SIGNALLED=""
e2e_on_signal() {
  [ -n "$E2E_SIGNALLED" ] && return 0
  E2E_SIGNALLED=1
  trap '' INT TERM HUP
  e2e_cleanup
  exit "$1"
}

# Folders the clean-up removes besides the scratch folder.
E2E_REMOVE=()
e2e_cleanup() {
  local pid
  trap - EXIT
  trap '' INT TERM HUP
  [ -n "$E2E_GPID" ] && e2e_end "$E2E_GPID"
  E2E_GPID=""
  for pid in "${E2E_HELPERS[@]}"; do e2e_end "$pid"; done
  E2E_HELPERS=()
  [ -n "$E2E_XPID" ] && stop_xvfb
  E2E_XPID=""
  [ -n "$E2E_WORK" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_WORK"
  for pid in "${E2E_REMOVE[@]}"; do rm -rf "$pid"; done
  E2E_REMOVE=()
  return 0
}

# e2e_init BIN DATA_DIR [RECORDED_FRAMES]: a scratch copy of the data folder to play in.
# Scratch folders of earlier tests whose test is gone (killed outright) are removed.
e2e_init() {
  if [ -z "${E2E_PARENT_WATCHED:-}" ]; then
    export E2E_PARENT_WATCHED=1
    exec setpriv --pdeathsig TERM bash "$0" "$@"
  fi
  E2E_BIN="$(readlink -f "$1")"
  E2E_DATA="$2"
  E2E_FRAMES="${3:-}"
  local old owner
  for old in /tmp/orvendale-e2e*; do
    [ -f "$old/.owner" ] || continue
    owner="$(cat "$old/.owner" 2>/dev/null)"
    [ -n "$owner" ] && [ ! -d "/proc/$owner" ] && rm -rf "$old"
  done
  trap e2e_cleanup EXIT
  trap 'e2e_on_signal 130' INT
  trap 'e2e_on_signal 143' TERM
  trap 'e2e_on_signal 129' HUP
  E2E_WORK="$(mktemp -d /tmp/orvendale-e2e.XXXXXX)"
  echo "$$" >"$E2E_WORK/.owner"
  cp -r "$E2E_DATA"/. "$E2E_WORK"/
  rm -f "$E2E_WORK/Engine.log"
}

# e2e_owned_folder NAME: makes a scratch folder /tmp/orvendale-e2e-NAME.XXXXXX that names
# this test as its owner, so that the clean-up removes it and, should the test be killed
# outright, the next test's sweep does; sets E2E_FOLDER to it.
E2E_FOLDER=""
e2e_owned_folder() {
  E2E_FOLDER="$(mktemp -d "/tmp/orvendale-e2e-$1.XXXXXX")" || e2e_fail "cannot make a scratch folder"
  echo "$$" >"$E2E_FOLDER/.owner"
  E2E_REMOVE+=("$E2E_FOLDER")
}

# e2e_xserver WIDTH HEIGHT [XVFB_ARGUMENT...]: a private Xvfb of that screen size (no
# window manager).
e2e_xserver() {
  start_xvfb "$@" || e2e_fail "could not start Xvfb"
  E2E_XPID="$XVFB_PID"
}

# e2e_run_game [ARG...]: starts the game in the scratch folder, in the background, with
# those arguments; it dies with this test.
e2e_run_game() {
  (cd "$E2E_WORK" &&
    exec setpriv --pdeathsig KILL "$E2E_BIN" "$@" >"$E2E_WORK/stdout.txt" 2>"$E2E_WORK/stderr.txt") &
  E2E_GPID=$!
}

# Starts the game in the scratch folder, in the background.
e2e_start_game() { e2e_run_game "$@"; }

# e2e_helper COMMAND...: starts a helper program (another window) in the background; the
# clean-up ends it, and it dies with this test.
E2E_HELPER_PID=""
e2e_helper() {
  setpriv --pdeathsig KILL "$@" >/dev/null 2>&1 &
  E2E_HELPER_PID=$!
  E2E_HELPERS+=("$E2E_HELPER_PID")
}

# e2e_open_other_window: starts another window (an xmessage) in front of the game.
e2e_open_other_window() { e2e_helper xmessage -geometry 200x40+220+420 "another window"; }

# e2e_focus_other_window: waits up to ten seconds for that window to appear and gives it
# the keyboard focus; sets E2E_OTHER to its window id. Fails the test if it never appears.
E2E_OTHER=""
e2e_focus_other_window() {
  local i
  E2E_OTHER=""
  for i in $(seq 1 100); do
    E2E_OTHER="$(xdotool search --class xmessage 2>/dev/null | head -1)"
    [ -n "$E2E_OTHER" ] && break
    sleep 0.1
  done
  [ -n "$E2E_OTHER" ] || e2e_fail "could not open another window"
  xdotool windowfocus "$E2E_OTHER" >/dev/null 2>&1
}

# --- what the game recorded (the game started with --record FILE) -------------------------
# The recording is written a frame at a time, so a test can wait for a number of frames
# after an event, and judge the game's state (time, energy, world offset) frame by frame.

# e2e_frames FILE: one line per recorded frame: frame, total time, energy, world x, world y,
# and whether the window had the focus (1) or not (0) as the recorded messages say.
e2e_frames() {
  [ -n "$E2E_FRAMES" ] || e2e_fail "no recorded_frames tool given"
  [ -e "$1" ] || return 0
  "$E2E_FRAMES" "$1" || e2e_fail "the recording $1 cannot be read"
}

# e2e_events FILE: what the game's loop did, in the order it did it, one line each:
# "frame N", "quiet N" (pumps that brought nothing), "message CODE WPARAM", "box ANSWER".
e2e_events() {
  [ -n "$E2E_FRAMES" ] || e2e_fail "no recorded_frames tool given"
  [ -e "$1" ] || return 0
  "$E2E_FRAMES" "$1" --events || e2e_fail "the recording $1 cannot be read"
}

# e2e_key_count FILE VK: how many presses of the key with virtual-key code VK the
# recording holds (WM_KEYDOWN messages the game's pump brought).
e2e_key_count() {
  e2e_events "$1" | awk -v k="$2" '$1 == "message" && $2 == 256 && $3 == k { n++ } END { print n + 0 }'
}
e2e_key_count_above() { [ "$(e2e_key_count "$1" "$2")" -gt "$3" ]; }

# e2e_key_recorded FILE KEY VK SECONDS: presses KEY (virtual-key code VK) on the game's
# window and waits until the recording holds the press: the game woke for it and its
# pump brought it. Returns non-zero if the game ended or the deadline passed first.
e2e_key_recorded() {
  local before
  before="$(e2e_key_count "$1" "$3")"
  e2e_key "$2"
  e2e_poll "$4" e2e_key_count_above "$1" "$3" "$before"
}

# e2e_between_keys FILE VK1 VK2: what the loop did between the last press of VK1 and the
# press of VK2 after it: prints "frames quiet" (frames drawn, pumps that brought nothing).
# A loop that sleeps until the next message pumps a few times for each input; one that
# spins pumps without end, however slow the machine.
e2e_between_keys() {
  e2e_events "$1" | awk -v a="$2" -v b="$3" '
    $1 == "message" && $2 == 256 && $3 == a { on = 1; f = 0; q = 0; next }
    on && $1 == "message" && $2 == 256 && $3 == b { on = 0; done = 1 }
    on && $1 == "frame" { f++ }
    on && $1 == "quiet" { q += $2 }
    END { if (done) print f, q; else print "none none" }'
}

# e2e_stands_still FILE WHAT: the game draws nothing more and sleeps: A and then B are
# pressed on its window, each seen in its recording, and between them the loop drew no
# frame and pumped the queue only a few times.
e2e_stands_still() {
  local frames quiet
  e2e_key_recorded "$1" a 65 30 || e2e_fail "$2: the game did not take a key press"
  e2e_key_recorded "$1" b 66 30 || e2e_fail "$2: the game did not take a second key press"
  read -r frames quiet <<<"$(e2e_between_keys "$1" 65 66)"
  echo "$2: between two key presses the game drew $frames frames and pumped $quiet times for nothing"
  [ "$frames" == "0" ] || e2e_fail "$2: frames were drawn ($frames between two key presses)"
  e2e_check "$quiet <= 20" "$2: the game sleeps instead of spinning ($quiet pumps between two key presses)"
}

# e2e_frame_count FILE: how many frames the recording holds so far.
e2e_frame_count() { e2e_frames "$1" | awk 'END { print NR + 0 }'; }

# e2e_poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds.
# Returns 1 if the game ended or the deadline passed first, and 2 if the flight recorded
# in E2E_FLIGHT (when set) is over: its energy ran out, so what is waited for will not come.
E2E_FLIGHT=""
# The deadline is on the wall clock: a busy machine makes each round slower, not the
# safety net longer.
e2e_poll() {
  local end=$((SECONDS + $1))
  shift
  while :; do
    "$@" && return 0
    [ -n "$E2E_GPID" ] && ! kill -0 "$E2E_GPID" 2>/dev/null && return 1
    [ -n "$E2E_FLIGHT" ] && e2e_flight_over "$E2E_FLIGHT" && return 2
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

# e2e_flight_over FILE: the energy ran out: the "Game Over" box is up (the frame it came
# in is recorded once it is answered), or the recording's last frame has no energy left.
e2e_flight_over() {
  [ -n "$(e2e_box_window "Game Over")" ] && return 0
  e2e_frames "$1" | awk 'END { exit !(NR > 0 && $3 <= 0) }'
}

# e2e_unless_over STATUS MESSAGE: after a wait that failed with STATUS, fails the test
# unless the flight is over (2), which the caller then reports upwards.
e2e_unless_over() { [ "$1" == "2" ] || e2e_fail "$2"; }

# e2e_wait_frames FILE N SECONDS: waits until the recording holds at least N frames.
# Returns non-zero if the game ended or the deadline passed first.
e2e_has_frames() { [ "$(e2e_frame_count "$1")" -ge "$2" ]; }
e2e_wait_frames() { e2e_poll "$3" e2e_has_frames "$1" "$2"; }

# e2e_wait_settled FILE FROM FRAMES SECONDS DEADLINE: waits until the recording holds
# FRAMES frames after frame FROM and SECONDS of game time after it, whichever comes later
# (however the game paces its steps, both have passed). Sets E2E_UNTIL to the frame reached.
E2E_UNTIL=0
e2e_has_settled() {
  local line
  line="$(e2e_frames "$1" | awk -v f="$2" -v n="$3" -v s="$4" '
    $1 == f { t0 = $2 } END { if (NR >= f + n && t0 != "" && $2 >= t0 + s) print NR }')"
  [ -n "$line" ] && E2E_UNTIL="$line"
}
e2e_wait_settled() { e2e_poll "$5" e2e_has_settled "$1" "$2" "$3" "$4"; }

# e2e_wait_focus FILE 0|1 SECONDS: waits until the recording's last frame has the focus
# (1) or not (0).
e2e_has_focus() { [ "$(e2e_frames "$1" | awk 'END { print $6 }')" == "$2" ]; }
e2e_wait_focus() { e2e_poll "$3" e2e_has_focus "$1" "$2"; }

# e2e_wait_game_time FILE T SECONDS: waits until a recorded frame has a total time of at
# least T seconds; sets E2E_UNTIL to that frame.
e2e_has_game_time() {
  local line
  # Reads to the end: leaving early would cut the reader's pipe and make it complain.
  line="$(e2e_frames "$1" | awk -v t="$2" '$2 >= t && !found { print $1; found = 1 }')"
  [ -n "$line" ] && E2E_UNTIL="$line"
}
e2e_wait_game_time() { e2e_poll "$3" e2e_has_game_time "$1" "$2"; }

# e2e_frame_field FILE FRAME COLUMN: one value of one recorded frame (columns as above,
# 2 = total time, 3 = energy, 4 = world x, 5 = world y).
e2e_frame_field() { e2e_frames "$1" | awk -v f="$2" -v c="$3" '$1 == f { print $c }'; }

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

# e2e_window_info W H SECONDS: the game window's xwininfo, once it is W by H. The X server
# takes a new window's size in its own time, which a busy machine draws out past the log's
# "Rendering !": wait for it, with the deadline only as a safety net; the caller judges what
# it gets.
e2e_window_info() {
  local deadline=$((SECONDS + $3)) info=""
  while :; do
    info="$(xwininfo -id "$(e2e_window)" 2>/dev/null)"
    if echo "$info" | grep -q "Width: $1$" && echo "$info" | grep -q "Height: $2$"; then break; fi
    [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.1
  done
  echo "$info"
}

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

# Counts the pixels of an ImageMagick txt: listing in the frame rate's light green
# (0.7, 1, 0.5): green above red above blue by clear steps. The landscape behind it, one
# source's colour or a mix of two, rarely looks like that.
e2e_light_green_pixels() {
  awk -F'[(),]+' 'NR > 1 { r = $3 + 0; g = $4 + 0; b = $5 + 0
    if (g > 150 && g > r + 30 && r > b + 30) n++ } END { print n + 0 }'
}

# e2e_count_pixels FILE X Y W H CONDITION: how many pixels of a region of a screenshot
# meet an awk condition on r, g and b (0..255).
e2e_count_pixels() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- |
    awk -F'[(),]+' "NR > 1 { r = \$3 + 0; g = \$4 + 0; b = \$5 + 0; if ($6) n++ } END { print n + 0 }"
}

# e2e_expect_counters_and_icons FILE W H: the three counters at the lower right, each its
# own blue-white digit (counted by that colour: the landscape behind them, pink, blue,
# green or a mix, rarely looks like it), and their icons lighting the strip below them.
e2e_expect_counters_and_icons() {
  local f="$1" w="$2" h="$3" fx n
  for fx in 0.685 0.8 0.925; do
    n=$(e2e_count_pixels "$f" "$(awk "BEGIN { printf \"%d\", ($fx - 0.015) * $w }")" $((h * 765 / 1000)) \
      $((w * 45 / 1000)) $((h * 7 / 100)) 'b > 200 && g > 180 && b >= r + 40')
    e2e_check "$n >= 20" "a counter's digit (blue-white) at x = $fx of the width ($n pixels)"
  done
  n=$(e2e_count_pixels "$f" $((w * 66 / 100)) $((h * 84 / 100)) $((w * 31 / 100)) $((h * 13 / 100)) \
    'r > 120 || g > 120 || b > 120')
  e2e_check "$n >= $((w * h * 15 / 10000))" "the icons below the counters ($n bright pixels)"
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

# e2e_move FILE DX STEPS: moves the real pointer DX pixels sideways, STEPS times, as a
# hand would, each move after the game has recorded another frame and 1/30 s of game
# time since the last one, so the game reads every move, at whatever frame rate.
e2e_move() {
  local i from
  for i in $(seq 1 "$3"); do
    from="$(e2e_frame_count "$1")"
    xdotool mousemove_relative -- "$2" 0
    e2e_wait_settled "$1" "$from" 1 0.033 30 ||
      { e2e_unless_over $? "the game stopped recording frames"; return 2; }
  done
}

# e2e_rests FILE WHAT: with the pointer resting in the middle of the window, the world
# does not move at all over 15 recorded frames and 0.3 s of game time: a steering centre
# other than half the window would read a movement at every step. Sets E2E_UNTIL.
e2e_rests() {
  local from dx dy late
  from="$(e2e_frame_count "$1")"
  e2e_wait_settled "$1" "$from" 15 0.3 60 ||
    { e2e_unless_over $? "$2: the game stopped recording"; return 2; }
  read -r dx dy late <<<"$(e2e_world_moves "$1" "$from" "$E2E_UNTIL")"
  e2e_check "$dx == 0 && $dy == 0" \
    "$2: the world rests while the mouse does (frames $from to $E2E_UNTIL: x moved $dx, y $dy)"
}

# e2e_steers FILE DX STEPS: moves the pointer DX pixels sideways STEPS times, then waits
# 15 frames and 0.3 s: the world moved the pointer's way, not up or down, and it settles
# once the pointer rests (the last five frames move it less than a third as far as the
# whole). How far is the steering's business, not this check's. Sets E2E_UNTIL.
# Returns 2, as e2e_rests and e2e_move do, when the flight in E2E_FLIGHT ran out first.
e2e_steers() {
  local from dx dy late way
  from="$(e2e_frame_count "$1")"
  e2e_move "$1" "$2" "$3" || return 2
  e2e_wait_settled "$1" "$(e2e_frame_count "$1")" 15 0.3 60 ||
    { e2e_unless_over $? "steering by $2 x $3: the game stopped recording"; return 2; }
  read -r dx dy late <<<"$(e2e_world_moves "$1" "$from" "$E2E_UNTIL")"
  way=right
  [ "$2" -lt 0 ] && way=left
  echo "steering $way: the world moved x $dx over frames $from to $E2E_UNTIL, the last five $late"
  e2e_check "$dx * $2 > 0 && ($dx > 5 || $dx < -5)" "moving the mouse $way moves the world $way (x moved $dx)"
  e2e_check "$dy == 0" "a sideways move does not move the world up or down (y moved $dy)"
  e2e_check "$late * $late * 9 < $dx * $dx" \
    "the world settles once the mouse rests (the last five frames moved x $late of $dx)"
}

# e2e_world_moves FILE FROM TO: how the world offset moved over recorded frames FROM..TO:
# prints "dx dy late" (x and y moved from FROM to TO; late: how far x moved over the
# last five of them).
e2e_world_moves() {
  e2e_frames "$1" | awk -v a="$2" -v b="$3" '
    $1 == a { x0 = $4; y0 = $5 } $1 == b - 5 { xl = $4 } $1 == b { x1 = $4; y1 = $5 }
    END { printf "%.6f %.6f %.6f\n", x1 - x0, y1 - y0, x1 - xl }'
}
