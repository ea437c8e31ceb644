#!/usr/bin/env bash
# The program's command line, without a display, against a private JACK
# server: jack_midi_dump as the instrument and two more ports whose names
# share a part.
# Usage: lumivant_cli_jack.sh LUMIVANT
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb_lib.sh"
. "$here/jack_lib.sh"
unset DISPLAY

work=$(mktemp -d)
OTHER_PIDS=()
stop_cli() {
  local pid
  for pid in "${OTHER_PIDS[@]}"; do stop_pid "$pid" HUP; done
  stop_sink
  stop_jackd
  rm -rf "$work"
  expect_nothing_left
}
trap stop_cli EXIT

tyros=$TYROS_SEQUENCE
tyros2=$TYROS2_SEQUENCE

start_jackd "cli-$$"
for name in synth-left synth-right; do
  start_sink "$name" "$work/$name"
  OTHER_PIDS+=("$SINK_PID")
done
dump=$work/tyros
start_sink tyros "$dump"

# lumivant ARGS...: runs the program; its status in STATUS, what it wrote
# in $work/out and $work/err.
lumivant() {
  STATUS=0
  "$program" "$@" >"$work/out" 2>"$work/err" || STATUS=$?
}

# expect_run STATUS ARGS...: the program ends with STATUS; 0 says nothing
# on stderr, 1 one line starting "lumivant: ", 2 the usage.
expect_run() {
  local want=$1
  shift
  lumivant "$@"
  expect_equal "status of $*" "$want" "$STATUS"
  case $want in
    0) expect_equal "stderr of $*" "" "$(cat "$work/err")" ;;
    1) expect_equal "lines on stderr of $*" 1 "$(wc -l <"$work/err")"
       grep -q '^lumivant: ' "$work/err" || { echo "stderr of $*: $(cat "$work/err")"; exit 1; } ;;
    2) grep -q '^Usage: lumivant ' "$work/err" || { echo "no usage on stderr for $*"; exit 1; } ;;
  esac
}

expect_run 0 --version
expect_equal "version" "lumivant $("$here/../../scripts/project-version.sh")" "$(cat "$work/out")"
expect_run 0 --help
grep -q '^Usage: lumivant ' "$work/out" || { echo "no usage on stdout for --help"; exit 1; }

# The port list: the instrument and the other two, numbered from 0.
expect_run 0 --list-ports
cat "$work/out"
expect_equal "ports" "0 1 2" "$(cut -f 1 "$work/out" | paste -sd' ')"
expect_equal "names" "synth-left:input synth-right:input tyros:input" "$(cut -f 2 "$work/out" | sort | paste -sd' ')"
number=$(awk -F '\t' '$2 == "tyros:input" {print $1}' "$work/out")
echo "list: the three ports, the instrument as $number"

# By number, exact name and part, each model; the status comes once the
# bytes are delivered, so the dump holds them soon after.
sent=0
for args in "$number" "$number --model tyros" "tyros:input --model tyros2" "tyros:input --model tyros" \
            "TYR" "yros:in --model tyros"; do
  # shellcheck disable=SC2086
  expect_run 0 --send $args
  case $args in *"--model tyros") expected=$tyros; n=2 ;; *) expected=$tyros2; n=3 ;; esac
  wait_for_messages "$dump" $((sent + n))
  expect_equal "--send $args" "$expected" "$(messages "$dump" | tail -n +$((sent + 1)))"
  sent=$((sent + n))
  echo "--send $args: sent, status 0"
done

# Rejected before opening: nothing reaches any port.
expect_run 1 --send piano
expect_run 1 --send 3
expect_run 1 --send synth
expect_equal "ambiguous" 'lumivant: "synth" names several MIDI outputs: "synth-left:input", "synth-right:input"' \
  "$(cat "$work/err")"
expect_run 2 --send tyros --model tyros3
expect_run 2 --bogus
expect_run 2 --send
expect_run 2 --send tyros extra
expect_quiet "$dump" "after the rejected commands"
for name in synth-left synth-right; do
  expect_equal "messages to $name" 0 "$(message_count "$work/$name")"
done
echo "unknown port, ambiguous part, bad model, unknown option: statuses 1 and 2, nothing sent"

# The instrument gone: no such port.
stop_sink tyros
expect_run 1 --send tyros
echo "the instrument gone: status 1"
