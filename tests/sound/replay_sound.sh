#!/usr/bin/env bash
# The real game's sound, heard through SDL's disk writer while kept replays are watched:
# sound_check finds the countdown, each catch's chime, the drone near a source and the end
# tone where the watched game's frames put them (their real pace, noted beside the game by
# the preloaded pace_log). Without any audio driver the game plays the replay silently to
# its end with result 0 and says so in one line; a check and n_Sound = 0 make no sound at
# all.
#   replay_sound.sh ORVENDALE DATA_DIR SOUND_CHECK PACE_LOG
source "$(dirname "$0")/../e2e/lib/common.bash"
check="$(readlink -f "$3")"
pace_log="$(readlink -f "$4")"
e2e_init "$@"
replays="$(cd "$(dirname "$0")/../replays" && pwd)"
e2e_xserver 640 480

# watch REPLAY RAW [DRIVER]: watches a replay to its end with sound into RAW, its pace
# into RAW.pace.
watch() {
  rm -f "$E2E_WORK/Engine.log" "$2" "$2.pace"
  (cd "$E2E_WORK" && SDL_AUDIODRIVER="${3:-disk}" SDL_DISKAUDIOFILE="$2" \
     ORV_PACE_FILE="$2.pace" LD_PRELOAD="$pace_log" \
     exec setpriv --pdeathsig KILL "$E2E_BIN" --replay "$1" >"$E2E_WORK/stdout.txt" 2>"$E2E_WORK/stderr.txt") &
  E2E_GPID=$!
}

# A sound wrong in any try fails the test. A try can leave a cue's timing unjudged only
# when the game's own frames came late near it (sound_check's NOTE lines, decided from the
# frames' pace, never from the sound); such a replay is watched once more (a busy machine
# seldom frees itself in time for a third), and if both tries left something unjudged the
# notes of the last go to the test command's summary (ORV_NOT_JUDGED_FILE) as well as to
# the output.
heard() {
  local name="$1" try rc
  for try in 1 2; do
    "watch_$name"
    "$check" "$replays/$name.orvr" "$E2E_WORK/$name.raw" "$E2E_WORK/$name.raw.pace" >"$E2E_WORK/check.txt"
    rc=$?
    cat "$E2E_WORK/check.txt"
    [ "$rc" == "0" ] || e2e_fail "$name: the sound is not what the game played (try $try)"
    grep -q "^NOTE:" "$E2E_WORK/check.txt" || return 0
    echo "($name: watched again)"
  done
  if [ -n "${ORV_NOT_JUDGED_FILE:-}" ]; then
    grep "^NOTE:" "$E2E_WORK/check.txt" | sed 's/^NOTE: /e2e_replay_sound: /' >>"$ORV_NOT_JUDGED_FILE"
  fi
  return 0
}

# --- a game with one catch of each kind ---
watch_collect_each() {
  watch "$replays/collect_each.orvr" "$E2E_WORK/collect_each.raw"
  e2e_wait_exit 120
  [ "$E2E_RC" == "0" ] || e2e_fail "collect_each: result $E2E_RC"
  # Sound never changes the game: watched with sound, every frame is the recorded one.
  grep -q "collect_each.orvr: exact, 813 frames" "$E2E_WORK/stdout.txt" ||
    e2e_fail "collect_each with sound: $(cat "$E2E_WORK/stdout.txt")"
}
heard collect_each
# The kept game flies near one source for a while: its drone was judged.
grep -q "^drone: [1-9]" "$E2E_WORK/check.txt" || e2e_fail "collect_each: no stretch near one source to judge the drone by"

# --- a game that ends: the box waits (Return), then Escape ---
box_gone() { [ -z "$(e2e_box_window "Game Over")" ]; }
# pulled_seconds PACE: seconds of sound the device has taken so far.
pulled_seconds() { awk '$1 == "A" { n = $3 } END { printf "%d\n", n / 44100 }' "$1"; }
# pulled_past PACE FROM SECONDS: whether the device has taken SECONDS more than FROM.
pulled_past() { [ "$(pulled_seconds "$1")" -ge $(($2 + $3)) ]; }
watch_game_over() {
  watch "$replays/game_over.orvr" "$E2E_WORK/game_over.raw"
  e2e_wait_box "Game Over" 120 || e2e_fail "game_over: no Game Over box"
  # The end tone plays out, then silence while the box waits: the device's pulls (in the
  # pace file) reach four seconds past where they were when the box came.
  local at
  at="$(pulled_seconds "$E2E_WORK/game_over.raw.pace")"
  e2e_poll 60 pulled_past "$E2E_WORK/game_over.raw.pace" "$at" 4 ||
    e2e_fail "game_over: the sound stopped while the box waits"
  e2e_box_key "Game Over" Return
  e2e_poll 20 box_gone || e2e_fail "game_over: the box stays after Return"
  e2e_key Escape
  e2e_wait_exit 20
  [ "$E2E_RC" == "0" ] || e2e_fail "game_over: result $E2E_RC"
  grep -q "game_over.orvr: exact, " "$E2E_WORK/stdout.txt" ||
    e2e_fail "game_over with sound: $(cat "$E2E_WORK/stdout.txt")"
}
heard game_over

# --- no audio driver at all: played to the end in silence, one line, result 0 ---
watch "$replays/collect_each.orvr" "$E2E_WORK/none.raw" no-such-driver
e2e_wait_exit 120
[ "$E2E_RC" == "0" ] || e2e_fail "without a driver: result $E2E_RC"
lines="$(grep -c "no sound" "$E2E_WORK/stderr.txt")"
[ "$lines" == "1" ] || e2e_fail "without a driver: expected one line about it, got: $(cat "$E2E_WORK/stderr.txt")"
[ ! -e "$E2E_WORK/none.raw" ] || e2e_fail "without a driver: sound was written"

# --- a check makes no sound, and neither does n_Sound = 0 ---
rm -f "$E2E_WORK/check.raw"
(cd "$E2E_WORK" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_WORK/check.raw" \
   "$E2E_BIN" --replay "$replays/collect_each.orvr" --check >"$E2E_WORK/stdout.txt" 2>"$E2E_WORK/stderr.txt")
[ $? == 0 ] || e2e_fail "check: $(cat "$E2E_WORK/stdout.txt")"
[ ! -e "$E2E_WORK/check.raw" ] || e2e_fail "a check made sound"
[ "$(wc -l < "$E2E_WORK/stdout.txt")" == "1" ] || e2e_fail "a check printed more than its line: $(cat "$E2E_WORK/stdout.txt")"
! grep -q "sound" "$E2E_WORK/stderr.txt" || e2e_fail "a check spoke of sound: $(cat "$E2E_WORK/stderr.txt")"

printf 'n_Width = 640;\nn_Height = 480;\nn_Sound = 0;\n' > "$E2E_WORK/Settings.ini"
watch "$replays/collect_each.orvr" "$E2E_WORK/off.raw"
e2e_wait_exit 120
[ "$E2E_RC" == "0" ] || e2e_fail "n_Sound = 0: result $E2E_RC"
[ ! -e "$E2E_WORK/off.raw" ] || e2e_fail "n_Sound = 0 made sound"
! grep -q "sound" "$E2E_WORK/stderr.txt" || e2e_fail "n_Sound = 0: $(cat "$E2E_WORK/stderr.txt")"
echo "PASS"
