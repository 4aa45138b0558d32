#!/usr/bin/env bash
# Makes the release packages from builds that are already configured: the Debian package
# from build/ (CPack's DEB generator, which finds the libraries with file and
# dpkg-shlibdeps), and with --windows also the Windows zip from build-windows/ (the
# "windows" preset). Builds what the packages hold first. Prints their paths, and only
# them, on standard output. Every time stamp in the packages is the last commit's
# (SOURCE_DATE_EPOCH, unless already set), so the same commit packs the same bytes.
#
# Usage: package.sh [--windows] [--only-windows]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux=1
windows=0
for arg in "$@"; do
  case "$arg" in
    --windows) windows=1 ;;
    --only-windows) windows=1 linux=0 ;;
    *) echo "usage: package.sh [--windows] [--only-windows]" >&2; exit 2 ;;
  esac
done

source "$root/scripts/lib/packages.sh"
# dpkg-shlibdeps and file for CPack's DEB generator; git for the commit's time.
install_missing dpkg-dev file git >&2
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null)" || {
    echo "package.sh: not a git checkout; set SOURCE_DATE_EPOCH to the release's time" >&2
    exit 1
  }
fi
export SOURCE_DATE_EPOCH

# package BUILD_DIR GENERATOR: builds the installed targets and runs CPack there.
package() {
  local build="$1" generator="$2"
  [ -f "$build/CPackConfig.cmake" ] || {
    echo "package.sh: $build is not configured (see the README)" >&2
    exit 1
  }
  ninja -C "$build" orvendale >&2
  (cd "$build" && cpack -G "$generator" >&2)
  ls -t "$build"/orvendale[-_]*."$(echo "$generator" | tr '[:upper:]' '[:lower:]')" | head -1
}

if [ "$linux" -eq 1 ]; then
  package "$root/build" DEB
fi
if [ "$windows" -eq 1 ]; then
  package "$root/build-windows" ZIP
fi
