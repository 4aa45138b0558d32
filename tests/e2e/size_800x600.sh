#!/usr/bin/env bash
# The game at 800 x 600: picture layout, resting world and steering (lib/sizes.bash).
source "$(dirname "$0")/lib/sizes.bash"
e2e_init "$@"
e2e_play_at_size 800 600
