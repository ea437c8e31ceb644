#!/usr/bin/env bash
# The real program under a private Xvfb with a private JACK server, and
# jack_midi_dump as the instrument, driven by real key and mouse events.
# Usage: lumivant_xvfb_jack.sh LUMIVANT BACKGROUND.bmp
set -euo pipefail
program=$1
background=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"
. "$here/jack_lib.sh"

work=$(mktemp -d)
trap 'stop_all "$work"' EXIT

tyros=$TYROS_SEQUENCE
tyros2=$TYROS2_SEQUENCE

dump=$work/dump
start_all "$program" tyros "$dump" "$work/log"
expect_equal "client size" "300 300" "$(client_size)"
expect_equal "title" "Lumivant" "$(xdotool getwindowname "$WID")"

# The screen: labels white on the dark picture; where the hidden label and
# picture would stand, the background shows unchanged.
shot=$work/shot.png
import -window "$WID" "$shot"
for box in 57x13+54+154 41x13+56+198 31x13+12+280 51x20+54+134 38x20+54+176; do
  white=$(pixels "$shot" "$box" | grep -c '^#FFFFFF$' || true)
  dark=$(convert "$shot" -crop "$box" +repage -depth 8 txt:- | tail -n +2 |
         sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/' | awk '$1 + $2 + $3 < 192 {n++} END {print n + 0}')
  [ "$white" -gt 10 ] && [ "$dark" -gt "$white" ] || { echo "label at $box: $white white, $dark dark pixels"; exit 1; }
done
for box in 119x25+84+96 25x19+8+70; do
  [ "$(pixels "$shot" "$box")" = "$(pixels "$background" "$box")" ] || { echo "something shows at $box"; exit 1; }
done
echo "screen: size, title, labels and hidden controls as described"

# The port list shows the instrument's port, selected: a typed letter sends
# the Tyros 2 sequence (the model checked at start) to it.
xdotool key --window "$WID" a
wait_for_messages "$dump" 3
expect_equal "Tyros 2 sequence" "$tyros2" "$(messages "$dump")"

# Keys without a character send nothing.
xdotool key --window "$WID" Left F5 Shift_L
expect_quiet "$dump" "arrow, function key and Shift"

# The Tyros model: two messages.
click_at 42 188
xdotool key --window "$WID" b
wait_for_messages "$dump" 5
expect_equal "Tyros sequence" "$tyros" "$(messages "$dump" | tail -n 2)"
echo "commands: Tyros 2, Tyros, and nothing for keys without a character"

# 500 commands back to back: every message whole and in order.
click_at 42 144
: >"$dump.expected"
for _ in $(seq 1 500); do echo "$tyros2" >>"$dump.expected"; done
before=$(message_count "$dump")
xdotool type --window "$WID" --delay 1 "$(printf 'x%.0s' $(seq 1 500))"
wait_for_messages "$dump" $((before + 1500)) 180
expect_quiet "$dump" "after 500 commands"
messages "$dump" | tail -n +$((before + 1)) | cmp -s - "$dump.expected" || { echo "500 commands: messages lost or out of order"; exit 1; }
echo "500 commands: 1500 messages whole and in order"

# Typing into the port list's edit field sends and also edits the text.
field=150x15+45+75
screen_pixels "$field" >"$work/field.before"
click_at 150 82
xdotool key --window "$WID" End c
wait_for_messages "$dump" $((before + 1503))
screen_pixels "$field" | cmp -s - "$work/field.before" && { echo "the typed letter did not reach the edit field"; exit 1; }
echo "edit field: the letter was sent and typed"

# The instrument goes away and comes back: only "Scan" brings it back.
click_at 236 82
stop_sink tyros
click_at 236 82
xdotool key --window "$WID" d
dump2=$work/dump2
start_sink tyros "$dump2"
xdotool key --window "$WID" e
expect_quiet "$dump2" "before Scan"
click_at 236 82
xdotool key --window "$WID" f
wait_for_messages "$dump2" 3
expect_equal "after Scan" "$tyros2" "$(messages "$dump2")"
echo "scan: the list follows the ports only when asked"

# ---- letters Windows-1252 lacks --------------------------------------------
# Typed on a Russian, Greek or Polish layout, each is one whole command, and
# the port list's edit field shows a "?" for each: the same pixels as "?"
# typed from the same starting state.
click_at 236 82  # Scan: the instrument's port selected, the button focused
before=$(message_count "$dump2")
xdotool type --window "$WID" --delay 50 "жλł"
wait_for_messages "$dump2" $((before + 9))
expect_quiet "$dump2" "after ж, λ and ł"
expect_equal "ж, λ and ł" "$tyros2"$'\n'"$tyros2"$'\n'"$tyros2" "$(messages "$dump2" | tail -n 9)"
field_now() { screen_pixels 167x21+42+72; }
# The field once two looks a moment apart agree.
settled_field() {
  local last now
  last=$(field_now)
  for _ in $(seq 1 30); do
    sleep 0.3
    now=$(field_now)
    [ "$now" = "$last" ] && { echo "$now"; return 0; }
    last=$now
  done
  echo "the edit field did not settle" >&2
  return 1
}
# From the same state each time: Scan, the field focused with the caret at
# the end of the port's name; then `xdotool type` of $1.
type_into_field() {
  click_at 236 82
  click_at 150 82
  xdotool key --window "$WID" End
  [ -z "$1" ] || xdotool type --window "$WID" --delay 50 "$1"
}
type_into_field ""
focused=$(settled_field)
type_into_field "???"
questions=$(settled_field)
[ "$questions" != "$focused" ] || { echo "\"???\" did not reach the edit field"; exit 1; }
type_into_field "жλł"
typed=$(settled_field)
[ "$typed" = "$questions" ] || { echo "ж, λ and ł do not show as \"???\" in the edit field"; exit 1; }
echo "ж, λ and ł: three commands, and \"?\" for each in the edit field"

close_program "$work/log"
echo "closed with status 0, nothing on stdout or stderr"

# Last, as it takes the display away: a lost X server ends the program at once.
start_program "$program" Lumivant "$work/log"
expect_end_on_lost_display "$work/log" Lumivant
