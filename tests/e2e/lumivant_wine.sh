#!/usr/bin/env bash
# The Windows program under wine on a private Xvfb, beside the Linux one:
# the same window, pixel for pixel, with the same (empty) port list, and a
# close that ends it with status 0.
# Usage: lumivant_wine.sh LUMIVANT LUMIVANT.EXE
# WINEPREFIX names the wine prefix to use (made when missing).
set -euo pipefail
linux_program=$1
windows_program=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"

: "${WINEPREFIX:?set WINEPREFIX to the wine prefix to use}"
export WINEPREFIX WINEDEBUG=-all
work=$(mktemp -d)
stop_wine() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
trap 'stop_program; stop_wine; stop_xvfb; rm -rf "$work"; expect_nothing_left' EXIT

start_xvfb
# No MIDI system for either program: no ALSA sequencer here, and a JACK
# server name that nothing serves.
export JACK_DEFAULT_SERVER=lumivant-none-$$

start_program "$linux_program" Lumivant "$work/linux.log"
import -window "$WID" "$work/linux.png"
close_program "$work/linux.log"

# A prefix of our own, without sound drivers: none is needed, and wine's
# would probe ALSA aloud.
wineserver -p
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
run_windows_program() { exec wine "$windows_program"; }
start_program run_windows_program Lumivant "$work/windows.log"
expect_equal "client size" "300 300" "$(client_size)"
expect_equal "title" "Lumivant" "$(xdotool getwindowname "$WID")"
import -window "$WID" "$work/windows.png"
differing=$(compare -metric AE "$work/linux.png" "$work/windows.png" null: 2>&1 || true)
expect_equal "pixels that differ from the Linux program's window" 0 "$differing"
echo "window: 300 x 300, titled Lumivant, pixel for pixel the Linux program's"

# Alt+F4 is the close a window manager would send.
xdotool key --window "$WID" alt+F4
status=0
wait "$PROGRAM_PID" || status=$?
PROGRAM_PID=
expect_equal "exit status after closing" 0 "$status"
[ ! -s "$work/windows.log" ] || { echo "the program wrote:"; cat "$work/windows.log"; exit 1; }
echo "close: status 0"
