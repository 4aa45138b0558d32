#!/usr/bin/env bash
# The installed launcher, staged with `cmake --install` into a DESTDIR under a prefix of
# its own: the per-user folder and where it goes, the user's Settings.ini copied once and
# then left alone, the other data files linked, the result passed through, clear refusals
# for homes it cannot use, and finally the real game started through it under Xvfb.
# Most cases run a stand-in program that records where and how it was started, so each
# one is quick and needs no display.
#
# Usage: launcher_test.sh BUILD_DIR      (the game must be built there)
set -uo pipefail

BUILD="$(cd "${1:?usage: launcher_test.sh BUILD_DIR}" && pwd)"
HERE="$(cd "$(dirname "$0")" && pwd)"
T="$(mktemp -d /tmp/orvendale-launcher.XXXXXX)"
trap 'exit 143' TERM
trap 'exit 130' INT
chmod 755 "$T"  # the read-only case runs as another user when we are root
STAGE="$T/stage"
PREFIX=/opt/orvendale-test
LAUNCHER="$STAGE$PREFIX/bin/orvendale"
DATA="$STAGE$PREFIX/share/games/orvendale"
failures=0
trap 'rm -rf "$T"' EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

DESTDIR="$STAGE" cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null ||
  { echo "FAIL: cmake --install" >&2; exit 1; }
[ -x "$LAUNCHER" ] || { echo "FAIL: no launcher at $LAUNCHER" >&2; exit 1; }

# The stand-in program: records its working directory and arguments, ends with FAKE_RC.
FAKE="$T/fake-game"
cat >"$FAKE" <<'EOF'
#!/bin/sh
{ pwd -P; for a in "$@"; do echo "arg:$a"; done; } >"$FAKE_RECORD"
exit "${FAKE_RC:-0}"
EOF
chmod 755 "$FAKE"
export FAKE_RECORD="$T/record"

# launch HOME XDG_DATA_HOME [ARG...]: the launcher with the stand-in program, in a clean
# environment; its result in RC, its messages in ERR.
RC=""
ERR=""
launch() {
  local home="$1" xdg="$2"
  shift 2
  rm -f "$FAKE_RECORD"
  ERR="$(env -i PATH=/usr/bin:/bin ${home:+HOME="$home"} ${xdg:+XDG_DATA_HOME="$xdg"} \
    FAKE_RECORD="$FAKE_RECORD" FAKE_RC="${FAKE_RC:-0}" ORVENDALE_PROGRAM="$FAKE" \
    "$LAUNCHER" "$@" 2>&1 >/dev/null)"
  RC=$?
}

# --- Where the user folder goes --------------------------------------------------------
# HOME | XDG_DATA_HOME | expected folder (relative to $T)
while IFS='|' read -r home xdg expected; do
  rm -rf "$T/h" "$T/x"
  mkdir -p "$T/h"
  # An absolute XDG_DATA_HOME is placed under the scratch folder; a relative one as is.
  xdg_value="$xdg"
  [ "${xdg#/}" != "$xdg" ] && xdg_value="$T$xdg"
  launch "${home:+$T/$home}" "$xdg_value"
  [ "$RC" == 0 ] || fail "HOME=$home XDG_DATA_HOME=$xdg: result $RC ($ERR)"
  [ "$(head -1 "$FAKE_RECORD" 2>/dev/null)" == "$T/$expected" ] ||
    fail "HOME=$home XDG_DATA_HOME=$xdg: the game ran in $(head -1 "$FAKE_RECORD" 2>/dev/null), not $T/$expected"
done <<'EOF'
h||h/.local/share/orvendale
h|/x/data|x/data/orvendale
h|relative/data|h/.local/share/orvendale
|/x/data|x/data/orvendale
EOF

# --- The first start -------------------------------------------------------------------
rm -rf "$T/h"
mkdir -p "$T/h"
U="$T/h/.local/share/orvendale"
launch "$T/h" "" --one "two words"
[ "$RC" == 0 ] || fail "first start: result $RC ($ERR)"
[ "$(cat "$FAKE_RECORD" 2>/dev/null)" == "$(printf '%s\n' "$U" "arg:--one" "arg:two words")" ] ||
  fail "first start: the program did not get its arguments as given: $(cat "$FAKE_RECORD" 2>/dev/null)"
[ -f "$U/Settings.ini" ] && [ ! -L "$U/Settings.ini" ] && cmp -s "$U/Settings.ini" "$DATA/Settings.ini" ||
  fail "first start: Settings.ini is not a copy of the shipped one"
