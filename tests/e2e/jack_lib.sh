# Shared by the end-to-end scripts: a private JACK server on its dummy
# driver, and jack_midi_dump as the instrument. Uses xvfb_lib.sh's process
# and window helpers: source that first.

# start_jackd [NAME]: the server, named NAME when there is no display.
start_jackd() {
  for tool in jackd jack_lsp jack_midi_dump; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh test installs it)"; exit 1; }
  done
  # Named after the private display, so a server killed hard leaves its
  # name to the next run instead of using up one of JACK's few server slots.
  export JACK_DEFAULT_SERVER="lumivant-e2e-${1:-${DISPLAY#:}}"
  # Synchronous (-S): without real-time scheduling a busy machine can make
  # jack_midi_dump miss a cycle, and with it the messages delivered then.
  jackd --no-realtime -S -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"${JACKD_LOG:-/dev/null}" 2>&1 &
  JACKD_PID=$!
  note_started "$JACKD_PID"
  for _ in $(seq 1 100); do
    jack_lsp >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "jackd did not start"
  exit 1
}

# After its clients have ended.
stop_jackd() {
  stop_pid "${JACKD_PID:-}"
  JACKD_PID=
}

# start_sink NAME FILE: jack_midi_dump as client NAME, one message a line
# in FILE; returns once its port is listed.
start_sink() {
  stdbuf -oL jack_midi_dump "$1" >"$2" 2>/dev/null &
  SINK_PID=$!
  note_started "$SINK_PID"
  for _ in $(seq 1 100); do
    jack_lsp 2>/dev/null | grep -qxF "$1:input" && return 0
    sleep 0.1
  done
  echo "jack_midi_dump did not start as $1"
  exit 1
}

# stop_sink [NAME]: ends the sink; with NAME, returns once its port is gone
# from the server's list (the server notices a client's end on its own time).
stop_sink() {
  # jack_midi_dump leaves the graph properly on a hang-up; killed by SIGTERM
  # it would stall a synchronous server for its five-second timeout.
  stop_pid "${SINK_PID:-}" HUP
  SINK_PID=
  [ -n "${1:-}" ] || return 0
  for _ in $(seq 1 100); do
    jack_lsp 2>/dev/null | grep -qxF "$1:input" || return 0
    sleep 0.1
  done
  echo "the port $1:input stayed after its client ended"
  exit 1
}

# The two models' sequences as messages() shows them.
TYROS_SEQUENCE=$'f0 43 73 01 51 09 00 00 00 f7\nf0 43 73 01 51 09 00 01 00 f7'
TYROS2_SEQUENCE=$'f0 43 10 4c 00 00 7e 00 f7\nf0 43 73 01 51 09 00 00 00 f7\nf0 43 73 01 51 09 00 02 01 03 f7'

# The messages in a dump, without the frame offsets: "f0 43 ... f7".
messages() { sed -E 's/^ *[0-9]+: //' "$1"; }

message_count() { messages "$1" | wc -l; }

# Waits up to $3 seconds (default 10) until dump $1 holds $2 messages.
wait_for_messages() {
  local tries=$(( ${3:-10} * 10 ))
  for _ in $(seq 1 "$tries"); do
    [ "$(message_count "$1")" -ge "$2" ] && return 0
    sleep 0.1
  done
  echo "expected $2 messages, the instrument got $(message_count "$1")"
  exit 1
}

# expect_quiet DUMP WHAT: nothing more arrives in DUMP within half a second.
expect_quiet() {
  local before
  before=$(message_count "$1")
  sleep 0.5
  expect_equal "$2" "$before" "$(message_count "$1")"
}

# start_all PROGRAM PORT DUMP LOG: a display, a server with the instrument
# as PORT dumping into DUMP, then PROGRAM in its window with the keyboard,
# its output in LOG.
start_all() {
  start_xvfb
  start_jackd
  start_sink "$2" "$3"
  start_program "$1" Lumivant "$4"
}

# stop_all [PATH...]: a script's exit trap after start_all: ends the
# program, the instrument, the server and the display in that order, takes
# away PATHs, and fails if anything still runs.
stop_all() {
  stop_program
  stop_sink
  stop_jackd
  stop_xvfb
  rm -rf "$@"
  expect_nothing_left
}
