#!/usr/bin/env bash
# Draws the seeded cases with gdi/ and with wine's graphics calls and compares
# the pixels case by case. Prints a table per category; fails when a case
# differs that is not kept below for a reason.
# Usage: compare_with_wine.sh NATIVE_DRAWING_CASES WINDOWS_DRAWING_CASES_EXE
set -euo pipefail
native=${1:?usage: compare_with_wine.sh NATIVE EXE}
windows=${2:?usage: compare_with_wine.sh NATIVE EXE}

# Cases whose difference is ours to keep, by tag, with the reason.
kept_overlap="a copy within one bitmap whose source and destination overlap: gdi/ reads the whole source \
before it writes, so the result is the source as it was, as the classic platform gives it for scrolling; \
wine gives neither that nor the result of one pass in place"

kept_brush_origin="a grey brush dithered on a monochrome bitmap by an operation that also reads a source: \
gdi/ keeps the dither fixed to the bitmap's pixels, as brushes are laid from the brush origin on the classic \
platform; wine shifts it with the source rectangle"

ours=$(mktemp) theirs=$(mktemp)
trap 'rm -f "$ours" "$theirs"' EXIT
"$native" >"$ours"
WINEDEBUG=${WINEDEBUG:--all} wine "$windows" | tr -d '\r' >"$theirs"

awk -v kept_overlap="$kept_overlap" -v kept_brush_origin="$kept_brush_origin" '
  NR == FNR { theirs[$1 " " $2] = $4; next }
  {
    key = $1 " " $2
    if (!($1 in cases)) order[++categories] = $1
    cases[$1]++
    if (!(key in theirs)) { missing[$1]++; bad++; next }
    if (theirs[key] == $4) { same[$1]++; next }
    if ($3 != "-") { kept[$1]++; next }
    differ[$1]++; bad++
    if (shown[$1]++ < 8) examples[$1] = examples[$1] " " $2
  }
  END {
    printf "%-18s %6s %10s %6s %10s\n", "category", "cases", "identical", "kept", "different"
    for (i = 1; i <= categories; i++) {
      c = order[i]
      printf "%-18s %6d %10d %6d %10d%s\n", c, cases[c], same[c], kept[c], differ[c] + missing[c], \
        examples[c] == "" ? "" : "   e.g." examples[c]
    }
    print "kept (overlap): " kept_overlap
    print "kept (brush-origin): " kept_brush_origin
    if (bad) { printf "%d cases differ from wine; `drawing_cases CATEGORY INDEX` prints one\n", bad; exit 1 }
    print "every other case is identical"
  }' "$theirs" "$ours"
