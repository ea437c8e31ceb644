#!/usr/bin/env bash
# What make windows promises, checked on its output: the three programs; a
# windowed lumivant.exe that needs no DLL but Windows' own, carrying the
# icon group MAINICON (48, 32 and 16 pixels at 256 and 16 colours) and its
# version; the zip with the program, its read-me and the licences; and a
# dependency cache that a second run finds complete, building nothing.
# Usage: check_package.sh BUILD VERSION
set -euo pipefail
build=${1:?usage: check_package.sh BUILD VERSION}
version=${2:?usage: check_package.sh BUILD VERSION}
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$build/bin/lumivant.exe
fail() { echo "windows package: $*"; exit 1; }

for program in lumivant bitmaplist formc; do
  [ -f "$build/bin/$program.exe" ] || fail "$program.exe was not built"
done

# Windows' own DLLs only: no compiler runtime, no library of ours beside it.
system_dlls='^(ADVAPI32|GDI32|IMM32|KERNEL32|msvcrt|ole32|OLEAUT32|SETUPAPI|SHELL32|USER32|VERSION|WINMM)\.dll$'
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ -n "$dlls" ] || fail "no DLLs listed for $exe"
others=$(grep -viE "$system_dlls" <<<"$dlls" || true)
[ -z "$others" ] || fail "lumivant.exe needs DLLs that are not Windows' own: $others"
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "lumivant.exe is not a windowed program"

resources=$(mktemp)
trap 'rm -f "$resources"' EXIT
x86_64-w64-mingw32-windres -i "$exe" -O rc -o "$resources"
icons=$(sed -n '/^"MAINICON" 14/,/^END/p' "$resources" | grep -c 'Element no' || true)
[ "$icons" = 6 ] || fail "MAINICON holds $icons images, not 6"
sizes=$(sed -n '/^"MAINICON" 14/,/^END/p' "$resources" | sed -n 's/^ *"\\\([0-7]*\)\\\([0-7]*\)\\\([0-7]*\)\\000", 1, \([0-9]*\),.*/\1 \2 \3 \4/p' |
  while read -r w h colours bits; do echo "$((8#$w))x$((8#$h)) $((8#$colours)) $bits"; done | paste -sd,)
[ "$sizes" = "48x48 0 8,48x48 16 4,32x32 0 8,32x32 16 4,16x16 0 8,16x16 16 4" ] || fail "MAINICON images: $sizes"
grep -q "VALUE \"ProductName\", \"Lumivant\"" "$resources" || fail "no product name in the version information"
grep -q "VALUE \"ProductVersion\", \"$version\"" "$resources" || fail "the version information does not say $version"

zip=$build/Lumivant-$version-win64.zip
[ -f "$zip" ] || fail "$zip is missing"
listing=$(unzip -Z1 "$zip")
for entry in lumivant.exe README.txt licenses/sdl2.txt licenses/freetype.txt licenses/zlib.txt \
  licenses/wine-fonts.txt licenses/mingw-w64-runtime.txt licenses/gcc-runtime.txt; do
  grep -qx "Lumivant-$version-win64/$entry" <<<"$listing" || fail "the zip lacks $entry"
done

# A second run of the dependency build finds its cache: it says only where.
again=$("$root/scripts/win64-deps.sh" 2>&1)
[ "$(wc -l <<<"$again")" = 1 ] && [ -f "$again/.complete" ] || fail "a second dependency build did work: $again"

echo "windows package: three programs, lumivant.exe with Windows' DLLs only, MAINICON of 6 images, version $version, the zip; dependencies cached"
