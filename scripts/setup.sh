#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Lumivant needs that are missing.
#   scripts/setup.sh build   what building and starting the program needs
#   scripts/setup.sh test    that, and what the tests need
#   scripts/setup.sh windows what the Windows cross-build needs, and a
#                            deb-src entry so that apt-get source works
#   scripts/setup.sh package what building the program and its Debian
#                            package needs
set -euo pipefail

build_packages=(g++ cmake make pkg-config libfreetype-dev fonts-wine libsdl2-dev libx11-dev libxfixes-dev librtmidi-dev libjack-jackd2-dev libasound2-dev zlib1g-dev libxtst-dev)
windows_packages=(cmake make dpkg-dev zip unzip g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev libz-mingw-w64-dev wine wine64 fonts-wine)
package_packages=(dpkg-dev)
test_packages=(googletest libgtest-dev clang clang-format libclang-rt-dev xvfb xfonts-base xdotool x11-utils x11-xserver-utils imagemagick jackd2
  desktop-file-utils appstream man-db groff-base file)

case "${1:-build}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${build_packages[@]}" "${package_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}") ;;
  windows) wanted=("${windows_packages[@]}") ;;
  package) wanted=("${build_packages[@]}" "${package_packages[@]}") ;;
  *) echo "usage: $0 build|test|windows|package" >&2; exit 2 ;;
esac

# The Windows dependencies are built from Debian's source packages.
need_sources=0
if [ "${1:-build}" != build ] && [ "${1:-build}" != package ] && ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  need_sources=1
fi

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $need_sources -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
if [ $need_sources -eq 1 ]; then
  # The same archives the binary packages come from, for source packages.
  list=/etc/apt/sources.list.d/lumivant-deb-src.sources
  echo "setup: adding source entries in $list"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | "${sudo[@]}" tee "$list" >/dev/null
  else
    grep -hE '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | "${sudo[@]}" tee "${list%.sources}.list" >/dev/null
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  echo "setup: installed ${missing[*]}"
fi
