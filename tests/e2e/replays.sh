#!/usr/bin/env bash
# Record and replay with the real game. Every replay kept in tests/replays checks exact.
# Unusable files (missing, empty, truncated, foreign, newer, older, corrupted) and wrong options
# end with result 2 and one clear line, before any window opens. A recording survives the
# game being killed, a recording that cannot be written is reported while the game plays
# on, other data files give a warning and the check still runs, a plain replay plays at
# the recorded pace, real input does not reach it, and Escape ends it.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
replays="$(cd "$(dirname "$0")/../replays" && pwd)"
e2e_xserver 640 480

# run_game ARGS...: the game in the scratch folder, in the background.
run_game() {
  rm -f "$E2E_WORK/Engine.log"
  e2e_run_game "$@"
}

# run_to_end SECONDS ARGS...: runs the game to its end; E2E_RC, stdout.txt, stderr.txt.
run_to_end() {
  local secs="$1"
  shift
  run_game "$@"
  e2e_wait_exit "$secs"
  [ "$E2E_RC" != "timeout" ] || e2e_fail "orvendale $* did not end within $secs s"
}

out() { cat "$E2E_WORK/stdout.txt"; }

# --- the kept replays check exact ---
for r in "$replays"/*.orvr; do
  run_to_end 120 --replay "$r" --check
  [ "$E2E_RC" == "0" ] || e2e_fail "$(basename "$r"): --check gave $E2E_RC: $(out)"
  [ "$(out | wc -l)" == "1" ] || e2e_fail "$(basename "$r"): --check printed more than one line: $(out)"
  out | grep -qE "^$r: exact, [0-9]+ frames$" || e2e_fail "$(basename "$r"): unexpected line: $(out)"
done

# --- real input during a replay changes nothing: the mouse moves, keys are pressed and
# another window takes the focus, and the check is still exact ---
run_game --replay "$replays/collect_each.orvr" --check
e2e_wait_log "Rendering !" 30 || e2e_fail "real input: the game did not start"
e2e_open_other_window
other=$E2E_HELPER_PID
for i in $(seq 1 20); do
  xdotool mousemove_relative -- 40 -15 >/dev/null 2>&1
  xdotool key a >/dev/null 2>&1
  sleep 0.05
done
e2e_focus_other_window
sleep 1
xdotool windowfocus "$(e2e_window)" >/dev/null 2>&1
e2e_wait_exit 120
e2e_end "$other"
[ "$E2E_RC" == "0" ] || e2e_fail "real input reached the replay: $(out)"

# --- unusable files and wrong options: result 2, one line, no window, no log ---
python3 - "$replays/focus_lost.orvr" "$E2E_WORK" <<'PY'
import struct, sys, zlib
src, work = sys.argv[1], sys.argv[2]
good = open(src, "rb").read()
def put(name, data):
    open(f"{work}/{name}", "wb").write(data)
put("empty.orvr", b"")
put("half_magic.orvr", good[:5])
put("short_header.orvr", good[:20])
put("truncated.orvr", good[:-7])
put("foreign.orvr", open(f"{work}/font_tech.tga", "rb").read())
newer = bytearray(good); newer[8:12] = struct.pack("<I", 4)
put("newer.orvr", bytes(newer))
# A whole, sound file of the format before the steering's clock.
older = bytearray(good); older[8:12] = struct.pack("<I", 1)
older[28:32] = struct.pack("<I", zlib.crc32(bytes(older[:28])))
put("older.orvr", bytes(older))
header = bytearray(good); header[12] ^= 0x01
put("header_flip.orvr", bytes(header))
body = bytearray(good); body[len(good) // 2] ^= 0x20
put("body_flip.orvr", bytes(body))
# A block whose CRC is right but whose record is not: a tag no format version has.
payload = bytes([0x7F, 1, 2, 3])
put("bad_record.orvr", good[:32] + struct.pack("<I", len(payload)) + payload +
    struct.pack("<I", zlib.crc32(payload)))
PY
bad_file() {  # bad_file FILE PATTERN
  run_to_end 20 --replay "$1" --check
  [ "$E2E_RC" == "2" ] || e2e_fail "$1: result $E2E_RC, expected 2: $(out)"
  [ "$(out | wc -l)" == "1" ] || e2e_fail "$1: more than one line: $(out)"
  out | grep -qE "^$1: unusable: $2" || e2e_fail "$1: unexpected line: $(out) (wanted $2)"
  [ ! -e "$E2E_WORK/Engine.log" ] || e2e_fail "$1: the game started"
  # Watching it fails the same way.
  run_to_end 20 --replay "$1"
  [ "$E2E_RC" == "2" ] || e2e_fail "$1: watching it gave result $E2E_RC, expected 2"
}
bad_file missing.orvr "cannot open it: No such file or directory"
bad_file . "cannot read it"
bad_file empty.orvr "the file is empty"
bad_file half_magic.orvr "truncated: the header ends at byte 5"
bad_file short_header.orvr "truncated: the header ends at byte 20"
bad_file truncated.orvr "truncated: the last block is cut off"
bad_file foreign.orvr "not a replay file"
bad_file newer.orvr "made by a newer game \(format version 4; this game reads up to version 3\)"
bad_file older.orvr "made by an older game \(format version 1; this game plays versions 2 to 3"
bad_file header_flip.orvr "corrupted: the header's checksum does not match"
bad_file body_flip.orvr "corrupted: "
bad_file bad_record.orvr "corrupted: a block holds a malformed record at byte 32"

usage() {
  run_to_end 20 "$@"
  [ "$E2E_RC" == "2" ] || e2e_fail "orvendale $*: result $E2E_RC, expected 2"
  grep -q "^usage: orvendale" "$E2E_WORK/stderr.txt" || e2e_fail "orvendale $*: no usage message"
  [ ! -e "$E2E_WORK/Engine.log" ] || e2e_fail "orvendale $*: the game started"
}
usage --record
usage --replay
usage --check
usage --replay a.orvr --check extra
usage --replay --check
usage --play
usage --record a.orvr --check

# --- a recording killed mid-game is complete up to its last frame ---
run_game --record "$E2E_WORK/killed.orvr"
e2e_wait_log "Rendering !" 30 || e2e_fail "recording: the game did not start"
e2e_wait_frames "$E2E_WORK/killed.orvr" 21 120 || e2e_fail "recording: no 21 frames recorded"
kill -9 "$E2E_GPID"
wait "$E2E_GPID" 2>/dev/null
E2E_GPID=""
run_to_end 120 --replay "$E2E_WORK/killed.orvr" --check
[ "$E2E_RC" == "0" ] || e2e_fail "a killed recording does not check: $E2E_RC $(out)"
frames="$(out | sed -nE 's/.*: exact, ([0-9]+) frames$/\1/p')"
e2e_check "${frames:-0} > 20" "a killed recording holds the frames played ($(out))"

# --- a recording that cannot be written: said on the terminal, the game plays on ---
# Full from the start, and full after two kilobytes (a file-size limit, with its signal
# ignored so that the write fails instead).
for how in start later; do
  rm -f "$E2E_WORK/limited.orvr"
  if [ "$how" == "start" ]; then
    run_game --record /dev/full
    note="not recording: cannot write /dev/full: No space left on device; the game starts anyway."
  else
    (cd "$E2E_WORK" && ulimit -f 2 && trap '' XFSZ &&
      exec setpriv --pdeathsig KILL "$E2E_BIN" --record limited.orvr \
        >"$E2E_WORK/stdout.txt" 2>"$E2E_WORK/stderr.txt") &
    E2E_GPID=$!
    note="recording to limited.orvr stopped: File too large; the game goes on."
  fi
  e2e_wait_log "Rendering !" 30 || e2e_fail "write error ($how): the game did not start"
  for i in $(seq 1 200); do
    grep -qxF "orvendale: $note" "$E2E_WORK/stderr.txt" && break
    sleep 0.1
  done
  grep -qxF "orvendale: $note" "$E2E_WORK/stderr.txt" ||
    e2e_fail "write error ($how): no note on the terminal"
  sleep 1
  kill -0 "$E2E_GPID" 2>/dev/null || e2e_fail "write error ($how): the game ended"
  e2e_key Escape
  e2e_wait_exit 15
  [ "$E2E_RC" == "0" ] || e2e_fail "write error ($how): exit code $E2E_RC"
done
run_game --record "$E2E_WORK/no/such/folder.orvr"
e2e_wait_log "Rendering !" 30 || e2e_fail "uncreatable recording: the game did not start"
grep -q "not recording: cannot create .*/no/such/folder.orvr: No such file or directory" \
  "$E2E_WORK/stderr.txt" || e2e_fail "an uncreatable recording is not reported"
