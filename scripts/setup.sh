#!/usr/bin/env bash
# Installs the Debian packages the game, its tests and its tools need, if any is missing.
# Run as root (or with sudo) on Debian 12.
set -euo pipefail
source "$(dirname "$0")/lib/packages.sh"
install_missing \
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev \
  libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri \
  googletest libgtest-dev libbenchmark-dev \
  xvfb xauth xdotool x11-utils imagemagick \
  libfreetype-dev libpng-dev \
  desktop-file-utils appstream man-db
