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
command -v mmdebstrap >/dev/null || {
  source "$here/../../scripts/lib/packages.sh"
  install_missing mmdebstrap || exit 1
}

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[$i]}" 2>/dev/null
  done
  # Only once nothing is mounted below it any more.
  if ! grep -q " $root/" /proc/mounts; then rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT

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
chroot "$root" /bin/bash /root/orvendale-test/deb_package_test.sh \
  "/root/orvendale-test/$(basename "$deb")"
