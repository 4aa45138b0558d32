#!/usr/bin/env bash
# The soak: builds orv_soak (tests/soak/) and runs the whole game for MINUTES of game time (default
# 30) at 1/60 s per frame on a real GL context, with scripted steering that collects now
# and then, checking every frame that the rules and the landscape ring stay consistent
# and that memory stays flat once the ring is full. Not part of the default test run: at
# about 60 to 100 frames a second on a software renderer, 30 minutes of game time take
# 20 to 30 minutes. Without a display it runs under Xvfb.
#
#   bash scripts/soak.sh [MINUTES]
#   ORV_BUILD=<folder>   build folder (default build/, RelWithDebInfo)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
minutes="${1:-30}"
build="${ORV_BUILD:-$root/build}"
if ! [[ "$minutes" =~ ^[0-9]+([.][0-9]+)?$ ]]; then
  echo "usage: $0 [MINUTES]" >&2
  exit 2
fi

bash "$root/scripts/setup.sh"
echo "== Building orv_soak in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_TESTS=ON >/dev/null
ninja -C "$build" -j"${ORV_JOBS:-2}" orv_soak

echo "== Soak: $minutes minutes of game time"
if [ -n "${DISPLAY:-}" ]; then
  "$build/tests/soak/orv_soak" "$minutes"
else
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/soak/orv_soak" "$minutes"
fi
