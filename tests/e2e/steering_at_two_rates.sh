#!/usr/bin/env bash
# One flight at two very different frame rates: the game is played twice with --record,
# once at the rate this machine draws it and once held down to about 12 frames a second
# (a preloaded library sleeps after every present), and the pointer makes the same
# sixteen small moves, 7 pixels right and 3 up each (none a multiple of 5, so a steering
# that dropped the rest of the division would lose most of it, and lose it differently at
# each rate). Waits count recorded frames and game time, never the wall clock. In both
# recordings the world settles on a fifth of the whole movement the steering read, and the
# two flights agree. The held flight's frames are held whatever the machine: each lasts at
# least the brake's 80 ms of game time; the natural one's rate is whatever this machine
# draws, and only reported. Each flight runs in this shell, so the test's traps end it.
source "$(dirname "$0")/lib/common.bash"
e2e_init "$@"
e2e_xserver 640 480

cc -shared -fPIC -O1 -o "$E2E_WORK/slow_frames.so" -x c - <<'C' || e2e_fail "cannot build the frame brake"
#include <unistd.h>
#define _GNU_SOURCE
#include <dlfcn.h>
void SDL_GL_SwapWindow(void* window) {
    static void (*real)(void*);
    if (real == 0) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    usleep(80000);
}
C

# fly NAME [PRELOAD]: plays, moves, waits 3 s of game time; sets FLIGHT to
# "fps wx wy dx dy shortest" (shortest: the shortest frame's game time after the first ten).
FLIGHT=""
fly() {
  local file="$E2E_WORK/$1.orvr"
  rm -f "$E2E_WORK/Engine.log"
  (cd "$E2E_WORK" && LD_PRELOAD="${2:-}" exec setpriv --pdeathsig KILL "$E2E_BIN" --record "$file" \
    >"$E2E_WORK/stdout.txt" 2>"$E2E_WORK/stderr.txt") &
  E2E_GPID=$!
  e2e_wait_log "Rendering !" 60 || e2e_fail "$1: the game did not start"
  e2e_wait_frames "$file" 5 60 || e2e_fail "$1: no frames recorded"
  xdotool windowfocus "$(e2e_window)" >/dev/null 2>&1
  e2e_wait_frames "$file" 10 60 || e2e_fail "$1: the game stopped"
  local from i
  from="$(e2e_frame_count "$file")"
  for i in $(seq 1 16); do xdotool mousemove_relative -- 7 -3; done
  e2e_wait_settled "$file" "$from" 10 3 120 || e2e_fail "$1: 3 s of game time did not pass"
  e2e_key Escape
  e2e_wait_exit 30
  [ "$E2E_RC" == "0" ] || e2e_fail "$1: exit code $E2E_RC, expected 0"
  local n t x y shortest
  read -r n t _ x y _ < <(e2e_frames "$file" | tail -1)
  shortest="$(e2e_frames "$file" | awk 'NR > 10 { d = $2 - t; if (min == "" || d < min) min = d } { t = $2 }
    END { printf "%.4f", min }')"
  FLIGHT="$(awk -v n="$n" -v t="$t" 'BEGIN { printf "%.1f", n / t }') $x $y $("$E2E_FRAMES" "$file" --moved 320 240) $shortest"
}

fly natural
read -r fast_fps fast_x fast_y fast_dx fast_dy fast_shortest <<<"$FLIGHT"
fly held "$E2E_WORK/slow_frames.so"
read -r slow_fps slow_x slow_y slow_dx slow_dy slow_shortest <<<"$FLIGHT"
echo "natural: $fast_fps fps, moved ($fast_dx, $fast_dy) px, world ($fast_x, $fast_y)"
echo "held:    $slow_fps fps (no frame under $slow_shortest s), moved ($slow_dx, $slow_dy) px, world ($slow_x, $slow_y)"

# The brake held every frame of the held flight: several steering steps in each.
e2e_check "$slow_shortest >= 0.079" "the held flight's frames are held (the shortest took $slow_shortest s)"
for run in fast slow; do
  dx="${run}_dx"; dy="${run}_dy"; wx="${run}_x"; wy="${run}_y"
  e2e_check "${!dx} >= 100 && ${!dy} <= -40" "$run: the steering read the pointer's moves (${!dx}, ${!dy})"
  # The whole movement in fifths, truncated towards zero, and the world on it.
  want_x=$(awk -v d="${!dx}" 'BEGIN { print int(d / 5) }')
  want_y=$(awk -v d="${!dy}" 'BEGIN { print int(d / 5) }')
  e2e_check "${!wx} - $want_x < 0.05 && $want_x - ${!wx} < 0.05 && ${!wy} - $want_y < 0.05 && $want_y - ${!wy} < 0.05" \
    "$run: the world settles on a fifth of the movement: ($want_x, $want_y), not (${!wx}, ${!wy})"
done
e2e_check "$fast_x - $slow_x < 0.5 && $slow_x - $fast_x < 0.5 && $fast_y - $slow_y < 0.5 && $slow_y - $fast_y < 0.5" \
  "the two flights agree: ($fast_x, $fast_y) and ($slow_x, $slow_y)"
echo "PASS"
