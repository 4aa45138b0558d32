#!/usr/bin/env bash
# Whoever builds only the game needs neither GoogleTest nor Google Benchmark: configuring
# with -DORV_TESTS=OFF -DORV_BENCH=OFF succeeds while CMake is kept from finding either.
#
# Usage: configure_without_tests.sh SOURCE_DIR
set -uo pipefail
src="$(cd "${1:?usage: configure_without_tests.sh SOURCE_DIR}" && pwd)"
work="$(mktemp -d /tmp/orvendale-no-tests.XXXXXX)"
trap 'rm -rf "$work"' EXIT
if ! cmake -S "$src" -B "$work" -G Ninja -DORV_TESTS=OFF -DORV_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  >"$work/configure.log" 2>&1; then
  cat "$work/configure.log" >&2
  echo "FAIL: configuring without tests and benchmarks needs one of their libraries" >&2
  exit 1
fi
echo "PASS"
