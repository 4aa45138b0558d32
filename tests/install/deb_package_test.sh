#!/usr/bin/env bash
# The Debian package on a fresh Debian 12 root, as Debian's checker and a player meet it:
# lintian's whole pedantic report is the one expected (a new tag fails); apt installs the
# .deb with its dependencies; an ordinary user with an empty home starts the game through
# the launcher under Xvfb; the user folder, Engine.log and the window are checked; an
# edited Settings.ini size holds on the next start; Escape ends with 0; a missing or
# read-only home gets a clear message and a non-zero result; and after `apt-get purge`
# and the removal of what it brought in, the root holds the files it held before. The
# installed program passes hardening-check.
#
# Usage (as root, inside a throw-away root; it installs what it needs there):
#   deb_package_test.sh ORVENDALE_DEB
# Prints one line per check and a closing "N passed, N failed" line; exits non-zero when
# a check fails.
set -uo pipefail
# The X server starter of the repository, copied beside this script into the root.
source "$(dirname "$0")/xserver.sh" 2>/dev/null ||
  source "$(dirname "$0")/../../scripts/lib/xserver.sh"

DEB="$(readlink -f "${1:?usage: deb_package_test.sh ORVENDALE_DEB}")"
[ -f "$DEB" ] || { echo "no $DEB" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "deb_package_test.sh must run as root" >&2; exit 2; }

PLAYER=orvplayer
LOCKED=orvlocked
PLAYER_HOME=/home/$PLAYER
USER_DIR=$PLAYER_HOME/.local/share/orvendale
SHIPPED=/usr/share/games/orvendale
WORK="$(mktemp -d /tmp/orvendale-deb-test.XXXXXX)"
LOG_HEADER="__________Engine - Log__________"
ALL_LINES=("Loading objects .." "    OK" "Init engine ..." "    OK" "Loading font(s) .." "    OK" "Rendering !")

XPID=""
GPID=""
RC=""
passed=0
failed=0
export DEBIAN_FRONTEND=noninteractive

cleanup() {
  [ -n "$GPID" ] && kill "$GPID" 2>/dev/null
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
  rm -rf "$WORK"
  return 0
}
trap cleanup EXIT

ok() { passed=$((passed + 1)); echo "ok    $*"; }
bad() { failed=$((failed + 1)); echo "FAIL  $*"; }
# check DESCRIPTION COMMAND...: one line for the result of the command.
check() {
  local what="$1"
  shift
  if "$@"; then ok "$what"; else bad "$what"; fi
}
finish() {
  echo "Debian package: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

# Every file, link and folder of the root, less the places that change by themselves or
# belong to apt and dpkg, and less the player's ~/.local, which holds the game folder,
# ~/.cache, where Mesa keeps the player's compiled shaders, and ~/.config/pulse, where the
# sound system's client library notes its server's runtime folder for any program that
# plays sound.
file_list() {
  find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
    -o -path /var/tmp -o -path /var/log -o -path /var/cache -o -path /var/lib/apt \
    -o -path /var/lib/dpkg -o -path /var/lib/systemd -o -path /var/lib/ucf \
    -o -path "$PLAYER_HOME/.local" -o -path "$PLAYER_HOME/.cache" \
    -o -path "$PLAYER_HOME/.config/pulse" -o -path "$WORK" \) -prune -o -print 2>/dev/null |
    grep -vxF "$PLAYER_HOME/.config" | LC_ALL=C sort
}

# xserver WIDTH HEIGHT: a private Xvfb that any local user may draw on. A chroot has a
# /tmp of its own but shares the host's abstract socket names: start_xvfb skips display
# numbers taken there, and ours listens only on its socket file (no abstract name), where
# no host client can stumble on it.
xserver() {
  start_xvfb "$1" "$2" -nolisten local -ac || return 1
  XPID="$XVFB_PID"
}

stop_xserver() {
  [ -n "$XPID" ] && { kill "$XPID" 2>/dev/null; wait "$XPID" 2>/dev/null; }
  XPID=""
}

# as_user USER HOME COMMAND...: runs a command as that user with a clean environment, as
# a desktop session would start the game (PATH with the games folders, no XDG_DATA_HOME).
as_user() {
  local user="$1" home="$2"
  shift 2
  runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" DISPLAY="${DISPLAY:-}" \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games "$@"
}

# start_game: the launcher, found on the PATH, as the player, in the background.
start_game() {
  (cd / && exec runuser -u "$PLAYER" -- env -i HOME="$PLAYER_HOME" USER="$PLAYER" \
     LOGNAME="$PLAYER" DISPLAY="$DISPLAY" PATH=/usr/local/bin:/usr/bin:/bin:/usr/games \
     orvendale >"$WORK/game.out" 2>&1) &
  GPID=$!
}

wait_log() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    grep -qxF -- "$1" "$USER_DIR/Engine.log" 2>/dev/null && return 0
    kill -0 "$GPID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

