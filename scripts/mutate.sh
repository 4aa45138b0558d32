#!/usr/bin/env bash
# Finds gaps in the unit tests: applies one-line changes to the game's sources, one at a
# time, rebuilds, runs the unit tests and reports which changes no test caught. A tool for
# finding what to test next, not a score or a gate; not part of any default run.
#
#   bash scripts/mutate.sh LIST [CTEST-REGEX]      (scripts/mutations.txt is such a list)
#
# LIST holds one change per line: a source file (relative to the repository), a tab, and
# a sed expression that changes exactly one line of it, e.g.
#   landscape/contour_landscape.cpp<TAB>s/^    glEnable(GL_BLEND);$/    \/\/ dropped/
# Blank lines and lines starting with # are skipped. CTEST-REGEX picks the ctest entries
# to run (default: every unit test, ^test_). The build folder is ORV_BUILD (default
# build/); without a display the tests run under Xvfb. A change that makes a test wait
# (an unanswered message box) counts as caught after ORV_MUTATE_TIMEOUT seconds (120).
# Each file is put back byte for byte after its change, also when the script is
# interrupted.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
list="${1:?usage: $0 LIST [CTEST-REGEX]}"
regex="${2:-^test_}"
build="${ORV_BUILD:-$root/build}"
run=()
[ -z "${DISPLAY:-}" ] && run=(xvfb-run -a -s "-screen 0 1024x768x24")

cmake -S "$root" -B "$build" -G Ninja >/dev/null || exit 2
saved=""
file=""
restore() { if [ -n "$saved" ]; then cp "$saved" "$root/$file"; rm -f "$saved"; saved=""; fi; }
trap 'restore; exit 130' INT TERM
trap restore EXIT

targets=$(cd "$build" && ctest -N -R "$regex" | sed -n 's/^ *Test *#[0-9]*: \(test_[a-z_]*\)$/\1/p')
if [ -z "$targets" ]; then echo "no unit tests match $regex" >&2; exit 2; fi
caught=0
missed=()
broken=()
while IFS=$'\t' read -r file expr || [ -n "$file" ]; do
  [ -z "$file" ] && continue
  [[ "$file" == \#* ]] && continue
  if [ ! -f "$root/$file" ]; then broken+=("$file: no such file"); continue; fi
  saved="$(mktemp)"
  cp "$root/$file" "$saved"
  sed -i -e "$expr" "$root/$file"
  changed=$(diff "$saved" "$root/$file" | grep -c '^[<>]')
  if [ "$changed" -eq 0 ]; then
    broken+=("$file: '$expr' changed nothing")
    restore
    continue
  fi
  echo "== $file: $expr"
  # shellcheck disable=SC2086
  if ! nice ninja -C "$build" -j"${ORV_JOBS:-2}" $targets >/dev/null 2>&1; then
    echo "   does not build: counts as caught"
    caught=$((caught + 1))
  elif (cd "$build" && "${run[@]}" ctest -R "$regex" --timeout "${ORV_MUTATE_TIMEOUT:-120}" >/dev/null 2>&1); then
    echo "   MISSED: every test passed"
    missed+=("$file: $expr")
  else
    echo "   caught"
    caught=$((caught + 1))
  fi
  restore
done <"$list"
# The sources are as they were: rebuild so the build folder matches them again.
# shellcheck disable=SC2086
nice ninja -C "$build" -j"${ORV_JOBS:-2}" $targets >/dev/null 2>&1

echo
echo "caught $caught, missed ${#missed[@]}"
for m in "${missed[@]}"; do echo "  missed: $m"; done
for b in "${broken[@]}"; do echo "  not applied: $b"; done
