#!/usr/bin/env bash
# The Debian package is reproducible: the same commit, cloned into another folder and
# built there afresh at another time, packs the same bytes as the package given. The
# second build is configured without tests and benchmarks, and with GoogleTest and Google
# Benchmark hidden from CMake, so it also shows that a build of the game alone needs
# neither. (A compiler cache that rewrites paths, such as ccache with a base_dir, puts
# other paths into the first build's debug information and so into its build id: make
# the first package without it, as the fresh root does.)
#
# Usage: reproducible_deb.sh REPOSITORY FIRST_DEB
#   FIRST_DEB was made by scripts/package.sh from REPOSITORY's HEAD.
# Prints the two checksums; exits 1 when they differ (with what differs), 2 on misuse.
set -uo pipefail

repo="$(cd "${1:?usage: reproducible_deb.sh REPOSITORY FIRST_DEB}" && pwd)"
first="$(readlink -f "${2:?usage: reproducible_deb.sh REPOSITORY FIRST_DEB}")"
[ -f "$first" ] || { echo "no $first" >&2; exit 2; }
work="$(mktemp -d /tmp/orvendale-again.XXXXXX)"
trap 'rm -rf "$work"' EXIT
# Another name and another depth than the first build's folder.
clone="$work/some/other/place"

git clone --quiet --no-hardlinks "$repo" "$clone" || { echo "cannot clone $repo"; exit 1; }
# Another time of day, so a clock that leaks into the package shows.
sleep 2
cmake -S "$clone" -B "$clone/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORV_TESTS=OFF -DORV_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; echo "FAIL: configuring without tests and benchmarks"; exit 1; }
second="$(env -u SOURCE_DATE_EPOCH bash "$clone/scripts/package.sh" 2>"$work/package.log")" ||
  { tail -20 "$work/package.log"; echo "FAIL: the second package was not made"; exit 1; }

sum_first="$(sha256sum <"$first" | cut -d' ' -f1)"
sum_second="$(sha256sum <"$second" | cut -d' ' -f1)"
echo "first build:  $sum_first"
echo "second build: $sum_second"
if [ "$sum_first" != "$sum_second" ]; then
  # What differs, file by file, for whoever mends it.
  for n in 1 2; do
    deb="$first"
    [ "$n" == 2 ] && deb="$second"
    mkdir -p "$work/x$n"
    dpkg-deb -R "$deb" "$work/x$n"
    (cd "$work/x$n" && find . -type f -exec sha256sum {} + | LC_ALL=C sort -k2) >"$work/sums$n"
    dpkg-deb -c "$deb" >"$work/list$n"
  done
  diff "$work/sums1" "$work/sums2"
  diff "$work/list1" "$work/list2" | head -10
  echo "FAIL: the two builds of the package differ"
  exit 1
fi
echo "ok    the two builds of the package are byte for byte the same"
