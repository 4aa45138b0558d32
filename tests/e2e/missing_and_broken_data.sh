#!/usr/bin/env bash
# Each data file missing or broken on its own: the settings fall back to 640x480, a font
# ends the start-up with result -1 after "Loading font(s) ..", a bad ship model leaves only
# the flame. Never a crash.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
e2e_owned_folder data
pristine="$E2E_FOLDER"
cp -r "$E2E_WORK"/. "$pristine"/

fresh() {
  rm -rf "${E2E_WORK:?}"/*
  cp -r "$pristine"/. "$E2E_WORK"/
  rm -f "$E2E_WORK/Engine.log"
}

# A file of random bytes of the given size.
garbage() { head -c "$2" /dev/urandom >"$E2E_WORK/$1"; }

# Plays until "Rendering !", checks the window size, plays on for 30 recorded frames and
# half a second of game time, then Escape with result 0.
expect_plays() {
  local what="$1" size="$2" rec="$E2E_WORK/plays.orvr"
  e2e_start_game --record "$rec"
  e2e_wait_log "Rendering !" 30 || e2e_fail "$what: the game did not start"
  xwininfo -id "$(e2e_window)" | grep -q "Width: ${size%x*}" || e2e_fail "$what: window width is not ${size%x*}"
  xwininfo -id "$(e2e_window)" | grep -q "Height: ${size#*x}" || e2e_fail "$what: window height is not ${size#*x}"
  e2e_wait_settled "$rec" 1 30 0.5 120 || e2e_fail "$what: the game died or stopped playing"
  e2e_key Escape
  e2e_wait_exit 15
  [ "$E2E_RC" == "0" ] || e2e_fail "$what: exit code $E2E_RC, expected 0"
  e2e_expect_log "${ALL_LINES[@]}"
}

# The start-up ends after the fonts line with -1 (255 as a process status), no crash.
expect_font_failure() {
  local what="$1"
  e2e_start_game
  e2e_wait_exit 30
  [ "$E2E_RC" == "255" ] || e2e_fail "$what: exit code $E2E_RC, expected -1 (255)"
  e2e_expect_log "Loading objects .." "    OK" "Init engine ..." "    OK" "Loading font(s) .."
}

fresh; rm -f "$E2E_WORK/Settings.ini"
expect_plays "no Settings.ini" 640x480
fresh; printf 'n_Width = 800;\nn_Height = ' >"$E2E_WORK/Settings.ini"
expect_plays "a broken Settings.ini" 640x480
fresh; garbage Settings.ini 3000
expect_plays "a Settings.ini of random bytes" 640x480

for font in font.txt font_vimra.tga font_tech.tga; do
  fresh; rm -f "$E2E_WORK/$font"
  expect_font_failure "no $font"
  fresh; garbage "$font" 5000
  expect_font_failure "a $font of random bytes"
done
fresh; head -c 2000 "$pristine/font_tech.tga" >"$E2E_WORK/font_tech.tga"
expect_font_failure "a truncated font_tech.tga"

fresh; rm -f "$E2E_WORK/crfighter.3ds"
expect_plays "no crfighter.3ds" 640x480
fresh; garbage crfighter.3ds 4000
expect_plays "a crfighter.3ds of random bytes" 640x480
fresh; head -c 3000 "$pristine/crfighter.3ds" >"$E2E_WORK/crfighter.3ds"
expect_plays "a truncated crfighter.3ds" 640x480
echo "PASS"
