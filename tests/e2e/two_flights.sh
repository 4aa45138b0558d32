#!/usr/bin/env bash
# Two flights in one run, flown without steering as a player who lets go would: game
# over, the box, the results, Space, a new flight, game over again, the box, Escape from
# the results (result 0). Judged from what the game leaves, not from the clock: the table
# of best flights holds both in score order, each row names its recording, and each
# recording starts at its flight's countdown (full energy, no catches), ends at its own
# game over and checks exact on its own; the last flight is kept too.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
e2e_start_game
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not reach 'Rendering !'"

table="$E2E_WORK/best_flights.txt"
rows() { if [ -f "$table" ]; then grep -cE '^[0-9]+\.[0-9]{2} ' "$table"; else echo 0; fi; }
has_rows() { [ "$(rows)" -ge "$1" ]; }
box_gone() { [ -z "$(e2e_box_window "Game Over")" ]; }

# fly_to_results N: waits for flight N's box, confirms it and waits for its row.
fly_to_results() {
  e2e_wait_box "Game Over" 120 || e2e_fail "flight $1: no Game Over box"
  e2e_box_key "Game Over" Return
  e2e_poll 10 box_gone || e2e_fail "flight $1: the box did not close on Return"
  e2e_poll 20 has_rows "$1" || e2e_fail "flight $1: the table does not hold it"
}
fly_to_results 1
kill -0 "$E2E_GPID" 2>/dev/null || e2e_fail "the game ended at the results"
e2e_key space
fly_to_results 2
e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "Escape from the results: exit code $E2E_RC, expected 0"

echo "--- the table:"
cat "$table"
head -1 "$table" | grep -qxF "orvendale best flights, version 1" || e2e_fail "no version line"
[ "$(rows)" == "2" ] || e2e_fail "the table holds $(rows) flights, expected 2"
awk '/^[0-9]/ { s[++n] = $1 + 0; c[n] = $2 + $3 + $4 }
     END { exit !(s[1] > s[2] || (s[1] == s[2] && c[1] >= c[2])) }' "$table" ||
  e2e_fail "the table is not in score order"

mapfile -t kept < <(awk '/^[0-9]/ { print $7 }' "$table")
[ "${kept[0]}" != "${kept[1]}" ] || e2e_fail "both rows name the same recording"
for rec in "${kept[@]}" last_flight.orvr; do
  [ -f "$E2E_WORK/$rec" ] || e2e_fail "$rec is not kept"
  frames="$(e2e_frames "$E2E_WORK/$rec")"
  first="$(echo "$frames" | head -1)"
  last="$(echo "$frames" | tail -1)"
  echo "$rec: first frame: $first; last frame: $last"
  echo "$first" | awk '{ exit !($2 == 0 && $3 > 1.7999 && $7 == 0 && $8 == 0 && $9 == 0) }' ||
    e2e_fail "$rec does not start at a countdown with full energy and no catches: $first"
  echo "$last" | awk '{ exit !($3 <= 0) }' || e2e_fail "$rec does not end at game over: $last"
  e2e_run_game --replay "$rec" --check
  e2e_wait_exit 120
  out="$(cat "$E2E_WORK/stdout.txt")"
  [ "$E2E_RC" == "0" ] || e2e_fail "$rec does not check exact (result $E2E_RC): $out"
  echo "$out" | grep -qE "^$rec: exact, $(echo "$frames" | wc -l) frames$" ||
    e2e_fail "$rec: unexpected check line: $out"
done
# The second flight was the last: its kept recording is the last flight's.
second="$(ls "$E2E_WORK" | grep -E '^flight-.*-2\.orvr$')"
cmp -s "$E2E_WORK/$second" "$E2E_WORK/last_flight.orvr" || e2e_fail "last_flight.orvr is not the second flight"
# Nothing of a flight is left that the table or the last flight does not name.
for f in "$E2E_WORK"/flight-*.orvr; do
  name="$(basename "$f")"
  [[ " ${kept[*]} " == *" $name "* ]] || e2e_fail "$name is left on disk unnamed"
done
echo "PASS"
