#!/usr/bin/env bash
# Installs the Debian packages the game, its tests and its tools need, if any is missing.
# Run as root (or with sudo) on Debian 12.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  googletest libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick
  libfreetype-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
