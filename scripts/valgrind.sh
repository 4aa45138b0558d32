#!/usr/bin/env bash
# Plays the real game under valgrind memcheck on a private Xvfb at 640 x 480: start-up,
# FRAMES frames (default 300: collectibles spawn after 2.3 s of game time and fly past;
# the three collectible icons are drawn every frame), Escape, shutdown. Fails on any
# invalid access or use of uninitialised memory, and on any definitely-lost block, from
# our code.
#
# Under valgrind a frame takes about a second. On the wall clock the game would then see
# one long frame after the first and run out of energy at once, so a small preload
# library (built here) makes the performance counter advance 1/60 s per presented frame,
# as on a machine running at 60 frames per second; it also counts the frames. Nothing of
# the game is changed.
#
# What belongs to Mesa, LLVM, SDL, X11 and dbus is suppressed by scripts/valgrind.supp;
# every suppression there names a system library, none names our code.
#
#   bash scripts/valgrind.sh [FRAMES]
#   ORV_BUILD=<folder>      build folder (default build/, RelWithDebInfo)
#   ORV_GALLIUM=<driver>    Mesa's software driver: llvmpipe (default) or softpipe
# The report is left in <build>/valgrind/memcheck.log.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
frames="${1:-300}"
build="${ORV_BUILD:-$root/build}"
if ! [[ "$frames" =~ ^[0-9]+$ ]] || [ "$frames" -lt 1 ]; then
  echo "usage: $0 [FRAMES]" >&2
  exit 2
fi
# The game's own packages come from setup.sh; valgrind is needed only here.
bash "$root/scripts/setup.sh"
source "$root/scripts/lib/packages.sh"
source "$root/scripts/lib/xserver.sh"
install_missing valgrind

echo "== Building orvendale in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j"${ORV_JOBS:-2}" orvendale

out="$build/valgrind"
rm -rf "$out"
mkdir -p "$out"

# The frame clock (scripts/valgrind_frame_clock.c), preloaded into the game.
cc -shared -fPIC -O2 -o "$out/frame_clock.so" "$root/scripts/valgrind_frame_clock.c" -ldl
work="$(mktemp -d /tmp/orvendale-valgrind.XXXXXX)"
cp -r "$root/data/." "$work/"
rm -f "$work/Engine.log"
printf 'n_Width = 640;\nn_Height = 480;\n' >"$work/Settings.ini"

xpid=""
gpid=""
cleanup() {
  [ -n "$gpid" ] && kill "$gpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
  return 0
}
trap cleanup EXIT

# A private X server of exactly the game's size (no window manager: the keyboard follows
# the pointer).
export DISPLAY=""
start_xvfb 640 480 || { echo "could not start Xvfb" >&2; exit 1; }
xpid="$XVFB_PID"

echo "== Running the game under memcheck on $DISPLAY"
start=$(date +%s)
(
  cd "$work"
  export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER="${ORV_GALLIUM:-llvmpipe}" LP_NUM_THREADS=0
  export LD_PRELOAD="$out/frame_clock.so" ORV_FRAME_FILE="$out/frames"
  exec valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --num-callers=40 --error-exitcode=99 \
    --suppressions="$root/scripts/valgrind.supp" --gen-suppressions=all \
    --log-file="$out/memcheck.log" "$build/orvendale"
) >"$out/stdout.txt" 2>"$out/stderr.txt" &
gpid=$!

rendering=0
for _ in $(seq 1 6000); do
  if [ -f "$work/Engine.log" ] && grep -qxF "Rendering !" "$work/Engine.log"; then
    rendering=1
    break
  fi
  kill -0 "$gpid" 2>/dev/null || break
  sleep 0.1
done
if [ "$rendering" -ne 1 ]; then
  echo "the game did not reach 'Rendering !'" >&2
  cat "$work/Engine.log" 2>/dev/null >&2 || true
  tail -n 40 "$out/memcheck.log" >&2 || true
  exit 1
fi
startup=$(($(date +%s) - start))
echo "-- 'Rendering !' after ${startup}s; playing $frames frames"
presented=0
for _ in $(seq 1 36000); do
  presented="$(cat "$out/frames" 2>/dev/null || echo 0)"
  [ "${presented:-0}" -ge "$frames" ] && break
  kill -0 "$gpid" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$gpid" 2>/dev/null; then
  echo "the game ended by itself after $presented frames" >&2
  tail -n 40 "$out/memcheck.log" >&2 || true
  exit 1
fi

xdotool mousemove 20 20 >/dev/null 2>&1 || true
sleep 0.5
xdotool key Escape
rc="timeout"
for _ in $(seq 1 3000); do
  if ! kill -0 "$gpid" 2>/dev/null; then
    set +e
    wait "$gpid"
    rc=$?
    set -e
    gpid=""
    break
  fi
  sleep 0.1
done
total=$(($(date +%s) - start))

presented="$(cat "$out/frames" 2>/dev/null || echo 0)"
errors="$(sed -nE 's/.*ERROR SUMMARY: ([0-9]+) errors.*/\1/p' "$out/memcheck.log" | tail -1)"
lost="$(sed -nE 's/.*definitely lost: ([0-9,]+) bytes.*/\1/p' "$out/memcheck.log" | tail -1)"
suppressed="$(sed -nE 's/.*ERROR SUMMARY: .*suppressed: ([0-9,]+) from.*/\1/p' "$out/memcheck.log" | tail -1)"
echo "== memcheck: ${errors:-?} errors (${suppressed:-?} suppressed in system libraries)," \
  "definitely lost ${lost:-0} bytes unsuppressed; $presented frames; exit $rc;" \
  "${total}s in all (start-up ${startup}s)"

if [ "$rc" != "0" ] || [ "${errors:-1}" != "0" ]; then
  echo "VALGRIND FAILED; report in $out/memcheck.log" >&2
  grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ bytes in)' \
    "$out/memcheck.log" | head -n 20 >&2 || true
  exit 1
fi
echo "Valgrind clean"
