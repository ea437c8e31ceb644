#!/usr/bin/env bash
# The Windows program under wine on a private Xvfb, beside the Linux one:
# the same window, pixel for pixel, with the same (empty) port list, and a
# close that ends it with status 0.
# Then, with a test MIDI driver installed in wine (TEST_DRIVER, a MIDI output
# "Lumivant Test MIDI" that writes what it receives to a log), a typed
# letter and a click on the camera each deliver the chosen model's
# sequence, whole and in order; with no entry selected the MIDI mapper
# receives it; 200 typed letters deliver 200 sequences. Last, the command
# line run through cmd: the port list, a command, and its failures.
# Usage: lumivant_wine.sh LUMIVANT LUMIVANT.EXE TEST_DRIVER
# WINEPREFIX names the wine prefix to use (made when missing).
set -euo pipefail
linux_program=$1
windows_program=$2
test_driver=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"

: "${WINEPREFIX:?set WINEPREFIX to the wine prefix to use}"
export WINEPREFIX WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
work=$(mktemp -d)
stop_wine() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
trap 'stop_program; stop_wine; stop_xvfb; [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"; expect_nothing_left' EXIT

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

# close_windows_program LOG: Alt+F4, the close a window manager would send;
# expects status 0 and nothing in LOG.
close_windows_program() {
  local status=0
  xdotool key --window "$WID" alt+F4
  wait "$PROGRAM_PID" || status=$?
  PROGRAM_PID=
  expect_equal "exit status after closing" 0 "$status"
  [ ! -s "$1" ] || { echo "the program wrote:"; cat "$1"; exit 1; }
}
close_windows_program "$work/windows.log"
echo "close: status 0"

# ---- MIDI through the test driver ------------------------------------------
midi_log=$work/midi.log
cp "$test_driver" "$WINEPREFIX/drive_c/windows/system32/winelvtest.drv"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d lvtest /f >/dev/null 2>&1
export LUMIVANT_TEST_MIDI_LOG="Z:${midi_log//\//\\}"
start_program run_windows_program Lumivant "$work/windows.log"

tyros2=$'sysex f0 43 10 4c 00 00 7e 00 f7\nsysex f0 43 73 01 51 09 00 00 00 f7\nsysex f0 43 73 01 51 09 00 02 01 03 f7'
tyros=$'sysex f0 43 73 01 51 09 00 00 00 f7\nsysex f0 43 73 01 51 09 00 01 00 f7'
direct() { printf 'open EVENT\n%s\nclose' "$1"; }

# commands_after LINES: the log from line LINES + 1 on, once it holds COUNT
# more "close" lines (waits up to 60 s).
commands_after() {
  local from=$1 count=$2
  for _ in $(seq 1 600); do
    [ "$(tail -n +$((from + 1)) "$midi_log" 2>/dev/null | grep -c '^close$')" -ge "$count" ] && break
    sleep 0.1
  done
  tail -n +$((from + 1)) "$midi_log"
}
lines() { [ -f "$midi_log" ] && wc -l <"$midi_log" || echo 0; }

# The port list holds the test driver's output, chosen: a typed letter
# sends the Tyros 2 sequence (the model checked at start) to it.
xdotool key --window "$WID" a
expect_equal "typed letter" "$(direct "$tyros2")" "$(commands_after 0 1)"
at=$(lines)
xdotool mousemove --window "$WID" 220 172 click 1
expect_equal "camera click" "$(direct "$tyros2")" "$(commands_after "$at" 1)"
at=$(lines)
click_at 42 188
xdotool key --window "$WID" b
expect_equal "Tyros" "$(direct "$tyros")" "$(commands_after "$at" 1)"
echo "commands: a typed letter and a click each send the model's sequence, whole and in order"

# Typing into the port list's field sends, then leaves the edited text
# naming no entry: the next command goes to the MIDI mapper, which passes it
# on to the one output there is. Wine's mapper opens the output without a
# callback and passes a System Exclusive message on once for every channel
# it maps: here all 16 lead to that output.
click_at 42 144
click_at 150 82
at=$(lines)
xdotool key --window "$WID" End z
commands_after "$at" 1 >/dev/null
at=$(lines)
xdotool key --window "$WID" z
for _ in $(seq 1 100); do
  [ "$(tail -n +$((at + 1)) "$midi_log" | grep -c '^sysex')" -ge 48 ] && break
  sleep 0.1
done
mapped=$(tail -n +$((at + 1)) "$midi_log")
expect_equal "opened by the mapper" "open NULL" "$(head -n 1 <<<"$mapped")"
expect_equal "through the mapper" "$tyros2" "$(grep '^sysex' <<<"$mapped" | uniq)"
echo "mapper: with no entry selected the command went through the MIDI mapper"

# 200 letters back to back: 200 whole sequences, in order.
click_at 236 82  # Scan: the output chosen again, the button focused
at=$(lines)
xdotool type --window "$WID" --delay 1 "$(printf 'x%.0s' $(seq 1 200))"
for _ in $(seq 1 200); do direct "$tyros2"; echo; done >"$work/expected"
commands_after "$at" 200 >"$work/got"
cmp -s "$work/expected" "$work/got" ||
  { echo "200 commands: $(grep -c '^close$' "$work/got") of 200 arrived, or not whole and in order"; exit 1; }
echo "200 commands: 600 messages whole and in order"

close_windows_program "$work/windows.log"
echo "close: status 0"

# ---- the command line --------------------------------------------------------
# As a script runs the windowed program: through cmd, its output redirected.
# cli ARGS...: lumivant.exe ARGS; the status in STATUS, what it wrote in
# $work/cli.out and $work/cli.err, without the CRs.
cli() {
  STATUS=0
  wine cmd /c "$(winepath -w "$windows_program") $* >$(winepath -w "$work/cli.out") 2>$(winepath -w "$work/cli.err")" ||
    STATUS=$?
  sed -i 's/\r$//' "$work/cli.out" "$work/cli.err"
}
cli --list-ports
expect_equal "status of --list-ports" 0 "$STATUS"
expect_equal "--list-ports" $'0\tLumivant Test MIDI' "$(cat "$work/cli.out")"
at=$(lines)
cli --send test --model tyros
expect_equal "status of --send" 0 "$STATUS"
expect_equal "--send" "$(direct "$tyros")" "$(commands_after "$at" 1)"
at=$(lines)
cli --send piano
expect_equal "status for no such port" 1 "$STATUS"
expect_equal "stderr for no such port" 'lumivant: no MIDI output "piano"' "$(cat "$work/cli.err")"
cli --bogus
expect_equal "status for an unknown option" 2 "$STATUS"
grep -q '^Usage: lumivant ' "$work/cli.err" || { echo "no usage on stderr for --bogus"; exit 1; }
expect_equal "after the rejected ones" "" "$(tail -n +$((at + 1)) "$midi_log")"
echo "command line: ports listed, a command sent, statuses 1 and 2, through cmd with redirected output"
