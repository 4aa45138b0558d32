#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game in data/ (its working directory).
# Run it as a user who may use sudo (the installer asks sudo for the packages), or as
# root. Started through sudo, it installs as root but builds and plays as the user who
# ran sudo: the build folder stays theirs, and the game runs with their rights, not root's.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"

player=()
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
  # runuser keeps the display's variables and gives the user their own HOME.
  player=(runuser -u "$SUDO_USER" --)
fi
"${player[@]}" bash "$root/scripts/build.sh"
cd "$root/data"
exec "${player[@]}" "$root/build/orvendale"
