#!/usr/bin/env bash
# --window and --size, as a desktop player uses them. On an 800x600 desktop, which has no
# 640x480 mode, the Settings.ini size would bring the "Fullscreen" question; --window
# plays in a 640x480 window straight away, without asking and without touching the
# display's mode; --size overrides the size for one run, with or without --window;
# --help prints the usage and ends with 0 before anything starts; a size the settings
# file would refuse is a usage error (2).
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
printf 'n_Width = 640;\nn_Height = 480;\n' >"$E2E_WORK/Settings.ini"
e2e_xserver 800 600

screen_size() { xdpyinfo | awk '/dimensions:/ {print $2; exit}'; }

# play_windowed WxH ARGUMENT...: starts with the arguments, expects a window of WxH with
# no question asked and the screen left at 800x600, then Escape with result 0.
play_windowed() {
  local size="$1"
  shift
  rm -f "$E2E_WORK/Engine.log"
  e2e_start_game "$@"
  e2e_wait_log "Rendering !" 30 || e2e_fail "$*: the game did not reach 'Rendering !'"
  [ "$(e2e_box_count Fullscreen)" == 0 ] || e2e_fail "$*: the game asked about full screen"
  local info
  info="$(e2e_window_info "${size%x*}" "${size#*x}" 10)"
  echo "$info" | grep -q "Width: ${size%x*}$" || e2e_fail "$*: the window is not ${size%x*} wide"
  echo "$info" | grep -q "Height: ${size#*x}$" || e2e_fail "$*: the window is not ${size#*x} high"
  [ "$(screen_size)" == 800x600 ] || e2e_fail "$*: the screen is $(screen_size) now"
  e2e_key Escape
  e2e_wait_exit 15
  [ "$E2E_RC" == 0 ] || e2e_fail "$*: exit code $E2E_RC, expected 0"
  e2e_expect_log "${ALL_LINES[@]}"
}

play_windowed 640x480 --window
play_windowed 320x240 --window --size 320x240
# The desktop's own size full screen: the mode switch succeeds, no question either.
play_windowed 800x600 --size 800x600

# --help: the usage on standard output, result 0, the game never started.
rm -f "$E2E_WORK/Engine.log"
e2e_start_game --help
e2e_wait_exit 15
[ "$E2E_RC" == 0 ] || e2e_fail "--help: exit code $E2E_RC, expected 0"
grep -q -- "--window" "$E2E_WORK/stdout.txt" || e2e_fail "--help: no usage on standard output"
[ ! -e "$E2E_WORK/Engine.log" ] || e2e_fail "--help started the game"

# A size beyond what can make a window.
e2e_start_game --size 20000x600
e2e_wait_exit 15
[ "$E2E_RC" == 2 ] || e2e_fail "--size 20000x600: exit code $E2E_RC, expected 2"
grep -q "usage:" "$E2E_WORK/stderr.txt" || e2e_fail "--size 20000x600: no usage on standard error"
[ ! -e "$E2E_WORK/Engine.log" ] || e2e_fail "--size 20000x600 started the game"
echo "PASS"
