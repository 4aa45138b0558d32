#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game in data/ (its working directory).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
cd "$root/data"
exec "$root/build/orvendale"
