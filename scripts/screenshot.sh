#!/usr/bin/env bash
# Takes the README's picture of the window: the program under a private
# Xvfb, with a private JACK server whose one MIDI input ("Tyros") fills the
# port list. Usage: scripts/screenshot.sh [LUMIVANT] [OUTPUT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/bin/lumivant}
output=${2:-$root/docs/screenshot.png}
. "$root/tests/e2e/xvfb_lib.sh"
. "$root/tests/e2e/jack_lib.sh"

cleanup() {
  stop_pid "${program_pid:-}"
  stop_sink
  stop_jackd
  stop_xvfb
  expect_nothing_left
}
trap cleanup EXIT

start_xvfb
start_jackd
start_sink Tyros /dev/null
"$program" >/dev/null 2>&1 &
program_pid=$!
note_started "$program_pid"
wid=$(xdotool search --sync --name "^Lumivant$" | head -n 1)
xdotool windowfocus --sync "$wid"
sleep 0.5
import -window "$wid" "$output"
echo "wrote $output"
