#!/usr/bin/env bash
# The real game's sound, heard through SDL's disk writer while kept replays are watched:
# sound_check finds the countdown, each catch's chime and the end tone where the replay's
# frames put them. Without any audio driver the game plays the replay silently to its end
# with result 0 and says so in one line; a check and n_Sound = 0 make no sound at all.
#   replay_sound.sh ORVENDALE DATA_DIR SOUND_CHECK
source "$(dirname "$0")/../e2e/lib/common.bash"
check="$(readlink -f "$3")"
e2e_init "$@"
replays="$(cd "$(dirname "$0")/../replays" && pwd)"
e2e_xserver 640 480

# watch REPLAY RAW [DRIVER]: watches a replay to its end with sound into RAW.
watch() {
  rm -f "$E2E_WORK/Engine.log" "$2"
  (cd "$E2E_WORK" && SDL_AUDIODRIVER="${3:-disk}" SDL_DISKAUDIOFILE="$2" \
     exec setpriv --pdeathsig KILL "$E2E_BIN" --replay "$1" >"$E2E_WORK/stdout.txt" 2>"$E2E_WORK/stderr.txt") &
  E2E_GPID=$!
}

# A frame held up by a busy machine (another program's turn on the cores) moves a sound
# by as much, so a timing that misses is watched again, up to three times in all. When
# every try found the machine too busy to keep the replay's pace (sound_check's 3), the
# sounds and their order are still judged, their timings cannot be, and the test says so.
# Each kept replay is watched up to three times. A try whose sounds are all there and
# in order but late is judged by whether the replay kept its pace: late at that pace
# counts against the game; late because the machine was too busy to keep the pace says
# nothing, and if no try passed but one of them was such a try, the test says so instead
# of judging the timings.
heard() {
  local name="$1" try rc busy=0 wrong=0
  for try in 1 2 3; do
    "watch_$name"
    "$check" "$replays/$name.orvr" "$E2E_WORK/$name.raw"
    rc=$?
    [ "$rc" == "0" ] && return 0
    [ "$rc" == "1" ] && wrong=$((wrong + 1))
    [ "$rc" == "3" ] && busy=$((busy + 1))
    echo "($name: watched again)"
  done
  [ "$wrong" == "3" ] && e2e_fail "$name: the sound is not what the game played"
  if [ "$busy" -gt 0 ]; then
    echo "NOTE: $name: the machine was too busy on $busy of three tries to judge the timings"
    return 0
  fi
  e2e_fail "$name: the sound is not where the game is"
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

# --- a game that ends: the box waits (Return), then Escape ---
watch_game_over() {
  watch "$replays/game_over.orvr" "$E2E_WORK/game_over.raw"
  e2e_wait_box "Game Over" 120 || e2e_fail "game_over: no Game Over box"
  sleep 3  # the end tone plays out, then silence while the box waits
  e2e_box_key "Game Over" Return
  sleep 0.5
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
