#!/usr/bin/env bash
# Runs every fuzz target in BINDIR for SECONDS each, starting from its seed
# corpus in fuzz/corpus/<name without fuzz_>; fails on the first finding.
set -euo pipefail
bindir=$1
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$bindir"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
       -artifact_prefix="$work/" "$work" >"$work.log" 2>&1; then
    tail -n 40 "$work.log"
    echo "fuzz: $name found a problem (inputs kept in $work)"
    status=1
  else
    grep -E '^stat::number_of_executed_units' "$work.log" | sed "s/^/fuzz: $name /"
    rm -rf "$work" "$work.log"
  fi
done
exit $status
