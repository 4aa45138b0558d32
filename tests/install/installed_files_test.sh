#!/usr/bin/env bash
# What `cmake --install` puts where, staged into a DESTDIR under /usr as the Debian
# package has it: exactly the expected files with the expected modes (no test, tool or
# benchmark among them), a desktop entry and AppStream metainfo that their validators
# accept and that name the launcher (also through the action "Play in a window"), icon
# and entry really installed, icons of the sizes
# their folders promise, a copyright file in Debian's machine-readable format, and a
# manual page that man formats without a warning.
#
# Usage: installed_files_test.sh BUILD_DIR      (the game must be built there)
# Needs desktop-file-validate (desktop-file-utils), appstreamcli (appstream) and Debian's
# copyright parser (python3-debian).
set -uo pipefail

BUILD="$(cd "${1:?usage: installed_files_test.sh BUILD_DIR}" && pwd)"
T="$(mktemp -d /tmp/orvendale-installed.XXXXXX)"
trap 'rm -rf "$T"' EXIT
R="$T/stage/usr"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

DESTDIR="$T/stage" cmake --install "$BUILD" --prefix /usr >"$T/install.log" 2>&1 ||
  { cat "$T/install.log" >&2; echo "FAIL: cmake --install" >&2; exit 1; }

# Every file and link under the prefix, with its mode.
expected="$(cat <<'EOF'
755 games/orvendale
755 libexec/orvendale/orvendale
644 share/applications/orvendale.desktop
644 share/doc/orvendale/changelog.gz
644 share/doc/orvendale/copyright
644 share/games/orvendale/Settings.ini
644 share/games/orvendale/crfighter.3ds
644 share/games/orvendale/font.txt
644 share/games/orvendale/font_tech.tga
644 share/games/orvendale/font_vimra.tga
644 share/icons/hicolor/128x128/apps/orvendale.png
644 share/icons/hicolor/256x256/apps/orvendale.png
644 share/icons/hicolor/48x48/apps/orvendale.png
644 share/man/man6/orvendale.6.gz
644 share/metainfo/io.github.orvendale.orvendale.metainfo.xml
EOF
)"
actual="$(cd "$R" && find . ! -type d -printf '%m %P\n' | LC_ALL=C sort -k2)"
[ "$actual" == "$expected" ] || fail "the installed files differ from the expected ones:
$(diff <(echo "$expected") <(echo "$actual"))"

# The launcher is a script and the program a program, not the other way round.
head -1 "$R/games/orvendale" | grep -q '^#!/bin/sh' || fail "games/orvendale is not the launcher script"
head -c 4 "$R/libexec/orvendale/orvendale" | grep -q 'ELF' || fail "libexec/orvendale/orvendale is not a program"

# The validators, on the installed files.
desktop="$R/share/applications/orvendale.desktop"
metainfo="$R/share/metainfo/io.github.orvendale.orvendale.metainfo.xml"
out="$(desktop-file-validate "$desktop" 2>&1)"
[ $? -eq 0 ] && [ -z "$out" ] || fail "desktop-file-validate: $out"
out="$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1)"
[ $? -eq 0 ] || fail "appstreamcli validate: $out"

# What they name is installed.
# The entry and each of its actions start the launcher; the action "Play in a window"
# with --window.
for exec_name in $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop"); do
  [ -x "$R/games/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not in games/"
done
window_exec="$(sed -n '/^\[Desktop Action window\]/,/^\[/s/^Exec=//p' "$desktop")"
[ "$window_exec" == "orvendale --window" ] ||
  fail "the desktop action 'window' starts '$window_exec', not 'orvendale --window'"
grep -qx "Actions=window;watch-best;" "$desktop" || fail "the desktop entry does not list its actions 'window' and 'watch-best'"
best_exec="$(sed -n '/^\[Desktop Action watch-best\]/,/^\[/s/^Exec=//p' "$desktop")"
[ "$best_exec" == "orvendale --watch-best" ] ||
  fail "the desktop action 'watch-best' starts '$best_exec', not 'orvendale --watch-best'"
icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
for size in 48 128 256; do
  png="$R/share/icons/hicolor/${size}x${size}/apps/$icon_name.png"
  if [ ! -f "$png" ]; then
    fail "no $size px icon named '$icon_name'"
    continue
  fi
  # The PNG header: signature, then the IHDR chunk with width and height (big-endian).
  read -r -a b <<<"$(od -An -tu1 -N24 -w24 "$png")"
  [ "${b[1]} ${b[2]} ${b[3]}" == "80 78 71" ] || fail "$png is not a PNG"
  w=$(((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19]))
  h=$(((b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23]))
  [ "${w}x${h}" == "${size}x${size}" ] || fail "the ${size}x${size} icon is ${w}x${h}"
done
launchable="$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")"
[ -f "$R/share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
binary="$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo")"
[ -x "$R/games/$binary" ] || fail "the metainfo provides the binary '$binary', which is not in games/"

# The copyright file is machine-readable: Debian's own parser reads it strictly, every
# file of the repository falls under a paragraph, and the game's own under the one licence
# stated once in a stand-alone paragraph.
out="$(/usr/bin/python3 - "$R/share/doc/orvendale/copyright" 2>&1 <<'PY'
import sys
from debian import copyright
c = copyright.Copyright(open(sys.argv[1]), strict=True)
game = c.find_files_paragraph("app/entry/win_main.cpp").license.synopsis
font = c.find_files_paragraph("data/font.txt").license.synopsis
stated = [p.license.synopsis for p in c.all_license_paragraphs()]
assert stated == [game], (game, stated)
assert font == "public-domain", font
PY
)" || fail "the copyright file is not machine-readable as expected: $out"

# The manual page formats cleanly.
out="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$R/share/man/man6/orvendale.6.gz" 2>&1 >"$T/man.txt")"
[ -z "$out" ] || fail "man warns: $out"
grep -q "ORVENDALE(6)" "$T/man.txt" && grep -q "Settings.ini" "$T/man.txt" ||
  fail "the manual page does not format to the game's page"

# The manual page tells what the program does: every option of its usage text in the
# synopsis, and every result it can end with (app/exit_codes.h; -1 is 255 as a status)
# under EXIT STATUS.
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
synopsis="$(sed -n '/^SYNOPSIS/,/^DESCRIPTION/p' "$T/man.txt")"
for option in $(sed -n '/kUsageText/,/;$/p' "$SRC/app/command_line.cpp" | grep -o -- '--[a-z]*' | sort -u); do
  grep -q -- "$option" <<<"$synopsis" || fail "the manual page's synopsis lacks $option"
done
exit_status="$(sed -n '/^EXIT STATUS/,/^[A-Z]/p' "$T/man.txt")"
for code in $(sed -n 's/^const int kExit[A-Za-z]* = \(-\{0,1\}[0-9]*\);.*/\1/p' "$SRC/app/exit_codes.h"); do
  [ "$code" -lt 0 ] && code=$((code + 256))
  grep -qE "^ +$code( |\$)" <<<"$exit_status" || fail "the manual page's EXIT STATUS lacks the result $code"
done

[ "$failures" -eq 0 ] || { echo "installed files: $failures failures" >&2; exit 1; }
echo "PASS"