e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "uncreatable recording: exit code $E2E_RC"

# --- other data files: a warning, and the check goes on ---
echo "// changed" >>"$E2E_WORK/font.txt"
run_to_end 120 --replay "$replays/focus_lost.orvr" --check
[ "$E2E_RC" == "0" ] || e2e_fail "with another font.txt: result $E2E_RC $(out)"
grep -q "was recorded with other data files; the replay checks every frame as it goes" \
  "$E2E_WORK/stderr.txt" || e2e_fail "with another font.txt: no warning"
cp "$E2E_DATA/font.txt" "$E2E_WORK/font.txt"

# --- watching: at the recorded pace (280 frames of 1/64 s), and Escape ends it ---
start=$(date +%s.%N)
run_to_end 60 --replay "$replays/focus_lost.orvr"
elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
[ "$E2E_RC" == "0" ] || e2e_fail "watching: result $E2E_RC"
out | grep -q "focus_lost.orvr: exact, 280 frames" || e2e_fail "watching: $(out)"
e2e_check "$elapsed > 4.3" "watching plays at the recorded pace (took $elapsed s for 4.4 s)"
# The "Game Over" box waits for the one watching; after it the recorded Escape ends it.
run_game --replay "$replays/game_over.orvr"
e2e_wait_box "Game Over" 60 || e2e_fail "watching: no Game Over box"
sleep 1.5
kill -0 "$E2E_GPID" 2>/dev/null || e2e_fail "watching: the replay did not wait at the Game Over box"
e2e_box_key "Game Over" Return
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "watching to game over: result $E2E_RC"
out | grep -q "game_over.orvr: exact, 679 frames" || e2e_fail "watching to game over: $(out)"
run_game --replay "$replays/game_over.orvr"
e2e_wait_log "Rendering !" 30 || e2e_fail "watching: the game did not start"
sleep 1
e2e_key Escape
e2e_wait_exit 10
[ "$E2E_RC" == "0" ] || e2e_fail "Escape while watching: result $E2E_RC"
out | grep -qE "game_over.orvr: stopped by the player after frame [0-9]+ of 679" ||
  e2e_fail "Escape while watching: $(out)"
echo "PASS"
