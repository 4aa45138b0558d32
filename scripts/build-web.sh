#!/usr/bin/env bash
# Builds the browser version: a folder of static files (index.html, orvendale.js and .wasm,
# the data package, and the kept replays the page can check) that any static web server
# serves. Uses Debian's own emscripten, offline: nothing is downloaded while building.
#   scripts/build-web.sh [BUILD_DIR]     (default build-web; the page is BUILD_DIR/site)
# Then: python3 -m http.server -d build-web/site 8000, and open http://127.0.0.1:8000/
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build-web}"
source "$ROOT/scripts/lib/packages.sh"
install_missing emscripten cmake ninja-build gzip
# Debian's emscripten finds its JavaScript tools (acorn, terser) among Debian's node modules.
export NODE_PATH=/usr/share/nodejs
# The toolchain builds its own libraries into its cache on first use; where the package's
# cache folder is not ours to write, it works in a copy of it.
if [ -z "${EM_CACHE:-}" ] && [ ! -w /usr/share/emscripten/cache ]; then
  export EM_CACHE="$HOME/.cache/orvendale-emscripten"
  [ -d "$EM_CACHE" ] || { mkdir -p "$EM_CACHE"; cp -a /usr/share/emscripten/cache/. "$EM_CACHE/"; }
fi
# No ports: nothing may be fetched at build time.
export EMCC_SKIP_SANITY_CHECK=1

emcmake cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DORV_TESTS=OFF -DORV_BENCH=OFF >/dev/null
ninja -C "$BUILD" orvendale
SITE="$BUILD/site"
mkdir -p "$SITE/replays"
cp "$ROOT"/tests/replays/*.orvr "$SITE/replays/"

# The download a player waits for, raw and as a server would send it gzipped.
echo "Page: $SITE"
total=0
total_gz=0
for f in index.html page.js page.css orvendale.js orvendale.wasm orvendale.data; do
  raw=$(stat -c %s "$SITE/$f")
  gz=$(gzip -9 -n -c "$SITE/$f" | wc -c)
  total=$((total + raw))
  total_gz=$((total_gz + gz))
  printf '  %-16s %9d bytes  %8d gzipped\n' "$f" "$raw" "$gz"
done
printf '  %-16s %9d bytes  %8d gzipped\n' "in all" "$total" "$total_gz"
