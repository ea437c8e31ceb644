#!/usr/bin/env bash
# Installs the built programs and their desktop files under DESTDIR/PREFIX
# (DESTDIR from the environment, empty for the real root):
#   scripts/install.sh BUILD_DIR PREFIX RECORD_DIR
# and records what it did in RECORD_DIR for scripts/uninstall.sh: `files`,
# the files installed, and `dirs`, the folders the install made, deepest
# first, so that uninstalling removes those and no folder that was there
# before. CMake's own list in BUILD_DIR is rewritten by every install and
# package build, so the record is kept apart.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 BUILD_DIR PREFIX RECORD_DIR" >&2; exit 2; }
build=$1 prefix=$2 record=$3
root=${DESTDIR:-}

# The folders an install makes: those of a trial install into a scratch root.
trial=$(mktemp -d)
trap 'rm -rf "$trial"' EXIT
DESTDIR=$trial cmake --install "$build" --prefix "$prefix" >/dev/null
made=()
while IFS= read -r dir; do
  [ -d "$root$dir" ] || made+=("$root$dir")
done < <(cd "$trial" && find . -mindepth 1 -type d | sed 's/^\.//' | sort -r)

cmake --install "$build" --prefix "$prefix"
# Added to the record of an earlier install, which made the folders a
# repeated install finds.
mkdir -p "$record"
touch "$record/files" "$record/dirs"
# CMake lists the files without DESTDIR.
sed "s|^|$root|" "$build/install_manifest.txt" | sort -u - "$record/files" -o "$record/files"
{ cat "$record/dirs"; printf '%s\n' "${made[@]}"; } | sed '/^$/d' | sort -ru -o "$record/dirs"
