#!/usr/bin/env bash
# The game at 1280 x 720, a screen that is not 4:3: picture layout, resting world and
# steering (lib/sizes.bash).
source "$(dirname "$0")/lib/sizes.bash"
e2e_init "$@"
e2e_play_at_size 1280 720
