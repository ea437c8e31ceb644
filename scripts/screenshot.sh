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

trap stop_all EXIT

start_all "$program" Tyros /dev/null /dev/null
sleep 0.5
import -window "$WID" "$output"
echo "wrote $output"
