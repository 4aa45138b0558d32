#!/usr/bin/env bash
# Installs the Debian packages the game, its tests and its tools need, if any is missing.
# Run as root (or with sudo) on Debian 12. Packages come without their recommendations,
# so whatever the game or a test needs at run time is named here: xfonts-base, for one,
# holds the X server's core fonts that the message boxes are drawn with.
set -euo pipefail
source "$(dirname "$0")/lib/packages.sh"
install_missing \
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev \
  libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri \
  googletest libgtest-dev libbenchmark-dev \
  xvfb xauth xfonts-base xdotool x11-utils imagemagick \
  libfreetype-dev libpng-dev \
  desktop-file-utils appstream man-db python3 python3-debian