wait_exit() {
  local i
  RC="timeout"
  for i in $(seq 1 $(($1 * 10))); do
    if ! kill -0 "$GPID" 2>/dev/null; then
      wait "$GPID"
      RC=$?
      GPID=""
      return 0
    fi
    sleep 0.1
  done
  return 1
}

game_window() { xdotool search --name '^Orvendale$' 2>/dev/null | head -1; }

window_size() {
  local id
  id="$(game_window)"
  [ -n "$id" ] || return 1
  xwininfo -id "$id" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'
}

press_escape() {
  local id
  id="$(game_window)"
  xdotool mousemove 20 20 >/dev/null 2>&1
  [ -n "$id" ] && xdotool windowfocus "$id" >/dev/null 2>&1
  sleep 0.2
  xdotool key Escape
}

log_is_complete() {
  [ "$(cat "$USER_DIR/Engine.log" 2>/dev/null)" == "$(printf '%s\n' "$LOG_HEADER" "${ALL_LINES[@]}")" ]
}

links_are_shipped() {
  local f name
  for f in "$SHIPPED"/*; do
    name="${f##*/}"
    [ "$name" == Settings.ini ] && continue
    [ -L "$USER_DIR/$name" ] && [ "$(readlink -f "$USER_DIR/$name")" == "$f" ] || return 1
  done
}

# play_once WIDTH HEIGHT: one start on a screen of that size, then Escape.
play_once() {
  local w="$1" h="$2"
  rm -f "$WORK/game.out"
  xserver "$w" "$h" || { bad "Xvfb ${w}x${h} starts"; return 1; }
  start_game
  if ! wait_log "Rendering !" 90; then
    bad "the game reaches 'Rendering !' at ${w}x${h}: $(tr '\n' '|' <"$WORK/game.out" 2>/dev/null)"
    kill "$GPID" 2>/dev/null
    GPID=""
    stop_xserver
    return 1
  fi
  sleep 1
  check "the window is ${w}x${h} (it is $(window_size))" test "$(window_size)" == "${w}x${h}"
  press_escape
  wait_exit 20
  check "Escape ends the game through the launcher with 0 (result $RC)" test "$RC" == 0
  check "Engine.log in the user folder is the complete start-up log" log_is_complete
  stop_xserver
}

# ---- Set-up ---------------------------------------------------------------------------

echo "== test tools"
apt-get update -qq || { echo "apt-get update failed"; exit 1; }
# xfonts-base too: xvfb recommends it, so apt would keep it (and the font indexes its
# scripts generate) after the package's removal; present from the start it is no change.
# lintian, and devscripts for hardening-check, judge the package as Debian would.
apt-get install -y -qq --no-install-recommends xvfb xauth xdotool x11-utils xfonts-base \
  lintian devscripts binutils >"$WORK/tools.log" 2>&1 ||
  { cat "$WORK/tools.log"; echo "could not install the test tools"; exit 1; }
skel="$(mktemp -d)"
useradd --create-home --skel "$skel" --shell /bin/sh "$PLAYER" &&
  useradd --create-home --skel "$skel" --shell /bin/sh "$LOCKED" || { echo "useradd failed"; exit 1; }
rmdir "$skel"
chmod 0555 "/home/$LOCKED"
check "the player's home is empty" test -z "$(ls -A "$PLAYER_HOME")"
# The root before the package: after its purge, and the removal of the dependencies it
# brought, the root must hold exactly these files again.
file_list >"$WORK/before.txt"

echo "== lintian --pedantic"
# Everything lintian says, information included. The one note left is about the stroke
# font, a data file whose name lintian takes for documentation.
expected_lintian="I: orvendale: package-contains-documentation-outside-usr-share-doc [usr/share/games/orvendale/font.txt]"
lintian_out="$(lintian --pedantic --display-info --fail-on error,warning "$DEB" 2>&1)"
lintian_rc=$?
lintian_out="$(grep -vxF 'running with root privileges is not recommended!' <<<"$lintian_out")"
echo "$lintian_out" | sed 's/^/   /'
check "lintian finds no error and no warning (result $lintian_rc)" test "$lintian_rc" == 0
check "lintian's report is the expected one" test "$lintian_out" == "$expected_lintian"

echo "== apt-get install $DEB"
if apt-get install -y -qq "$DEB" >"$WORK/install.log" 2>&1; then
  ok "apt installs the package with its dependencies"
else
  cat "$WORK/install.log"
  bad "apt installs the package with its dependencies"
  finish
fi
check "the package depends on or recommends xfonts-base" \
  bash -c "dpkg-deb -f '$DEB' Depends Recommends | grep -qw xfonts-base"
check "apt brought in SDL 2 for it" bash -c "dpkg-query -W -f='\${Status}' libsdl2-2.0-0 | grep -q 'install ok installed'"
check "the launcher is on the player's PATH" test "$(as_user "$PLAYER" "$PLAYER_HOME" sh -c 'command -v orvendale')" == /usr/games/orvendale
dpkg -L orvendale >"$WORK/package_files.txt"

