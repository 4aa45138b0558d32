#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit tests, the end-to-end
# tests of the real game under an X server, the unit tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer, a minute of fuzzing for each file reader, and the
# Windows build under Wine. Without a display the tests run under a private Xvfb. Exits
# non-zero when anything fails. A test that could not judge something (the sound check on
# a machine too busy to keep a replay's pace) writes a line to ORV_NOT_JUDGED_FILE; the
# summary counts those lines beside passed and failed and shows them.
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
not_judged="$(mktemp /tmp/orvendale-not-judged.XXXXXX)"
export ORV_NOT_JUDGED_FILE="$not_judged"

# Whatever way this script ends (an error, Ctrl-C, SIGTERM, even SIGKILL), what it started
# ends with it. Each step runs in a process group of its own, which the clean-up ends
# (SIGTERM, then SIGKILL ten seconds later), and with a parent-death signal for when this
# script is killed outright; so does its Xvfb, and the end-to-end tests pass that on to
# their games and servers. A signal ends the script at once, not after the step it
# interrupts.
STEP_PID=""
finish() {
  local i
  # The step's own program (ctest) is stopped first so that it starts no further test
  # while the running ones clean up.
  [ -n "$STEP_PID" ] && kill -STOP "$STEP_PID" 2>/dev/null
  if [ -n "$STEP_PID" ] && kill -TERM -- "-$STEP_PID" 2>/dev/null; then
    # Time for the end-to-end tests to end their games and servers and remove their folders.
    for i in $(seq 1 100); do
      ps -eo pid=,pgid=,stat= | awk -v g="$STEP_PID" '$2 == g && $1 != g && $3 !~ /^Z/ { n++ }
        END { exit n > 0 ? 0 : 1 }' || break
      sleep 0.1
    done
    kill -KILL -- "-$STEP_PID" 2>/dev/null
  fi
  stop_xvfb
  rm -f "$not_judged"
}
# A second signal while the clean-up runs returns at once instead of cutting it short.
signalled=""
on_signal() {
  [ -n "$signalled" ] && return 0
  signalled=1
  trap '' INT TERM HUP
  exit "$1"
}
trap finish EXIT
trap 'on_signal 130' INT
trap 'on_signal 143' TERM
trap 'on_signal 129' HUP

# step COMMAND...: runs a step in its own process group, in the background, and waits
# for it, so that a signal is acted on at once.
step() {
  setsid setpriv --pdeathsig TERM "$@" &
  STEP_PID=$!
  local rc=0
  wait "$STEP_PID" || rc=$?
  STEP_PID=""
  return "$rc"
}

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

# no_skips REPORT_DIR: a display and every tool are there when this script runs the
# tests, so a test that skipped (no display, no GL window, no fonts, no ImageMagick)
# hides a fault: each one is named and counts as a failure.
no_skips() {
  python3 - "$1" <<'PY'
import json, os, sys
skipped = []
for name in sorted(os.listdir(sys.argv[1])):
    with open(os.path.join(sys.argv[1], name)) as f:
        report = json.load(f)
    for suite in report.get("testsuites", []):
        for case in suite.get("testsuite", []):
            if case.get("result") == "SKIPPED":
                skipped.append(f"{name[:-5]}: {suite['name']}.{case['name']}")
for s in skipped:
    print(f"SKIPPED (a failure here): {s}")
sys.exit(1 if skipped else 0)
PY
}

# unit_and_e2e BUILD_DIR: the unit tests two at a time, then the end-to-end tests on their
# own (they play the real game and share the machine with nothing else of ours).
unit_and_e2e() {
  local rc=0 start reports="$1/test-reports"
  rm -rf "$reports" && mkdir -p "$reports"
  GTEST_OUTPUT="json:$reports/" step ctest --test-dir "$1" --output-on-failure -j2 -LE e2e || rc=1
  no_skips "$reports" || rc=1
  if [ -n "$(ctest --test-dir "$1" -N -L e2e | grep -E '^ *Test +#')" ]; then
    start=$(date +%s)
    step ctest --test-dir "$1" --output-on-failure -L e2e || rc=1
    echo "End-to-end tests took $(($(date +%s) - start)) s"
  fi
  return "$rc"
}

# summary WORDS: the last line, with how many things the tests could not judge (listed).
summary() {
  local n
  n="$(wc -l <"$not_judged")"
  if [ "$n" -gt 0 ]; then
    echo "Not judged:"
    sed 's/^/  /' "$not_judged"
  fi
  echo "$1; $n not judged"
}

echo "== Build"
step bash "$root/scripts/build.sh"

echo "== Unit and end-to-end tests"
run_with_display unit_and_e2e "$root/build" || failed=1

if [ "$quick" -eq 1 ]; then
  [ "$failed" -eq 0 ] && summary "Quick tests passed" && exit 0
  summary "SOME TESTS FAILED"
  exit 1
fi

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DORV_SANITIZE=ON -DORV_BENCH=OFF >/dev/null
step ninja -C "$root/build-sanitize"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
  run_with_display unit_and_e2e "$root/build-sanitize" || failed=1

echo "== Fuzzing: each harness over its corpus, then 60 s of new inputs"
step bash "$root/scripts/fuzz.sh" 60 || failed=1

echo "== Windows build under Wine"
step bash "$root/scripts/test-windows.sh" || failed=1

echo "== The browser build in headless chromium"
step bash "$root/scripts/test-web.sh" "$root/build" || failed=1

if [ "$failed" -ne 0 ]; then
  summary "SOME TESTS FAILED"
  exit 1
fi
summary "All tests passed"
