#!/usr/bin/env bash
# End-to-end checks of the Windows program under Wine: the real orvendale.exe on the real
# Win32/WGL API, each case on its own Xvfb (no window manager) in a scratch copy of the
# folder that holds the program and its data files.
#
# Usage: wine_e2e.sh BUILD_DIR [WINDOWS_ZIP]
#   BUILD_DIR holds orvendale.exe and the data files copied beside it by the build.
#   WINDOWS_ZIP, the release zip (cpack -G ZIP in BUILD_DIR), adds the case of a player
#   who unpacks it into an empty folder and plays from there.
#   WINEPREFIX names an initialised 64-bit prefix; without it one is made for this run.
# Prints one line per case and a closing "N passed, N failed" line; exits non-zero when a
# case fails.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xserver.sh"

BIN_DIR="$(cd "${1:?usage: wine_e2e.sh BUILD_DIR}" && pwd)"
EXE="$BIN_DIR/orvendale.exe"
[ -f "$EXE" ] || { echo "no $EXE" >&2; exit 2; }
ZIP=""
if [ -n "${2:-}" ]; then
  ZIP="$(readlink -f "$2")"
  [ -f "$ZIP" ] || { echo "no $2" >&2; exit 2; }
fi

export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
OWN_PREFIX=""
if [ -z "${WINEPREFIX:-}" ]; then
  OWN_PREFIX="$(mktemp -d /tmp/orvendale-wine.XXXXXX)"
  export WINEPREFIX="$OWN_PREFIX"
  DISPLAY= wine wineboot -i >/dev/null 2>&1
  # The prefix is ready only when its set-up processes have ended; the first case would
  # otherwise start the game while Wine is still busy with them.
  wineserver -w
fi

LOG_HEADER="__________Engine - Log__________"
ALL_LINES=("Loading objects .." "    OK" "Init engine ..." "    OK" "Loading font(s) .." "    OK" "Rendering !")
UP_TO_FONTS=("Loading objects .." "    OK" "Init engine ..." "    OK" "Loading font(s) ..")
UP_TO_DISPLAY=("Loading objects .." "    OK" "Init engine ...")

HAVE_FONTS=1
for f in font.txt font_vimra.tga font_tech.tga; do
  [ -f "$BIN_DIR/$f" ] || HAVE_FONTS=0
done

WORK=""   # scratch folder of the running case
UNPACKED=""  # the folder the release zip was unpacked into
XPID=""   # its X server
GPID=""   # the game (the Wine loader, whose exit status is the program's result)
RC=""
CASE_ERR=""
passed=0
failed=0
export DISPLAY=""

stop_case() {
  if [ -n "$GPID" ]; then
    kill "$GPID" 2>/dev/null
    wait "$GPID" 2>/dev/null
    GPID=""
  fi
  # Ends this prefix's Wine processes (the desktop process holds the X connection).
  wineserver -k >/dev/null 2>&1
  if [ -n "$XPID" ]; then
    kill "$XPID" 2>/dev/null
    wait "$XPID" 2>/dev/null
    XPID=""
  fi
  [ -n "$WORK" ] && rm -rf "$WORK"
  WORK=""
  [ -n "$UNPACKED" ] && rm -rf "$UNPACKED"
  UNPACKED=""
}

cleanup() {
  stop_case
  [ -n "$OWN_PREFIX" ] && rm -rf "$OWN_PREFIX"
  return 0
}
trap cleanup EXIT

# Fails the running case (the first failure is the one reported).
fail() {
  [ -z "$CASE_ERR" ] && CASE_ERR="$*"
  return 1
}

# xserver WIDTH HEIGHT: a private Xvfb of that screen size.
xserver() {
  start_xvfb "$1" "$2" || { fail "could not start Xvfb"; return 1; }
  XPID="$XVFB_PID"
}

