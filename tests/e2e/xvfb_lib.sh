# Shared by the end-to-end scripts: a private Xvfb and small assertions.

start_xvfb() {
  for tool in Xvfb xdotool xwininfo xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh test installs it)"; exit 1; }
  done
  local display
  for display in $(seq 101 160); do
    [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ] || break
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY"
  exit 1
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
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
