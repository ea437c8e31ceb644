#!/usr/bin/env bash
# Installs BUILD_DIR's programs into a scratch root as `make install` does,
# checks every file installed, and uninstalls them again:
#   tests/install/check_install.sh BUILD_DIR
# The exact list of files; the desktop entry, the metadata and the manual
# pages through their validators; each icon's stated size; the version the
# pages and the metadata name; then an uninstall that leaves the root as it
# was: empty, or with only what was there before.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
version=$("$top/scripts/project-version.sh")
prefix=/usr/local

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

expected="bin/bitmaplist
bin/lumivant
share/applications/lumivant.desktop
share/icons/hicolor/128x128/apps/lumivant.png
share/icons/hicolor/16x16/apps/lumivant.png
share/icons/hicolor/256x256/apps/lumivant.png
share/icons/hicolor/32x32/apps/lumivant.png
share/icons/hicolor/48x48/apps/lumivant.png
share/man/man1/bitmaplist.1
share/man/man1/lumivant.1
share/metainfo/io.github.lumivant.lumivant.metainfo.xml"

# Runs a checker; any output at all, or a failing status, is a failure.
quiet() {
  local what=$1 out
  shift
  if ! out=$("$@" 2>&1) || [ -n "$out" ]; then fail "$what:"$'\n'"$out"; fi
}

# A manual page as man shows it, only its warnings kept.
render_page() { MANWIDTH=80 man -l --warnings -E UTF-8 "$1" >/dev/null; }

# The PNG header's width and height, big-endian at bytes 16 to 23.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

# Installs into ROOT, checks, uninstalls; ROOT must then hold what it held before.
install_and_check() {
  local root=$1 record=$tmp/record before after
  before=$(cd "$root" && find . | sort)
  DESTDIR=$root "$top/scripts/install.sh" "$build" "$prefix" "$record" >/dev/null
  local dest=$root$prefix

  local installed
  installed=$(cd "$dest" && find . -type f -o -type l | sed 's|^\./||' | sort)
  if [ "$(comm -13 <(echo "$before" | sed -n "s|^\./${prefix#/}/||p" | sort) <(echo "$installed"))" != "$expected" ]; then
    fail "installed files differ from the expected list:"$'\n'"$(diff <(echo "$expected") <(echo "$installed"))"
  fi
  for program in lumivant bitmaplist; do
    [ -x "$dest/bin/$program" ] || fail "bin/$program is not executable"
  done

  quiet "desktop-file-validate" desktop-file-validate "$dest/share/applications/lumivant.desktop"
  local metainfo=$dest/share/metainfo/io.github.lumivant.lumivant.metainfo.xml report
  if ! report=$(appstreamcli validate --no-net --pedantic --strict "$metainfo" 2>&1) ||
    grep -qE '^[EWIP]: ' <<<"$report"; then
    fail "appstreamcli validate:"$'\n'"$report"
  fi
  grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo" || fail "the metadata has no release $version"

  for size in 16 32 48 128 256; do
    local icon=$dest/share/icons/hicolor/${size}x$size/apps/lumivant.png
    [ "$(png_size "$icon")" = "${size}x$size" ] || fail "$icon is $(png_size "$icon"), not ${size}x$size"
    cmp -s "$icon" "$top/resources/art/lumivant-$size.png" || fail "$icon is not resources/art/lumivant-$size.png"
  done

  for page in lumivant bitmaplist; do
    local file=$dest/share/man/man1/$page.1
    quiet "man -l $page.1" render_page "$file"
    quiet "groff $page.1" groff -man -ww -z "$file"
    head -n 1 "$file" | grep -q "\"Lumivant $version\"" || fail "$page.1 does not name Lumivant $version"
  done

  "$top/scripts/uninstall.sh" "$record" >/dev/null
  [ ! -e "$record" ] || fail "the uninstall left its record"
  after=$(cd "$root" && find . | sort)
  [ "$after" = "$before" ] || fail "the uninstall left a different tree:"$'\n'"$(diff <(echo "$before") <(echo "$after"))"
}

# An empty root, which the uninstall must leave empty.
mkdir "$tmp/empty"
install_and_check "$tmp/empty"
[ -z "$(ls -A "$tmp/empty")" ] || fail "the uninstall left files in an empty root"

# A root that already holds a folder of the install's and someone else's file.
mkdir -p "$tmp/lived-in$prefix/share/applications" "$tmp/lived-in$prefix/share/man/man1"
touch "$tmp/lived-in$prefix/share/applications/other.desktop"
install_and_check "$tmp/lived-in"

if [ $failures -gt 0 ]; then
  echo "check_install: $failures failures" >&2
  exit 1
fi
echo "check_install: all checks passed"
