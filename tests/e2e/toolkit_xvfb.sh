#!/usr/bin/env bash
# The framework under a real X server: the SDL2 backend opens a window of
# the requested client size, and real key and click events (xdotool) reach
# the right controls; a lost X server ends it at once. Usage: toolkit_xvfb.sh DEMO_PROGRAM
set -euo pipefail
demo=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"

log=$(mktemp)
cleanup() {
  stop_program
  stop_xvfb
  rm -f "$log"
  expect_nothing_left
}
trap cleanup EXIT

start_xvfb
start_program "$demo" "Toolkit demo" "$log"
wait_for_line "$log" "ready"
expect_equal "client size" "300 300" "$(client_size)"

click_at 60 32
wait_for_line "$log" "click Button1"
click_at 28 78
wait_for_line "$log" "click RB1"
# The label beside the radio buttons is not a radio button.
click_at 130 30
wait_for_line "$log" "click Label1"

# Key preview: the form sees the key first, then the focused control.
xdotool key --window "$WID" x
wait_for_line "$log" "form keydown 88"
wait_for_line "$log" "form keypress 120"

# Into the combo box's edit field: the text changes there.
click_at 60 160
xdotool key --window "$WID" End
xdotool type --window "$WID" "Z"
wait_for_line "$log" "combo text First portZ"

# Last, as it takes the display away.
expect_end_on_lost_display "$log" "Toolkit demo"

echo "toolkit under Xvfb: all checks passed"
