#!/usr/bin/env bash
# The Windows build, checked on Linux: cross-builds orvendale.exe and the unit tests of the
# platform-independent folders with mingw-w64 (the "windows" preset, into build-windows/),
# packs the release zip, runs the unit tests under Wine, then the end-to-end checks of the
# real program and of the unpacked zip under Wine (tests/win/wine_e2e.sh); checks that the
# program's PE header asks for ASLR and DEP. Installs what is missing first (Debian 12, as root or with
# sudo). Exits non-zero when anything fails.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-windows"

source "$root/scripts/lib/packages.sh"
source "$root/scripts/lib/xserver.sh"
install_missing cmake ninja-build googletest g++-mingw-w64-x86-64 wine wine64 \
  xvfb xauth xdotool x11-utils imagemagick unzip || exit 1

echo "== Windows cross build (build-windows/)"
started=$SECONDS
(cd "$root" && cmake --preset windows >/dev/null) || { echo "Windows: configure failed"; exit 1; }
targets=(orvendale)
for folder in core config landscape assets objects win; do
  if compgen -G "$root/tests/$folder/*.cpp" >/dev/null; then targets+=("test_$folder"); fi
done
ninja -C "$build" -j2 "${targets[@]}" || { echo "Windows: build failed"; exit 1; }
echo "   built ${targets[*]} in $((SECONDS - started)) s"

# ASLR (64-bit too) and DEP, as a Windows user expects of a program, read from the PE
# header; and the relocations that a movable image needs.
echo "== The program's PE header"
pe_passed=0
pe_failed=0
pe_header="$(x86_64-w64-mingw32-objdump -p "$build/orvendale.exe")"
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  if sed -n '/^DllCharacteristics/,/^[A-Za-z]/p' <<<"$pe_header" | grep -qw "$flag"; then
    echo "   ok   orvendale.exe has $flag"
    pe_passed=$((pe_passed + 1))
  else
    echo "   FAIL orvendale.exe lacks $flag"
    pe_failed=$((pe_failed + 1))
  fi
done
if x86_64-w64-mingw32-objdump -h "$build/orvendale.exe" | grep -qw '\.reloc'; then
  echo "   ok   orvendale.exe keeps its relocations (.reloc)"
  pe_passed=$((pe_passed + 1))
else
  echo "   FAIL orvendale.exe has no .reloc: it cannot be moved"
  pe_failed=$((pe_failed + 1))
fi

echo "== Windows zip"
(cd "$build" && cpack -G ZIP >/dev/null) || { echo "Windows: cpack -G ZIP failed"; exit 1; }
zip="$(ls -t "$build"/orvendale-*-win64.zip | head -1)"
echo "   $zip"

# One Wine prefix for the whole run: 64-bit only, no Mono or Gecko, no crash dialog (a
# crashing test ends instead of waiting for a click).
export WINEPREFIX
WINEPREFIX="$(mktemp -d /tmp/orvendale-wine.XXXXXX)"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xpid=""
cleanup() {
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

echo "== Wine prefix"
started=$SECONDS
DISPLAY= wine wineboot -i >/dev/null 2>&1
DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1
wineserver -w
echo "   ready in $((SECONDS - started)) s"

echo "== Unit tests under Wine"
# The rendering tests need an X server for their GL windows.
start_xvfb 1024 768 || { echo "Windows: could not start Xvfb"; exit 1; }
xpid="$XVFB_PID"

unit_passed=0
unit_failed=0
failed_programs=()
for t in "${targets[@]}"; do
  [ "$t" == "orvendale" ] && continue
  started=$SECONDS
  out="$build/tests/$t.wine.log"
  (cd "$build/tests" && timeout 600 wine "$t.exe" >"$out" 2>&1)
  rc=$?
  p="$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -1)"
  f="$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -1)"
  # A skipped test hides a fault here as on Linux (the display and every tool are there):
  # each one counts as a failure.
  s="$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) test.*/\1/p' "$out" | tail -1)"
  unit_passed=$((unit_passed + ${p:-0}))
  unit_failed=$((unit_failed + ${f:-0} + ${s:-0}))
  if [ "${s:-0}" -gt 0 ]; then
    [ "$rc" -eq 0 ] && rc=1
    grep -E '^\[  SKIPPED \] [A-Za-z]' "$out" | sort -u | sed "s/^/   SKIPPED (a failure here) $t: /"
  fi
  if [ "$rc" -ne 0 ]; then
    failed_programs+=("$t")
    [ -z "$f" ] && unit_failed=$((unit_failed + 1))  # crashed or timed out
    echo "   FAIL $t (exit $rc, $((SECONDS - started)) s); its output:"
    grep -E '^\[  FAILED  \]|Failure|error' "$out" | head -40 | sed 's/^/     /'
    echo "     (full output: $out)"
  else
    echo "   ok   $t: ${p:-0} passed ($((SECONDS - started)) s)"
  fi
done
kill "$xpid" 2>/dev/null
wait "$xpid" 2>/dev/null
xpid=""
wineserver -k >/dev/null 2>&1
export DISPLAY=""

echo "== End-to-end checks under Wine"
e2e_out="$build/wine_e2e.log"
bash "$root/tests/win/wine_e2e.sh" "$build" "$zip" 2>&1 | tee "$e2e_out"
e2e_rc=${PIPESTATUS[0]}
e2e_passed="$(sed -n 's/^Wine e2e: \([0-9]*\) passed, \([0-9]*\) failed$/\1/p' "$e2e_out")"
e2e_failed="$(sed -n 's/^Wine e2e: \([0-9]*\) passed, \([0-9]*\) failed$/\2/p' "$e2e_out")"
e2e_passed=${e2e_passed:-0}
e2e_failed=${e2e_failed:-0}
[ "$e2e_rc" -ne 0 ] && [ "$e2e_failed" -eq 0 ] && e2e_failed=1

total_passed=$((unit_passed + e2e_passed + pe_passed))
total_failed=$((unit_failed + e2e_failed + pe_failed))
echo "Windows summary: unit tests $unit_passed passed, $unit_failed failed;" \
  "end-to-end $e2e_passed passed, $e2e_failed failed; PE header $pe_passed passed, $pe_failed failed"
echo "Windows: $total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ] && [ ${#failed_programs[@]} -eq 0 ] && [ "$e2e_rc" -eq 0 ]
