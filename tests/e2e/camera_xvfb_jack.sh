#!/usr/bin/env bash
# The camera button of the real program under a private Xvfb and JACK
# server, driven by real mouse and key events, its faces read off the
# screen. Usage: camera_xvfb_jack.sh LUMIVANT REST.bmp FLASH.bmp
set -euo pipefail
program=$1
rest=$2
flash=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"
. "$here/jack_lib.sh"

work=$(mktemp -d)
trap 'stop_all "$work"' EXIT

tyros2=$TYROS2_SEQUENCE

dump=$work/dump
start_all "$program" tyros "$dump" "$work/log"

# The button's place in the window, a point on it, and one off it.
left=180 top=142 right=266 bottom=206
on_x=$((left + 40)) on_y=$((top + 30))
off_x=20 off_y=20
# The lens centre of a face, never its transparent ground.
lens_x=43 lens_y=36

screen_pixel() { screen_pixels "1x1+$1+$2"; }
rest_lens=$(pixels "$rest" "1x1+$lens_x+$lens_y")
flash_lens=$(pixels "$flash" "1x1+$lens_x+$lens_y")
[ "$rest_lens" != "$flash_lens" ] || { echo "the two faces agree at the lens"; exit 1; }
btnface='#D4D0C8' dkshadow='#404040'

# At rest: the dark frame and the resting face at the button's corner.
expect_equal "frame top-left at rest" "$btnface" "$(screen_pixel $left $top)"
expect_equal "frame bottom-right at rest" "$dkshadow" "$(screen_pixel $right $bottom)"
expect_equal "resting face" "$rest_lens" "$(screen_pixel $((left + lens_x)) $((top + lens_y)))"

# Held: the sunken frame and the flashing face one pixel down and right.
xdotool mousemove --window "$WID" $on_x $on_y mousedown 1
sleep 0.3
expect_equal "frame top-left pressed" "$dkshadow" "$(screen_pixel $left $top)"
expect_equal "frame bottom-right pressed" "$btnface" "$(screen_pixel $right $bottom)"
expect_equal "flashing face pressed" "$flash_lens" "$(screen_pixel $((left + lens_x + 1)) $((top + lens_y + 1)))"
xdotool mouseup 1
wait_for_messages "$dump" 3
expect_equal "one click, one command" "$tyros2" "$(messages "$dump")"
expect_equal "resting face after the click" "$rest_lens" "$(screen_pixel $((left + lens_x)) $((top + lens_y)))"
expect_quiet "$dump" "after one click"
echo "left click: pressed look and flash while held, one command, resting face after"

# A press released outside, a right and a middle click: nothing is sent.
xdotool mousemove --window "$WID" $on_x $on_y mousedown 1 mousemove --window "$WID" $off_x $off_y mouseup 1
xdotool mousemove --window "$WID" $on_x $on_y click 3 click 2
expect_quiet "$dump" "release outside, right and middle click"
expect_equal "resting face after them" "$rest_lens" "$(screen_pixel $((left + lens_x)) $((top + lens_y)))"
echo "release outside, right and middle clicks: nothing sent"

# A double click sends twice.
xdotool mousemove --window "$WID" $on_x $on_y click --repeat 2 --delay 100 1
wait_for_messages "$dump" 9
expect_quiet "$dump" "after the double click"
echo "double click: two commands"

# Shift and an arrow key: the flash while held, nothing sent.
for key in Shift_L Left; do
  xdotool keydown --window "$WID" $key
  sleep 0.2
  expect_equal "flash while $key is held" "$flash_lens" "$(screen_pixel $((left + lens_x)) $((top + lens_y)))"
  expect_equal "no pressed look from $key" "$btnface" "$(screen_pixel $left $top)"
  xdotool keyup --window "$WID" $key
  sleep 0.2
  expect_equal "rest after $key" "$rest_lens" "$(screen_pixel $((left + lens_x)) $((top + lens_y)))"
done
expect_quiet "$dump" "Shift and arrow"
echo "Shift and arrow: flash while held, nothing sent"

# A held letter keeps the flash and sends once per repeated character (the
# arrow key above checked Tyros: two messages a command).
before=$(message_count "$dump")
xset r rate 200 20
xdotool keydown --window "$WID" a
sleep 1.2
expect_equal "flash while a letter is held" "$flash_lens" "$(screen_pixel $((left + lens_x)) $((top + lens_y)))"
xdotool keyup --window "$WID" a
sleep 0.3
sent=$(( $(message_count "$dump") - before ))
[ $((sent % 2)) -eq 0 ] && [ $((sent / 2)) -ge 2 ] || { echo "held letter sent $sent messages"; exit 1; }
echo "held letter: $((sent / 2)) commands while held"
expect_equal "rest after the letter" "$rest_lens" "$(screen_pixel $((left + lens_x)) $((top + lens_y)))"

# A key released while the mouse is still held shows the resting face.
xdotool mousemove --window "$WID" $on_x $on_y mousedown 1
sleep 0.2
xdotool keydown --window "$WID" Shift_L keyup --window "$WID" Shift_L
sleep 0.2
expect_equal "rest after the key, mouse still held" "$rest_lens" \
  "$(screen_pixel $((left + lens_x + 1)) $((top + lens_y + 1)))"
xdotool mousemove --window "$WID" $off_x $off_y mouseup 1
echo "key released under a held mouse: resting face"

close_program "$work/log"
