#!/bin/bash
# Builds the trial into OUT (default /tmp/orv_gl_trial): trial.html + trial.js/.wasm for
# the browser, trial_native for the desktop. Serve OUT with `python3 -m http.server`.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../../.." && pwd)
out=${1:-/tmp/orv_gl_trial}
mkdir -p "$out"
export NODE_PATH=/usr/share/nodejs
gl="$root/platform/web/gl"
emcc -std=c++17 -O2 -Wall -Wextra -ffp-contract=off -I "$root" \
    "$gl"/gl_math.cpp "$gl"/gl_batch.cpp "$gl"/gl_context.cpp "$gl"/gl_context_matrices.cpp \
    "$gl"/gl_context_immediate.cpp "$gl"/webgl/*.cpp \
    "$here"/trial_scene.cpp "$here"/trial_web.cpp \
    -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1 -sALLOW_MEMORY_GROWTH=1 \
    -sEXPORTED_RUNTIME_METHODS=[] -o "$out/trial.js"
cp "$here/trial.html" "$out/trial.html"
g++ -std=c++17 -O2 -Wall -Wextra -ffp-contract=off -I "$root" $(pkg-config --cflags sdl2) \
    "$here"/trial_scene.cpp "$here"/trial_native.cpp -o "$out/trial_native" \
    $(pkg-config --libs sdl2) -lGLU -lGL
