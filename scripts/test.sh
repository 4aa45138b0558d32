#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests, the end-to-end
# tests of the real game under an X server, the unit tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer, a minute of fuzzing for each file reader, and the
# Windows build under Wine. Without a display the tests run under a private Xvfb. Exits
# non-zero when anything fails.
#
#   bash scripts/test.sh [--quick]    --quick: only the build, the unit and end-to-end tests
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
quick=0
case "${1:-}" in
  "") ;;
  --quick) quick=1 ;;
  *) echo "usage: bash scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
# Started from a service or a bare `env -i`, there may be no HOME; Wine and ImageMagick
# want one.
if [ -z "${HOME:-}" ]; then
  HOME="$(getent passwd "$(id -u)" | cut -d: -f6)"
  export HOME="${HOME:-/tmp}"
fi
bash "$root/scripts/setup.sh"
source "$root/scripts/lib/xserver.sh"

failed=0
run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    start_xvfb 1024 768 || { echo "could not start Xvfb"; return 1; }
    local rc=0
    "$@" || rc=$?
    stop_xvfb
    export DISPLAY=""
    return "$rc"
  fi
}

echo "== Build"
bash "$root/scripts/build.sh"

echo "== Unit and end-to-end tests"
run_with_display ctest --test-dir "$root/build" --output-on-failure -j2 || failed=1

if [ "$quick" -eq 1 ]; then
  [ "$failed" -eq 0 ] && echo "Quick tests passed" && exit 0
  echo "SOME TESTS FAILED"
  exit 1
fi

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DORV_SANITIZE=ON -DORV_BENCH=OFF >/dev/null
ninja -C "$root/build-sanitize"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
  run_with_display ctest --test-dir "$root/build-sanitize" --output-on-failure -j2 || failed=1

echo "== Fuzzing: each harness over its corpus, then 60 s of new inputs"
bash "$root/scripts/fuzz.sh" 60 || failed=1

echo "== Windows build under Wine"
bash "$root/scripts/test-windows.sh" || failed=1

if [ "$failed" -ne 0 ]; then
  echo "SOME TESTS FAILED"
  exit 1
fi
echo "All tests passed"
