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
LAUNCHER="$STAGE$PREFIX/games/orvendale"
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
# A link into the data folder of an older install under another prefix, one to a file of
# the player's own, one to a shipped file that this install no longer ships, and one of
# the player's that points nowhere (yet).
ln -sfn /opt/older/share/games/orvendale/crfighter.3ds "$U/crfighter.3ds"
echo "the player's own font picture" >"$T/my-font.tga"
ln -sfn "$T/my-font.tga" "$U/font_vimra.tga"
ln -sfn "$(cd "$DATA" && pwd -P)/font_dropped.tga" "$U/font_dropped.tga"
ln -sfn /usr/share/games/orvendale/ship_dropped.3ds "$U/ship_dropped.3ds"
ln -sfn "$T/not-made-yet.3ds" "$U/my-ship.3ds"
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
[ "$(readlink "$U/font_vimra.tga")" == "$T/my-font.tga" ] ||
  fail "second start: the player's own link font_vimra.tga now points to $(readlink "$U/font_vimra.tga")"
[ "$(readlink "$U/my-ship.3ds")" == "$T/not-made-yet.3ds" ] ||
  fail "second start: the player's link to a file not made yet went"
[ ! -L "$U/font_dropped.tga" ] && [ ! -L "$U/ship_dropped.3ds" ] ||
  fail "second start: a link to a shipped file no longer shipped was left: $(ls "$U" | tr '\n' ' ')"
rm -f "$U/font_vimra.tga" "$U/my-ship.3ds"

# --- Two launches at the same moment both start ---------------------------------------
# Every link points into an older install, so both launchers renew every one of them at
# once; neither may fail, and the links end up right.
race_failures=""
for round in $(seq 1 15); do
  for f in "$DATA"/*; do
    n="${f##*/}"
    [ "$n" == Settings.ini ] || ln -sfn "/opt/older/share/games/orvendale/$n" "$U/$n"
  done
  [ "$round" -le 5 ] && rm -f "$U/Settings.ini"  # the first start's copy, raced too
  for i in 1 2 3; do
    (env -i PATH=/usr/bin:/bin HOME="$T/h" FAKE_RECORD="$T/race$i" ORVENDALE_PROGRAM="$FAKE" \
      "$LAUNCHER" >/dev/null 2>"$T/race$i.err"; echo $? >"$T/race$i.rc") &
  done
  wait
  for i in 1 2 3; do
    [ "$(cat "$T/race$i.rc")" == 0 ] || race_failures="$race_failures round $round: $(cat "$T/race$i.err");"
  done
done
[ -z "$race_failures" ] || fail "launches at the same moment failed:$race_failures"
for f in "$DATA"/*; do
  n="${f##*/}"
  [ "$n" == Settings.ini ] && continue
  [ "$(readlink "$U/$n")" == "$(cd "$DATA" && pwd -P)/$n" ] || fail "after the races $n points to $(readlink "$U/$n")"
done
cmp -s "$U/Settings.ini" "$DATA/Settings.ini" || fail "after the races Settings.ini is not the shipped copy"
[ -z "$(ls -A "$U" | grep '^\.')" ] || fail "after the races hidden files are left: $(ls -A "$U" | grep '^\.' | tr '\n' ' ')"

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

# --- Watch your best flight ------------------------------------------------------------
# The action replays the recording the table names first; without one it says so and
# does not start the game.
rm -rf "$T/h"
mkdir -p "$T/h"
U="$T/h/.local/share/orvendale"
launch "$T/h" "" --watch-best
[ "$RC" == 1 ] || fail "--watch-best without a table: result $RC, expected 1"
grep -qF "no best flight" <<<"$ERR" || fail "--watch-best without a table said '$ERR'"
[ ! -e "$FAKE_RECORD" ] || fail "--watch-best without a table started the game"
printf '%s\n' "orvendale best flights, version 1" "# score  atoms flowers fractals  date time  recording" \
  "20.50 1 0 0 2026-12-11 06:01 flight-b.orvr" "10.25 0 0 0 2026-12-11 05:01 flight-a.orvr" \
  >"$U/best_flights.txt"
: >"$U/flight-a.orvr"
: >"$U/flight-b.orvr"
launch "$T/h" "" --watch-best
[ "$RC" == 0 ] || fail "--watch-best: result $RC ($ERR)"
[ "$(tail -n +2 "$FAKE_RECORD" 2>/dev/null | tr '\n' ' ')" == "arg:--replay arg:flight-b.orvr " ] ||
  fail "--watch-best started the game with: $(tail -n +2 "$FAKE_RECORD" 2>/dev/null | tr '\n' ' ')"
rm -f "$U/flight-b.orvr"
launch "$T/h" "" --watch-best
[ "$RC" == 1 ] || fail "--watch-best with its recording missing: result $RC, expected 1"

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
