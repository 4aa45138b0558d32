#!/usr/bin/env bash
# Runs deb_package_test.sh on a throw-away minimal Debian 12 root, for a developer's own
# check of the package (CI runs the test in its own fresh root). Makes the root with
# mmdebstrap, binds /proc, /sys, /dev and /dev/pts into it, copies the package and the
# test in, runs the test under chroot, and always unmounts and removes the root again.
#
# Usage (as root): in_fresh_root.sh ORVENDALE_DEB [ROOT_FOLDER]
#   ROOT_FOLDER must not exist yet (default: a new folder under /tmp).
#   ORV_ROOT_TEMPLATE=FOLDER copies an untouched root made earlier instead of making one.
set -uo pipefail

deb="$(readlink -f "${1:?usage: in_fresh_root.sh ORVENDALE_DEB [ROOT_FOLDER]}")"
here="$(cd "$(dirname "$0")" && pwd)"
root="${2:-$(mktemp -u /tmp/orvendale-root.XXXXXX)}"
[ -f "$deb" ] || { echo "no $deb" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "in_fresh_root.sh must run as root" >&2; exit 2; }
[ -e "$root" ] && { echo "$root exists already; give a new folder" >&2; exit 2; }
root="$(readlink -m "$root")"  # absolute, as /proc/PID/root names it
command -v mmdebstrap >/dev/null || {
  source "$here/../../scripts/lib/packages.sh"
  install_missing mmdebstrap || exit 1
}

mounted=()
# The processes whose root is this root (an X server or a game a failed step left).
in_root_pids() {
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && echo "$pid"
  done
  return 0
}
cleanup() {
  local i pids attempt
  # Ended first, again and again (one may start another), so that nothing holds the
  # mounts or runs on in a removed root.
  for attempt in $(seq 1 20); do
    pids="$(in_root_pids)"
    [ -z "$pids" ] && break
    kill -9 $pids 2>/dev/null || true
    sleep 0.5
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[$i]}" 2>/dev/null
  done
  # Only once nothing is mounted below it any more.
  if ! grep -q " $root/" /proc/mounts; then rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -n "${ORV_ROOT_TEMPLATE:-}" ]; then
  echo "== copying the root $ORV_ROOT_TEMPLATE to $root"
  cp -a "$ORV_ROOT_TEMPLATE" "$root" || { echo "cannot copy the root"; exit 1; }
else
  echo "== making a minimal Debian 12 root in $root"
  mmdebstrap --quiet --variant=minbase bookworm "$root" http://deb.debian.org/debian ||
    { echo "mmdebstrap failed"; exit 1; }
fi
for m in proc sys dev dev/pts; do
  mkdir -p "$root/$m"
  mount --bind "/$m" "$root/$m" || { echo "cannot bind /$m"; exit 1; }
  mounted+=("$root/$m")
done
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
mkdir -p "$root/root/orvendale-test"
cp "$deb" "$here/deb_package_test.sh" "$here/../../scripts/lib/xserver.sh" \
  "$root/root/orvendale-test/"
# In the background, so that a signal ends this script (and the clean-up ends the test in
# the root) at once.
chroot "$root" /bin/bash /root/orvendale-test/deb_package_test.sh \
  "/root/orvendale-test/$(basename "$deb")" &
wait $!