[ -w "$U/Settings.ini" ] || fail "first start: the user's Settings.ini is not writable"
shipped_names="$(cd "$DATA" && ls | LC_ALL=C sort)"
[ "$(cd "$U" && ls | LC_ALL=C sort)" == "$shipped_names" ] ||
  fail "first start: the user folder holds $(ls "$U" | tr '\n' ' '), not the shipped names"
for f in "$DATA"/*; do
  n="${f##*/}"
  [ "$n" == Settings.ini ] && continue
  [ -L "$U/$n" ] && [ "$(readlink "$U/$n")" == "$(cd "$DATA" && pwd -P)/$n" ] ||
    fail "first start: $n is not a plain link to the shipped file ($(readlink "$U/$n"))"
done

# --- The result of the game is the launcher's ------------------------------------------
for code in 0 3 255; do
  FAKE_RC=$code launch "$T/h" ""
  [ "$RC" == "$code" ] || fail "the program ended with $code, the launcher with $RC"
done

# --- A second start keeps what the user changed ----------------------------------------
printf 'n_Width = 800;\nn_Height = 600;\n' >"$U/Settings.ini"
touch -d '2001-01-01 00:00' "$U/Settings.ini"
rm "$U/font.txt"
echo "the player's own font" >"$U/font.txt"
echo "notes" >"$U/notes.txt"
ln -sfn /nonexistent/older/install/crfighter.3ds "$U/crfighter.3ds"
launch "$T/h" ""
[ "$RC" == 0 ] || fail "second start: result $RC ($ERR)"
[ "$(cat "$U/Settings.ini")" == "$(printf 'n_Width = 800;\nn_Height = 600;')" ] ||
  fail "second start: the edited Settings.ini was changed"
[ "$(stat -c %Y "$U/Settings.ini")" == "$(date -d '2001-01-01 00:00' +%s)" ] ||
  fail "second start: the edited Settings.ini was written again"
[ ! -L "$U/font.txt" ] && [ "$(cat "$U/font.txt")" == "the player's own font" ] ||
  fail "second start: the player's own font.txt was replaced"
[ "$(cat "$U/notes.txt" 2>/dev/null)" == notes ] || fail "second start: a file of the player's went"
[ "$(readlink -f "$U/crfighter.3ds")" == "$(cd "$DATA" && pwd -P)/crfighter.3ds" ] ||
  fail "second start: a link into an older install was not renewed"

# --- Homes the launcher cannot use -----------------------------------------------------
# HOME | what the message says | run as another user with a read-only home?
mkdir -p "$T/ro"
chmod 555 "$T/ro"
mkdir -p "$T/rouser/.local/share/orvendale"
chmod 555 "$T/rouser/.local/share/orvendale"
as_other() {
  if [ "$(id -u)" -eq 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi
}
while IFS='|' read -r home words; do
  rm -f "$FAKE_RECORD"
  # Root may write anywhere: the read-only cases run as nobody then.
  ERR="$(as_other env -i PATH=/usr/bin:/bin ${home:+HOME="$T/$home"} FAKE_RECORD="$FAKE_RECORD" \
    ORVENDALE_PROGRAM="$FAKE" "$LAUNCHER" 2>&1 >/dev/null)"
  RC=$?
  [ "$RC" -ne 0 ] || fail "HOME=${home:-unset}: result 0"
  grep -qF "$words" <<<"$ERR" || fail "HOME=${home:-unset}: the message '$ERR' does not say '$words'"
  [ ! -e "$FAKE_RECORD" ] || fail "HOME=${home:-unset}: the game was started"
done <<'EOF'
missing|does not exist
|HOME is not set
ro|read-only
rouser|not writable
EOF
[ -z "$(ls -A "$T/ro")" ] || fail "the read-only home was changed"
[ ! -e "$T/missing" ] || fail "the missing home was created"

# --- The real game through the launcher ------------------------------------------------
source "$HERE/../e2e/lib/common.bash"
E2E_WORK="$T/player/.local/share/orvendale"
E2E_BIN="$LAUNCHER"
mkdir -p "$T/player"
trap 'e2e_cleanup; rm -rf "$T"' EXIT
e2e_xserver 640 480
(cd / && exec setpriv --pdeathsig KILL env -i PATH=/usr/bin:/bin HOME="$T/player" DISPLAY="$DISPLAY" "$LAUNCHER" \
  >"$T/game.out" 2>"$T/game.err") &
E2E_GPID=$!
e2e_wait_log "Rendering !" 30 ||
  e2e_fail "the game started by the launcher did not reach 'Rendering !'; it said: $(cat "$T/game.err")"
e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "the launcher ended with $E2E_RC after Escape, expected 0"
e2e_expect_log "${ALL_LINES[@]}"

[ "$failures" -eq 0 ] || { echo "launcher: $failures failures" >&2; exit 1; }
echo "PASS"