echo "== hardening-check"
PROGRAM=/usr/libexec/orvendale/orvendale
# Control flow: the mark on the whole program needs every object linked to carry it, and
# Debian 12's own C start files (crt1.o, crti.o, crtn.o) carry none, so no program of
# Debian 12 has it and hardening-check is told not to ask. That our own code is built
# with -fcf-protection shows in its landing pads instead.
hardening-check --nocfprotection "$PROGRAM" >"$WORK/hardening.txt" 2>&1
hardening_rc=$?
sed 's/^/   /' "$WORK/hardening.txt"
check "hardening-check passes the installed program" test "$hardening_rc" == 0
for what in "Position Independent Executable: yes" "Stack protected: yes" \
  "Fortify Source functions: yes" "Read-only relocations: yes" "Immediate binding: yes"; do
  check "hardening-check: $what" grep -qF "$what" "$WORK/hardening.txt"
done
pads="$(objdump -d "$PROGRAM" | grep -c endbr64)"
check "the program's code has the landing pads of -fcf-protection ($pads)" test "$pads" -gt 100

# ---- Playing --------------------------------------------------------------------------

echo "== first start"
play_once 640 480
check "the user folder is ~/.local/share/orvendale, the player's own" test "$(stat -c %U "$USER_DIR" 2>/dev/null)" == "$PLAYER"
check "Settings.ini there is a copy of the shipped one, a file of the player's" \
  bash -c "[ -f '$USER_DIR/Settings.ini' ] && [ ! -L '$USER_DIR/Settings.ini' ] && cmp -s '$USER_DIR/Settings.ini' '$SHIPPED/Settings.ini' && [ \"\$(stat -c %U '$USER_DIR/Settings.ini')\" == '$PLAYER' ]"
check "the other data files are links to the shipped ones" links_are_shipped
check "Engine.log belongs to the player" test "$(stat -c %U "$USER_DIR/Engine.log" 2>/dev/null)" == "$PLAYER"

echo "== second start with an edited Settings.ini"
printf 'n_Width = 800;\nn_Height = 600;\n' >"$WORK/edited.ini"
cp "$WORK/edited.ini" "$USER_DIR/Settings.ini"
play_once 800 600
check "the edited Settings.ini is left as the player wrote it" cmp -s "$WORK/edited.ini" "$USER_DIR/Settings.ini"

echo "== homes the launcher cannot use"
DISPLAY=:0
out="$(as_user "$PLAYER" /home/nobody-lives-here orvendale 2>&1)"
rc=$?
check "a missing home: non-zero ($rc)" test "$rc" -ne 0
check "a missing home: a clear message ($out)" bash -c "grep -q 'does not exist' <<<\"\$1\"" _ "$out"
check "a missing home is not created" test ! -e /home/nobody-lives-here
out="$(as_user "$LOCKED" "/home/$LOCKED" orvendale 2>&1)"
rc=$?
check "a read-only home: non-zero ($rc)" test "$rc" -ne 0
check "a read-only home: a clear message ($out)" bash -c "grep -q 'read-only' <<<\"\$1\"" _ "$out"
check "a read-only home stays empty" test -z "$(ls -A "/home/$LOCKED")"
out="$(runuser -u "$PLAYER" -- env -i PATH=/usr/bin:/bin:/usr/games orvendale 2>&1)"
rc=$?
check "no HOME at all: non-zero with a message ($rc: $out)" bash -c "[ $rc -ne 0 ] && grep -q 'HOME is not set' <<<\"\$1\"" _ "$out"

# ---- Removal --------------------------------------------------------------------------

echo "== apt-get purge"
if apt-get purge -y -qq orvendale >"$WORK/purge.log" 2>&1 &&
   apt-get autoremove --purge -y -qq >>"$WORK/purge.log" 2>&1; then
  ok "apt purges the package and the dependencies it brought"
else
  cat "$WORK/purge.log"
  bad "apt purges the package and the dependencies it brought"
fi
check "the package is gone" bash -c "! dpkg-query -W -f='\${Status}' orvendale 2>/dev/null | grep -q installed"
file_list >"$WORK/after.txt"
# New since: written by the game or the launcher outside the player's folder, or left by
# the package's scripts or removal. Gone since: taken by the removal.
new="$(LC_ALL=C comm -13 "$WORK/before.txt" "$WORK/after.txt" | head -20 | tr '\n' ' ')"
gone="$(LC_ALL=C comm -23 "$WORK/before.txt" "$WORK/after.txt" | head -20 | tr '\n' ' ')"
check "nothing was written or left outside the player's folder${new:+: $new}" test -z "$new"
check "the removal took nothing that was there before${gone:+: $gone}" test -z "$gone"
left=""
while read -r f; do
  [ -e "$f" ] || [ -L "$f" ] || continue
  [ -d "$f" ] && [ ! -L "$f" ] && continue  # shared folders such as /usr/share stay
  left="$left $f"
done <"$WORK/package_files.txt"
check "none of the package's files is left${left:+:$left}" test -z "$left"
check "the player's own folder is kept" test -f "$USER_DIR/Settings.ini"

finish
