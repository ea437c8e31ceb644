#!/usr/bin/env bash
# The MIDI service comes and goes under the running program: a JACK server
# killed and started again under the same name with a new instrument port,
# and a server started after the program.
# Usage: midi_server_xvfb_jack.sh LUMIVANT
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"
. "$here/jack_lib.sh"

work=$(mktemp -d)
trap 'stop_all "$work"' EXIT

# The port list's edit field, which shows the selected port's name: one
# colour when the list is empty.
field_colours() { screen_pixels 140x13+46+76 | sort -u | wc -l; }

# scan_expecting empty|listed: clicks "Scan" and expects the field to show
# that within a second of the click.
scan_expecting() {
  local start ms shown
  start=$(date +%s%N)
  click_at 236 82
  while :; do
    shown=listed
    [ "$(field_colours)" -eq 1 ] && shown=empty
    ms=$((($(date +%s%N) - start) / 1000000))
    [ "$shown" = "$1" ] && break
    [ "$ms" -lt 1000 ] || { echo "1 s after the click on \"Scan\" the list was still $shown, not $1"; exit 1; }
  done
  echo "scan: the list $1 $ms ms after the click"
}

expect_running() { running "$PROGRAM_PID" || { echo "the program ended $1:"; cat "$work/log"; exit 1; }; }

# ---- the server goes and comes back under the same name -------------------
start_all "$program" tyros "$work/dump" "$work/log"
xdotool key --window "$WID" a
wait_for_messages "$work/dump" 3
expect_equal "before the server went" "$TYROS2_SEQUENCE" "$(messages "$work/dump")"

kill -9 "$JACKD_PID"
stop_jackd 2>/dev/null  # reaps it without bash's "Killed" notice
stop_sink
xdotool key --window "$WID" b
expect_running "on a letter after its server was killed"
scan_expecting empty
echo "server killed: a letter sent nothing, and \"Scan\" emptied the list"

start_jackd
start_sink tyros2 "$work/dump2"
xdotool key --window "$WID" c
expect_quiet "$work/dump2" "a letter before \"Scan\""
scan_expecting listed
xdotool key --window "$WID" d
wait_for_messages "$work/dump2" 3
expect_quiet "$work/dump2" "after one letter"
expect_equal "the new server's instrument" "$TYROS2_SEQUENCE" "$(messages "$work/dump2")"
echo "server back: \"Scan\" listed its instrument, and a letter reached it byte for byte"
close_program "$work/log"

# ---- no server at the start, one started later ----------------------------
stop_sink
stop_jackd
start_program "$program" Lumivant "$work/log"
[ "$(field_colours)" -eq 1 ] || { echo "with no server the port list shows something"; exit 1; }
start_jackd
start_sink tyros "$work/dump3"
scan_expecting listed
xdotool key --window "$WID" e
wait_for_messages "$work/dump3" 3
expect_equal "a server started after the program" "$TYROS2_SEQUENCE" "$(messages "$work/dump3")"
echo "started before any server: \"Scan\" found the server, and a letter reached the instrument"
close_program "$work/log"
