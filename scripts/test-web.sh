#!/usr/bin/env bash
# The browser build, tested: builds the page (scripts/build-web.sh), then drives Debian's
# chromium through it with playwright-core (tests/web/browser_test.mjs). The page must
# print, for every kept replay, the line the desktop program prints checking it, and its
# picture of a replay's frame must show what the desktop's shows; so this needs the
# desktop build too (scripts/build.sh, build/ by default).
#   scripts/test-web.sh [DESKTOP_BUILD_DIR]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
DESKTOP="${1:-$ROOT/build}"
source "$ROOT/scripts/lib/packages.sh"
source "$ROOT/scripts/lib/xserver.sh"
# Debian's chromium and node; npm only where no node brings its own.
install_missing chromium nodejs imagemagick xvfb
command -v npm >/dev/null || install_missing npm

bash "$ROOT/scripts/build-web.sh"
SITE="$ROOT/build-web/site"

echo "== The test's browser driver (npm: playwright-core, pointed at Debian's chromium)"
(cd "$ROOT/tests/web" && npm ci --no-audit --no-fund --loglevel=error)

work="$(mktemp -d /tmp/orvendale-web.XXXXXX)"
trap 'stop_xvfb || true; rm -rf "$work"' EXIT
echo "== What the desktop program says and shows of the kept replays"
[ -x "$DESKTOP/orvendale" ] && [ -x "$DESKTOP/tests/replay_bot" ] ||
  { echo "no desktop build in $DESKTOP (scripts/build.sh makes it)"; exit 1; }
mkdir -p "$work/play/replays" "$work/expect" "$work/shots"
cp "$ROOT"/data/* "$work/play/"
cp "$ROOT"/tests/replays/*.orvr "$work/play/replays/"
start_xvfb 1024 768
for f in "$work"/play/replays/*.orvr; do
  name="$(basename "$f")"
  (cd "$work/play" && "$DESKTOP/orvendale" --replay "replays/$name" --check) \
    >"$work/expect/$name.txt" 2>"$work/expect/$name.err" || true
  echo "  desktop: $(cat "$work/expect/$name.txt")"
done
(cd "$work/play" && "$DESKTOP/tests/replay_bot" replay replays/focus_lost.orvr "$work/shots") \
  >"$work/bot.txt" 2>&1 || { echo "replay_bot failed:"; cat "$work/bot.txt"; exit 1; }
stop_xvfb || true
convert "$work/shots/shot_150.ppm" "$work/desktop_150.png"

echo "== The page in headless chromium"
# Headless: no X display (the one above is gone, and chromium would look for its GL there).
env -u DISPLAY node "$ROOT/tests/web/browser_test.mjs" "$SITE" --expect "$work/expect" \
  --desktop-shot "$work/desktop_150.png" --shot-frame 150 --side-by-side "$work/web_150.png"
# The two pictures side by side, for whoever looks at the run.
convert "$work/desktop_150.png" "$work/web_150.png" +append "$ROOT/build-web/desktop-and-page.png" || true
echo "The desktop's frame 150 of focus_lost.orvr beside the page's: build-web/desktop-and-page.png"
