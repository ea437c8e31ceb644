# Shared by the end-to-end scripts: a private Xvfb, the processes a script
# starts, the program's window and its pixels, and small assertions.

# Every process the script starts in the background, so that its end can
# check that none outlived it.
STARTED_PIDS=()

note_started() { STARTED_PIDS+=("$1"); }

# running PID: PID is a child of this script that has not ended (a child
# that ended but was not waited for is no longer running).
running() {
  local ppid stat
  read -r ppid stat < <(ps -o ppid=,stat= -p "$1" 2>/dev/null) || return 1
  [ "$ppid" = "$$" ] && [ "${stat#Z}" = "$stat" ]
}

# stop_pid PID [SIGNAL]: asks a process of this script to end (SIGTERM
# unless told), kills it when it has not within 5 s, and waits for it.
# Nothing happens for an empty PID.
stop_pid() {
  [ -n "${1:-}" ] || return 0
  if running "$1"; then
    kill -"${2:-TERM}" "$1" 2>/dev/null || true
    for _ in $(seq 1 50); do
      running "$1" || break
      sleep 0.1
    done
    if running "$1"; then
      echo "$(ps -o comm= -p "$1") ($1) ignored SIG${2:-TERM}; killed"
      kill -9 "$1" 2>/dev/null || true
    fi
  fi
  wait "$1" 2>/dev/null || true
}

# Last in a script's exit trap, after stopping what it started: kills what
# still runs of it and fails the script if there was anything.
expect_nothing_left() {
  local pid left=
  for pid in "${STARTED_PIDS[@]}"; do
    running "$pid" || continue
    left+=" $(ps -o comm= -p "$pid") ($pid)"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [ -z "$left" ] || { echo "still running at the end:$left"; exit 1; }
}

start_xvfb() {
  for tool in Xvfb xdotool xwininfo xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh test installs it)"; exit 1; }
  done
  # Xvfb picks a free display itself and prints it once it accepts
  # clients, so scripts run in parallel never share a server.
  XVFB_OUT=$(mktemp)
  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$XVFB_OUT" 2>/dev/null &
  XVFB_PID=$!
  note_started "$XVFB_PID"
  for _ in $(seq 1 150); do
    if [ -s "$XVFB_OUT" ] && grep -q '^[0-9]*$' "$XVFB_OUT"; then
      export DISPLAY=":$(head -n 1 "$XVFB_OUT")"
      rm -f "$XVFB_OUT"
      return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start"
  exit 1
}

# After the programs on it have ended.
stop_xvfb() {
  stop_pid "${XVFB_PID:-}"
  XVFB_PID=
}

# start_program PROGRAM TITLE LOG: runs PROGRAM on the display, its output
# in LOG, and gives the keyboard to its window TITLE once that shows. The
# program is PROGRAM_PID, its window WID.
start_program() {
  "$1" >"$3" 2>&1 &
  PROGRAM_PID=$!
  note_started "$PROGRAM_PID"
  WID=$(xdotool search --sync --name "^$2\$" | head -n 1)
  xdotool windowfocus --sync "$WID"
}

# In an exit trap, before the display goes.
stop_program() {
  stop_pid "${PROGRAM_PID:-}"
  PROGRAM_PID=
}

# close_program LOG: closes the program as a closed window would, and
# expects status 0 and nothing in LOG (its output).
close_program() {
  local status=0
  kill -0 "$PROGRAM_PID" || { echo "the program ended"; cat "$1"; exit 1; }
  # No window manager here to send a close request; SDL turns SIGTERM into
  # the same quit a closed window gives.
  kill -TERM "$PROGRAM_PID"
  wait "$PROGRAM_PID" || status=$?
  PROGRAM_PID=
  expect_equal "exit status after closing" 0 "$status"
  [ ! -s "$1" ] || { echo "the program wrote:"; cat "$1"; exit 1; }
}

# expect_end_on_lost_display LOG TITLE: once the program's window TITLE
# shows, kills the X server hard and expects the program to end within a
# second with a non-zero status, its last line in LOG (its output) saying
# that the display was lost.
expect_end_on_lost_display() {
  local pid=$PROGRAM_PID log=$1 status=0 start ms
  xdotool search --sync --onlyvisible --name "^$2\$" >/dev/null
  kill -9 "$XVFB_PID"
  start=$(date +%s%N)
  stop_xvfb 2>/dev/null  # reaps it without bash's "Killed" notice
  # A server killed so cannot take away its lock and socket.
  rm -f "/tmp/.X${DISPLAY#:}-lock" "/tmp/.X11-unix/X${DISPLAY#:}"
  while running "$pid" && [ $(($(date +%s%N) - start)) -lt 1000000000 ]; do sleep 0.02; done
  ms=$((($(date +%s%N) - start) / 1000000))
  if running "$pid"; then
    echo "the program still ran $ms ms after its X server was killed"
    exit 1
  fi
  wait "$pid" || status=$?
  PROGRAM_PID=
  [ "$status" -ne 0 ] || { echo "the program ended with status 0 when its display was lost"; exit 1; }
  tail -n 1 "$log" | grep -q ": lost the connection to the X display $DISPLAY\$" ||
    { echo "the program did not say it lost its display; it said:"; sed 's/^/  /' "$log"; exit 1; }
  echo "lost display: the program ended $ms ms after its X server, status $status"
}

# Waits up to 10 s for a line equal to $2 in file $1.
wait_for_line() {
  for _ in $(seq 1 100); do
    grep -qxF "$2" "$1" && return 0
    sleep 0.1
  done
  echo "expected the line '$2'; the program said:"
  sed 's/^/  /' "$1"
  exit 1
}

expect_equal() {
  if [ "$2" != "$3" ]; then
    echo "$1: expected '$2', got '$3'"
    exit 1
  fi
}

# The window's client size, "WIDTH HEIGHT".
client_size() { xwininfo -id "$WID" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}'; }

click_at() { xdotool mousemove --window "$WID" "$1" "$2" click 1; }

# pixels IMAGE GEOMETRY: the pixels of IMAGE within GEOMETRY (WxH+X+Y), row
# by row, one "#RRGGBB" a line.
pixels() { convert "$1" -crop "$2" +repage -depth 8 txt:- | tail -n +2 | awk '{print $3}'; }

# screen_pixels GEOMETRY: the pixels of the window as it shows now.
screen_pixels() {
  local shot
  shot=$(mktemp --suffix=.png)
  import -window "$WID" "$shot"
  pixels "$shot" "$1"
  rm -f "$shot"
}
