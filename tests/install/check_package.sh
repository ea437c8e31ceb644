#!/usr/bin/env bash
# Checks the Debian package `make package` made in BUILD_DIR by installing it
# on this machine with apt-get and removing it again:
#   tests/install/check_package.sh BUILD_DIR
# Its control data (Depends names the libraries the programs link and
# fonts-wine); the installed programs answering --version and --help; then
# remove (and purge), after which no file of the package is left. The package
# is purged however the script ends. apt-get runs through sudo when not root.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
version=$("$top/scripts/project-version.sh")
deb=$build/lumivant_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "check_package: $deb is missing: run make package" >&2; exit 1; }

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
status() { dpkg-query -W -f='${Status}' lumivant 2>/dev/null || true; }
if [ -n "$(status)" ] && [ "$(status)" != "unknown ok not-installed" ]; then
  echo "check_package: lumivant is already installed here ($(status)); remove it first" >&2
  exit 1
fi

tmp=$(mktemp -d)
cleanup() {
  if [ -n "$(status)" ] && [ "$(status)" != "unknown ok not-installed" ]; then
    "${sudo[@]}" apt-get purge -y -qq lumivant >/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

dpkg-deb -I "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
# The libraries the program links, as its dynamic section names them.
needed=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/lumivant >"$tmp/lumivant" && readelf -d "$tmp/lumivant")
for library in libSDL2:libsdl2 libfreetype:libfreetype librtmidi:librtmidi libasound:libasound2 libjack:libjack; do
  soname=${library%%:*} package=${library#*:}
  if grep -q "NEEDED.*\[$soname" <<<"$needed" || [ "$soname" = libSDL2 ] || [ "$soname" = libfreetype ]; then
    grep -q "\b$package" <<<"$depends" || fail "Depends lacks $package, which the program links: $depends"
  fi
done
grep -qE '(^|, )fonts-wine(,|$| )' <<<"$depends" || fail "Depends lacks fonts-wine: $depends"

"${sudo[@]}" apt-get install -y -qq "$deb" >/dev/null
[ "$(status)" = "install ok installed" ] || fail "apt-get did not install the package: $(status)"
dpkg -L lumivant | while IFS= read -r path; do [ -d "$path" ] || echo "$path"; done >"$tmp/files"
echo "check_package: the package installed $(wc -l <"$tmp/files") files"

# No display: a program that ignored the argument would stop at its window.
if ! version_out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout -k 2 10 /usr/bin/lumivant --version 2>&1); then
  fail "/usr/bin/lumivant --version failed: $version_out"
elif [ "$version_out" != "lumivant $version" ]; then
  fail "/usr/bin/lumivant --version printed '$version_out', not 'lumivant $version'"
fi
if ! help_out=$(timeout -k 2 10 /usr/bin/bitmaplist --help 2>&1); then
  fail "/usr/bin/bitmaplist --help failed: $help_out"
elif ! grep -q '^usage: bitmaplist pack' <<<"$help_out"; then
  fail "/usr/bin/bitmaplist --help printed no usage"
fi
man -w lumivant >/dev/null 2>&1 || fail "man finds no page for lumivant"

"${sudo[@]}" apt-get remove -y -qq lumivant >/dev/null
while IFS= read -r file; do
  [ ! -e "$file" ] || fail "apt-get remove left $file"
done <"$tmp/files"
# A package without configuration files is gone after remove; purge the rest.
if [ "$(status)" = "deinstall ok config-files" ]; then "${sudo[@]}" apt-get purge -y -qq lumivant >/dev/null; fi
case "$(status)" in
  "" | "unknown ok not-installed") ;;
  *) fail "after purge the package is still known: $(status)" ;;
esac

if [ $failures -gt 0 ]; then
  echo "check_package: $failures failures" >&2
  exit 1
fi
echo "check_package: all checks passed"
