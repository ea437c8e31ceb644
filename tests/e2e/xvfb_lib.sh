# Shared by the end-to-end scripts: a private Xvfb and small assertions.

start_xvfb() {
  for tool in Xvfb xdotool xwininfo xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh test installs it)"; exit 1; }
  done
  # Xvfb picks a free display itself and prints it once it accepts
  # clients, so scripts run in parallel never share a server.
  XVFB_OUT=$(mktemp)
  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$XVFB_OUT" 2>/dev/null &
  XVFB_PID=$!
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
