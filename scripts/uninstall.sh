#!/usr/bin/env bash
# Removes what scripts/install.sh recorded in RECORD_DIR: the files it
# installed, then the folders it made, those left empty; then the record.
#   scripts/uninstall.sh RECORD_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 RECORD_DIR" >&2; exit 2; }
record=$1
[ -f "$record/files" ] || { echo "uninstall: no $record/files: nothing is installed from here" >&2; exit 1; }

while IFS= read -r file; do
  if [ -e "$file" ] || [ -L "$file" ]; then
    rm -f -- "$file"
    echo "-- Removed: $file"
  fi
done <"$record/files"
while IFS= read -r dir; do
  if [ -d "$dir" ]; then rmdir --ignore-fail-on-non-empty -- "$dir"; fi
done <"$record/dirs"
rm -rf -- "$record"
