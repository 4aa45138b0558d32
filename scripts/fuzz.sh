#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs each one: first over the shipped data files and its committed seed corpus,
# then SECONDS of fuzzing (default 60; 0 only replays). A crashing input, once fixed, is
# best kept as a seed in fuzz/corpus/<harness>/ so that every later run replays it. Exits non-zero on any finding; the input that caused it is left in
# <build>/fuzz-findings/ and its report in <build>/fuzz-logs/<harness>.log.
#
#   bash scripts/fuzz.sh [SECONDS]
#   ORV_FUZZ_BUILD=<folder>   build folder (default build-fuzz)
#   ORV_FUZZ_ONLY="tga config" run only these harnesses
#   ORV_FUZZ_JOBS=N           ninja's parallel jobs (default 2)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${ORV_FUZZ_BUILD:-$root/build-fuzz}"
harnesses=(${ORV_FUZZ_ONLY:-config stroke_font tga bitmap_metrics model3ds replay})

if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

bash "$root/scripts/setup.sh"
echo "== Building the fuzz harnesses in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DORV_FUZZ=ON -DORV_TESTS=OFF -DORV_BENCH=OFF >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
ninja -C "$build" -j"${ORV_FUZZ_JOBS:-2}" "${targets[@]}"

findings="$build/fuzz-findings"
logs="$build/fuzz-logs"
mkdir -p "$findings" "$logs"

# The shipped files each harness reads as they are (the seeds hold only small ones; for
# the replay reader, the replays the tests keep) and the dictionary it mutates with.
data_files() {
  case "$1" in
    config) echo "$root/data/Settings.ini $root/data/font.txt" ;;
    stroke_font) echo "$root/data/font.txt" ;;
    tga) echo "$root/data/font_tech.tga $root/data/font_vimra.tga" ;;
    model3ds) echo "$root/data/crfighter.3ds" ;;
    replay) echo "$root"/tests/replays/*.orvr ;;
    *) echo "" ;;
  esac
}
dictionary() {
  case "$1" in
    config | stroke_font) echo "$root/fuzz/config.dict" ;;
    tga) echo "$root/fuzz/tga.dict" ;;
    model3ds) echo "$root/fuzz/model3ds.dict" ;;
    replay) echo "$root/fuzz/replay.dict" ;;
    *) echo "" ;;
  esac
}

failed=()
summary=()
for h in "${harnesses[@]}"; do
  bin="$build/fuzz/fuzz_$h"
  log="$logs/$h.log"
  work="$build/fuzz-corpus/$h"
  mkdir -p "$work"
  common=(-timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/$h-")
  dict="$(dictionary "$h")"
  [ -n "$dict" ] && common+=(-dict="$dict")
  : >"$log"

  echo "== $h: replaying the shipped files and seeds"
  status=0
  files=($(data_files "$h"))
  if [ ${#files[@]} -gt 0 ]; then
    "$bin" "${common[@]}" "${files[@]}" >>"$log" 2>&1 || status=$?
  fi
  dirs=("$work" "$root/fuzz/corpus/$h")
  if [ "$status" -eq 0 ]; then
    # New inputs go to the first folder only: the committed seeds stay as they are.
    "$bin" "${common[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      $([ "$seconds" -eq 0 ] && echo -runs=0) "${dirs[@]}" >>"$log" 2>&1 || status=$?
  fi

  done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)"
  execs="$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' | tail -1 || true)"
  cov="$(sed -nE 's/.*cov: ([0-9]+) ft: ([0-9]+).*/cov \1, ft \2/p' <<<"$done_line")"
  if [ "$status" -ne 0 ]; then
    failed+=("$h")
    summary+=("$h: FINDING (exit $status); see $log")
    echo "-- $h: FINDING; the last lines of its report:"
    tail -n 30 "$log"
  else
    summary+=("$h: ${execs:-?} executions, ${cov:-no coverage line}")
  fi
done

echo "== Fuzzing summary (${seconds}s each)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "FINDINGS in: ${failed[*]} (inputs in $findings)"
  exit 1
fi
echo "No findings"
