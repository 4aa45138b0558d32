#!/usr/bin/env bash
# A table of best flights that cannot be read costs one line on the terminal and nothing
# else: at the end of the flight it is set aside whole under another name, a new table
# holds the flight, the results are shown and the game waits there; Escape ends it with 0.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480
table="$E2E_WORK/best_flights.txt"
printf 'orvendale best flights, version 1\n12.00 0 0 3 2026-12-11 06:01 -\nthis is not a flight\n' >"$table"
cp "$table" "$E2E_WORK/damaged.txt"
e2e_start_game
e2e_wait_log "Rendering !" 30 || e2e_fail "the game did not reach 'Rendering !'"
e2e_wait_box "Game Over" 120 || e2e_fail "no Game Over box"
e2e_box_key "Game Over" Return
set_aside() { ls "$E2E_WORK" | grep -qE '^best_flights\.damaged-.*\.txt$'; }
e2e_poll 20 set_aside || e2e_fail "the damaged table was not set aside"
new_table() { grep -qE '^[0-9]+\.[0-9]{2} 0 0 0 ' "$table" 2>/dev/null; }
e2e_poll 20 new_table || e2e_fail "no new table holds the flight"
kill -0 "$E2E_GPID" 2>/dev/null || e2e_fail "the game ended at the results"
e2e_key Escape
e2e_wait_exit 15
[ "$E2E_RC" == "0" ] || e2e_fail "exit code $E2E_RC, expected 0"

aside="$(ls "$E2E_WORK" | grep -E '^best_flights\.damaged-.*\.txt$')"
cmp -s "$E2E_WORK/$aside" "$E2E_WORK/damaged.txt" || e2e_fail "$aside is not the damaged table as it was"
lines="$(grep -c 'orvendale: ' "$E2E_WORK/stderr.txt")"
[ "$lines" == "1" ] || e2e_fail "$lines lines from the game on the terminal, expected 1: $(cat "$E2E_WORK/stderr.txt")"
grep -F "orvendale: best_flights.txt cannot be read (line 3 is not a flight); it is set aside as $aside" \
  "$E2E_WORK/stderr.txt" >/dev/null || e2e_fail "the line does not say what and where: $(grep 'orvendale: ' "$E2E_WORK/stderr.txt")"
[ "$(grep -cE '^[0-9]+\.[0-9]{2} ' "$table")" == "1" ] || e2e_fail "the new table does not hold this flight alone"
echo "PASS"