# scratch [SETTINGS_TEXT]: a copy of the program folder without Engine.log; the given
# Settings.ini text, or no Settings.ini at all.
scratch() {
  WORK="$(mktemp -d /tmp/orvendale-wine-e2e.XXXXXX)"
  local f
  for f in "$BIN_DIR"/orvendale.exe "$BIN_DIR"/*.txt "$BIN_DIR"/*.tga "$BIN_DIR"/*.3ds; do
    [ -f "$f" ] && cp "$f" "$WORK/"
  done
  if [ $# -gt 0 ]; then printf '%s' "$1" >"$WORK/Settings.ini"; fi
}

# start_game [ARGUMENT...]
start_game() {
  (cd "$WORK" && exec wine orvendale.exe "$@" >"$WORK/stdout.txt" 2>&1) &
  GPID=$!
}

# The log as lines, without the CR that the text-mode file has on Windows.
log_lines() { tr -d '\r' 2>/dev/null <"$WORK/Engine.log"; }

# wait_log LINE SECONDS
wait_log() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    log_lines | grep -qxF -- "$1" && return 0
    kill -0 "$GPID" 2>/dev/null || { log_lines | grep -qxF -- "$1"; return; }
    sleep 0.1
  done
  return 1
}

# wait_exit SECONDS: sets RC to the program's result, or "timeout".
wait_exit() {
  local i
  for i in $(seq 1 $(($1 * 10))); do
    if ! kill -0 "$GPID" 2>/dev/null; then
      wait "$GPID"
      RC=$?
      GPID=""
      return 0
    fi
    sleep 0.1
  done
  RC="timeout"
  return 1
}

# top_window TITLE: the id of the top-level X window with that title, or nothing.
top_window() {
  xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $1; exit }'
}

# window_geometry TITLE: WxH+X+Y of that window.
window_geometry() {
  xwininfo -root -tree 2>/dev/null |
    awk -v t="\"$1\":" 'index($0, t) { for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { print $i; exit } }'
}

# wait_window TITLE SECONDS
wait_window() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    [ -n "$(top_window "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

# press TITLE KEY: pointer onto the window, keyboard focus to it, then the key.
press() {
  local id
  id="$(top_window "$1")"
  [ -n "$id" ] || { fail "no window '$1' to press $2 in"; return 1; }
  eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print "wx=" $4} /Absolute upper-left Y/ {print "wy=" $4} /Width/ {print "ww=" $2} /Height/ {print "wh=" $2}')"
  xdotool mousemove $((wx + ww / 2)) $((wy + wh / 2)) >/dev/null 2>&1
  xdotool windowfocus "$id" >/dev/null 2>&1
  sleep 0.3
  xdotool key "$2"
}

# expect_log LINE...: Engine.log is exactly the header and these lines, each ended by
# CR LF (text mode on Windows), nothing after the last.
expect_log() {
  local expected
  expected="$(mktemp)"
  printf '%s\r\n' "$LOG_HEADER" "$@" >"$expected"
  if ! cmp -s "$expected" "$WORK/Engine.log"; then
    rm -f "$expected"
    fail "Engine.log is not exactly the header and: $(printf '[%s] ' "$@")"
    return 1
  fi
  rm -f "$expected"
}

# expect_exit CODE SECONDS
expect_exit() {
  wait_exit "$2"
  [ "$RC" == "$1" ] || fail "result $RC, expected $1"
}

# expect_frames X Y W H: a picture that is not black in that region, and a later one that
# differs from it (frames keep coming).
expect_frames() {
  import -window root "$WORK/shot1.png" 2>/dev/null
  sleep 0.7
  import -window root "$WORK/shot2.png" 2>/dev/null
  local mean diff
  mean="$(convert "$WORK/shot2.png" -crop "${3}x${4}+${1}+${2}" +repage -colorspace Gray -format '%[fx:mean]' info:)"
  awk -v m="$mean" 'BEGIN { exit !(m > 0.01) }' || { fail "the game's picture is black (mean $mean)"; return 1; }
  diff="$(compare -metric AE "$WORK/shot1.png" "$WORK/shot2.png" null: 2>&1)"
  [ "$diff" != "0" ] || fail "the picture did not change between two screenshots"
}

run_case() {
  local name="$1"
  shift
  CASE_ERR=""
  local start=$SECONDS
  "$@"
  local ok=$?
  [ -n "$CASE_ERR" ] && ok=1
  if [ "$ok" -eq 0 ]; then
    passed=$((passed + 1))
    echo "ok    $name ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    echo "FAIL  $name: ${CASE_ERR:-failed}"
    if [ -n "$WORK" ] && [ -f "$WORK/Engine.log" ]; then
      echo "      Engine.log: $(log_lines | tr '\n' '|')"
    fi
  fi
  stop_case
}

# ---- Cases -------------------------------------------------------------------------

# The display has the game's 640 x 480 mode: the switch succeeds without a question.
case_full_screen_plays_and_escape_ends() {
  scratch
  xserver 640 480 || return 1
  start_game
  wait_log "Rendering !" 60 || { fail "the game did not reach 'Rendering !'"; return 1; }
  [ -z "$(top_window Fullscreen)" ] || fail "a Fullscreen question appeared although the mode exists"
  [ "$(window_geometry Orvendale)" == "640x480+0+0" ] ||
    fail "window is $(window_geometry Orvendale), not 640x480+0+0"
  expect_frames 0 0 640 480
  # The sound opened through winmm (Wine's null driver takes it) or, without a device,
  # said so in one line: never a box, and the game plays on.
  [ "$(grep -c "no sound" "$WORK/stdout.txt")" -le 1 ] || fail "more than one line about the sound"
  echo "   sound: $(grep "no sound" "$WORK/stdout.txt" | tr -d "\r" || true)"
  press Orvendale Escape
  expect_exit 0 15
  expect_log "${ALL_LINES[@]}"
}

# Until the fonts exist, the start-up stops after the display with result -1.
case_start_without_fonts() {
  scratch
  xserver 640 480 || return 1
  start_game
  expect_exit 255 60
  expect_log "${UP_TO_FONTS[@]}"
}

# Without the last font picture the first two fonts load and the start-up still ends
# with -1, the log at "Loading font(s) ..".
case_missing_font_picture_ends_with_minus_one() {
  scratch
  rm -f "$WORK/font_tech.tga"
  xserver 640 480 || return 1
  start_game
  expect_exit 255 60
  expect_log "${UP_TO_FONTS[@]}"
  [ -z "$(top_window Orvendale)" ] || fail "the window outlived the program"
}

# A screen without the 640 x 480 mode: the question box; No ends with result 0 before
# any GL set-up.
case_mode_refused_answer_no() {
  scratch
  xserver 1024 768 || return 1
  start_game
  wait_window Fullscreen 60 || { fail "no Fullscreen question"; return 1; }
  [ "$(log_lines | tail -n 1)" == "Init engine ..." ] || fail "log does not end at 'Init engine ...' while asking"
  press Fullscreen n
  expect_exit 0 15
  expect_log "${UP_TO_DISPLAY[@]}"
}

# Yes plays in the 640 x 480 window on the larger screen.
case_mode_refused_answer_yes_plays_windowed() {
  scratch
  xserver 1024 768 || return 1
  start_game
  wait_window Fullscreen 60 || { fail "no Fullscreen question"; return 1; }
  press Fullscreen Return
  wait_log "Rendering !" 30 || { fail "the game did not reach 'Rendering !' after Yes"; return 1; }
  [ "$(window_geometry Orvendale)" == "640x480+0+0" ] ||
    fail "window is $(window_geometry Orvendale), not 640x480+0+0"
  expect_frames 0 0 640 480
  press Orvendale Escape
  expect_exit 0 15
  expect_log "${ALL_LINES[@]}"
}

# plays_at_800x600_without_asking WHY: the game started reaches its loop in an 800 x 600
# window at the top left, with no Fullscreen question, draws there and ends with Escape.
plays_at_800x600_without_asking() {
  wait_log "Rendering !" 60 || { fail "the game did not reach 'Rendering !' $1"; return 1; }
  [ -z "$(top_window Fullscreen)" ] || fail "a Fullscreen question appeared $1"
  [ "$(window_geometry Orvendale)" == "800x600+0+0" ] ||
    fail "window is $(window_geometry Orvendale), not 800x600+0+0"
  expect_frames 0 0 800 600
  press Orvendale Escape
  expect_exit 0 15
  expect_log "${ALL_LINES[@]}"
}

# --window on a screen without the 640 x 480 mode plays in the window straight away,
# without asking; --size sets another size for the run.
case_window_option_plays_windowed() {
  scratch
  xserver 1024 768 || return 1
  start_game --window --size 800x600
  plays_at_800x600_without_asking "with --window"
}

# Settings.ini sets the window and the display mode.
case_settings_size() {
  scratch $'n_Width = 800;\nn_Height = 600;\n'
  xserver 800 600 || return 1
  start_game
  plays_at_800x600_without_asking "although the mode exists"
}

# Without steering the energy runs out in about 11 s: one "Game Over" box (the Czech text
# through MessageBoxW), the game stays open after it, and Escape still ends it with 0.
case_game_over_box() {
  scratch
  xserver 640 480 || return 1
  start_game
  wait_log "Rendering !" 60 || { fail "the game did not reach 'Rendering !'"; return 1; }
  wait_window "Game Over" 60 || { fail "no Game Over box within 60 s"; return 1; }
  press "Game Over" Return
  local i
  for i in $(seq 1 50); do
    [ -z "$(top_window "Game Over")" ] && break
    sleep 0.1
  done
  [ -z "$(top_window "Game Over")" ] || { fail "the box did not close on Return"; return 1; }
  sleep 0.5
  kill -0 "$GPID" 2>/dev/null || { fail "the game ended when the box was confirmed"; return 1; }
  [ -z "$(top_window "Game Over")" ] || fail "a second Game Over box appeared"
  press Orvendale Escape
  expect_exit 0 15
  expect_log "${ALL_LINES[@]}"
}

# The release zip holds one folder with the program and every data file, nothing else;
# unpacked into an empty folder it plays at once and Escape ends it with 0.
case_release_zip_plays() {
  local top listed expected f
  top="$(unzip -Z1 "$ZIP" | head -1 | cut -d/ -f1)"
  listed="$(unzip -Z1 "$ZIP" | grep -v '/$' | LC_ALL=C sort)"
  expected="$(for f in orvendale.exe Settings.ini crfighter.3ds font.txt font_tech.tga font_vimra.tga; do
    echo "$top/$f"; done | LC_ALL=C sort)"
  [ "$listed" == "$expected" ] || { fail "the zip holds: $(echo $listed)"; return 1; }
  UNPACKED="$(mktemp -d /tmp/orvendale-wine-zip.XXXXXX)"
  (cd "$UNPACKED" && unzip -q "$ZIP") || { fail "the zip does not unpack"; return 1; }
  WORK="$UNPACKED/$top"
  xserver 640 480 || return 1
  start_game
  wait_log "Rendering !" 60 || { fail "the unpacked game did not reach 'Rendering !'"; return 1; }
  [ "$(window_geometry Orvendale)" == "640x480+0+0" ] ||
    fail "window is $(window_geometry Orvendale), not 640x480+0+0"
  expect_frames 0 0 640 480
  press Orvendale Escape
  expect_exit 0 15
  expect_log "${ALL_LINES[@]}"
}

# Record and replay live in the SDL stand-in, not here: the options say so and end with
# 2 before anything starts; other arguments give the usage. A program with a window has no
# console on Windows, so each note is also shown in a message box, which OK closes.
case_replay_options_unavailable() {
  scratch
  xserver 640 480 || return 1
  local args
  for args in "--record game.orvr" "--replay game.orvr" "--replay game.orvr --check" "--bogus"; do
    # shellcheck disable=SC2086
    (cd "$WORK" && exec wine orvendale.exe $args >"$WORK/stdout.txt" 2>&1) &
    GPID=$!
    if wait_window Orvendale 60; then
      press Orvendale Return
    else
      fail "$args: no message box"
    fi
    expect_exit 2 60
    if [ "$args" == "--bogus" ]; then
      grep -q "^usage: orvendale" "$WORK/stdout.txt" || fail "$args: no usage message"
    else
      grep -q "not available in this build" "$WORK/stdout.txt" || fail "$args: no message"
    fi
    [ ! -e "$WORK/Engine.log" ] || fail "$args: the game started"
  done
}

echo "Windows end-to-end checks under Wine ($(wine --version 2>/dev/null)); fonts present: $HAVE_FONTS"
if [ "$HAVE_FONTS" -eq 1 ]; then
  run_case "starts full screen at 640x480, renders frames, Escape ends with 0" case_full_screen_plays_and_escape_ends
  run_case "a missing font picture ends the start-up with -1" case_missing_font_picture_ends_with_minus_one
  run_case "mode refused, answer No: result 0 after 'Init engine ...'" case_mode_refused_answer_no
  run_case "mode refused, answer Yes: plays in a 640x480 window" case_mode_refused_answer_yes_plays_windowed
  run_case "Settings.ini 800x600 sizes the window and the mode" case_settings_size
  run_case "--window --size 800x600 plays in that window without asking" case_window_option_plays_windowed
  run_case "energy runs out: one Game Over box, Escape still ends with 0" case_game_over_box
  if [ -n "$ZIP" ]; then
    run_case "the release zip, unpacked into an empty folder, plays and Escape ends with 0" case_release_zip_plays
  fi
else
  run_case "without the font files the start-up ends with -1 at 'Loading font(s) ..'" case_start_without_fonts
  run_case "mode refused, answer No: result 0 after 'Init engine ...'" case_mode_refused_answer_no
fi

run_case "--record and --replay say they are not available, result 2" case_replay_options_unavailable

echo "Wine e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
