#!/usr/bin/env bash
# Proves the README's commands on a new machine. A machine that has been used for a while
# keeps whatever was installed by hand, so a green run there can hide a missing install
# step; this script makes a minimal Debian 12 root with mmdebstrap (only what every
# Debian 12 system has), puts a clean clone of this repository's committed HEAD inside,
# and runs there, with a bare environment (no DISPLAY, no XDG_RUNTIME_DIR, no locale):
#   1. the README's test command, `bash scripts/test.sh`, without even a HOME;
#   2. the README's play command, `bash scripts/play.sh`, as root in /root, under Xvfb,
#      ended with Escape;
#   3. the Debian package made there (scripts/package.sh), made once more from a second
#      clone in another folder to the same bytes (tests/install/reproducible_deb.sh), then
#      checked by lintian, installed, played and purged in a second fresh root
#      (tests/install/in_fresh_root.sh).
# Everything it mounts is unmounted, and the root removed, on every way out.
#
# Usage (as root on Debian 12): bash scripts/fresh-root.sh [--keep] [--only-play]
#   --keep       leave the root in place (its path is printed) for a look afterwards
#   --only-play  skip the test command (a quick check of set-up, build and play)
# Exits non-zero when a step fails.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
source "$repo/scripts/lib/packages.sh"

keep=0
only_play=0
for arg in "$@"; do
  case "$arg" in
    --keep) keep=1 ;;
    --only-play) only_play=1 ;;
    *) echo "usage: bash scripts/fresh-root.sh [--keep] [--only-play]" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "fresh-root.sh: run as root (it mounts and chroots)" >&2; exit 2; }

install_missing mmdebstrap git

base="$(mktemp -d /var/tmp/orvendale-root.XXXXXX)"
root="$base/root"

# Ends every process still running inside the root (an X server, a game left behind by a
# failed step), then unmounts everything below it, deepest first.
in_root_pids() {
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && echo "$pid"
  done
  return 0
}
cleanup() {
  local rc=$? pids attempt
  # Again and again: a process may start another while the first are ended.
  for attempt in $(seq 1 20); do
    pids="$(in_root_pids)"
    [ -z "$pids" ] && break
    kill -9 $pids 2>/dev/null || true
    sleep 0.5
  done
  if findmnt -rno TARGET | grep -q "^$root"; then
    umount -R "$root/proc" "$root/sys" "$root/dev" 2>/dev/null ||
      umount -R -l "$root/proc" "$root/sys" "$root/dev" 2>/dev/null || true
  fi
  if findmnt -rno TARGET | grep -q "^$root"; then
    echo "fresh-root: could not unmount everything below $root" >&2
    rc=1
  elif [ "$keep" -eq 0 ]; then
    rm -rf --one-file-system "$base" 2>/dev/null || { sleep 1; rm -rf --one-file-system "$base"; }
  else
    echo "fresh-root: the root stays at $root"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

started=$SECONDS
echo "== Fresh Debian 12 root (mmdebstrap, minbase) in $root"
mmdebstrap --quiet --variant=minbase bookworm "$root" \
  "deb http://deb.debian.org/debian bookworm main" \
  "deb http://deb.debian.org/debian bookworm-updates main" \
  "deb http://deb.debian.org/debian-security bookworm-security main"
# A root is no booted system: packages must not start services in it.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The network's own certificate authorities, as its resolver: a network whose proxy looks
# into TLS (this one's does) gives its machines its authority, and a machine on it would
# have it. Only node reads it here: npm fetches the browser test's driver over TLS.
network_ca=()
if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
  cat /usr/local/share/ca-certificates/*.crt >"$root/etc/network-ca.crt"
  network_ca=(NODE_EXTRA_CA_CERTS=/etc/network-ca.crt)
fi

mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --make-rslave "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"

git clone --quiet --no-hardlinks "$repo" "$root/root/orvendale"
echo "   root ready in $((SECONDS - started)) s, with a clone of $(git -C "$repo" rev-parse --short HEAD)"

# in_root COMMAND [VARIABLE=VALUE...]: runs a shell command in the clone, as root, with
# only a PATH and the variables given.
in_root() {
  local command="$1"
  shift
  # In the background with a wait: a signal to this script then ends it at once, and the
  # clean-up takes whatever still runs in the root with it.
  chroot "$root" /usr/bin/env -i TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "${network_ca[@]}" "$@" \
    /bin/bash -c "cd /root/orvendale && $command" &
  wait "$!"
}

failed=0
if [ "$only_play" -eq 0 ]; then
  echo "== In the fresh root: the README's test command"
  started=$SECONDS
  # Not even a HOME: as from a service, the harshest start the test command may get.
  in_root "bash scripts/test.sh" || failed=1
  echo "   test command done in $((SECONDS - started)) s"
fi

echo "== In the fresh root: the README's play command, under Xvfb, ended with Escape"
started=$SECONDS
in_root "bash tests/fresh/play_and_escape.sh" HOME=/root || failed=1
echo "   play command done in $((SECONDS - started)) s"

echo "== The Debian package, made in the fresh root, installed and purged in another one"
started=$SECONDS
deb=""
if in_root "bash scripts/package.sh >/root/package.path" HOME=/root; then
  deb="$root$(cat "$root/root/package.path")"
fi
if [ -n "$deb" ] && [ -f "$deb" ]; then
  # The same commit built again in another folder, later: the same bytes.
  in_root "bash tests/install/reproducible_deb.sh . \"\$(cat /root/package.path)\"" HOME=/root ||
    failed=1
  bash "$repo/tests/install/in_fresh_root.sh" "$deb" || failed=1
else
  echo "   no package was made"
  failed=1
fi
echo "   package check done in $((SECONDS - started)) s"

if [ "$failed" -ne 0 ]; then
  echo "FRESH ROOT: FAILED"
  exit 1
fi
echo "FRESH ROOT: the README's commands work on a new Debian 12 machine"
