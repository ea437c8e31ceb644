#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Lumivant needs that are missing.
#   scripts/setup.sh build   what building and starting the program needs
#   scripts/setup.sh test    that, and what the tests need
set -euo pipefail

build_packages=(g++ cmake make pkg-config libfreetype-dev fonts-wine libsdl2-dev libx11-dev libxfixes-dev librtmidi-dev libjack-jackd2-dev libasound2-dev zlib1g-dev libxtst-dev)
test_packages=(googletest libgtest-dev clang clang-format libclang-rt-dev xvfb xfonts-base xdotool x11-utils x11-xserver-utils imagemagick jackd2)

case "${1:-build}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 build|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: installed ${missing[*]}"
