#!/usr/bin/env bash
# Packs the Windows program into BUILD/Lumivant-VERSION-win64.zip: the
# program, its read-me, and the licence texts of everything it carries.
# Usage: package-win64.sh BUILD DEPS VERSION
#   BUILD    the Windows build folder (its bin/ holds lumivant.exe)
#   DEPS     the dependency folder scripts/win64-deps.sh printed
set -euo pipefail
build=$(cd "${1:?usage: package-win64.sh BUILD DEPS VERSION}" && pwd)
deps=${2:?usage: package-win64.sh BUILD DEPS VERSION}
version=${3:?usage: package-win64.sh BUILD DEPS VERSION}
root=$(cd "$(dirname "$0")/.." && pwd)

name=Lumivant-$version-win64
zip=$build/$name.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir=$stage/$name
mkdir -p "$dir/licenses"

x86_64-w64-mingw32-strip -o "$dir/lumivant.exe" "$build/bin/lumivant.exe"
sed "s/@VERSION@/$version/" "$root/docs/windows/README.txt" | sed 's/$/\r/' >"$dir/README.txt"
# What the program carries: SDL2 and FreeType linked in, the MS Sans Serif
# and Tahoma faces of Wine, zlib, and the compiler's runtime.
for library in sdl2 freetype zlib; do cp "$deps/licenses/$library.txt" "$dir/licenses/"; done
cp /usr/share/doc/fonts-wine/copyright "$dir/licenses/wine-fonts.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$dir/licenses/mingw-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$dir/licenses/gcc-runtime.txt"

rm -f "$zip"
(cd "$stage" && zip -q -X -r "$zip.partial" "$name")
mv "$zip.partial" "$zip"
echo "$zip"
