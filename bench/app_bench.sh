#!/usr/bin/env bash
# The whole-program benchmarks under a private Xvfb and a private JACK server
# (dummy driver, 48 kHz, 256 frames). Usage: app_bench.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build}" && pwd)/bin
. "$here/../tests/e2e/xvfb_lib.sh"
. "$here/../tests/e2e/jack_lib.sh"

# The harnesses run in the foreground and stop the programs they start;
# only the servers are left.
trap 'stop_jackd; stop_xvfb' EXIT
start_xvfb
start_jackd

"$bin/startup_bench" "$bin/lumivant" "$bin/bare_sdl_window" 15
echo
"$bin/key_to_sysex_bench" "$bin/lumivant" 30
echo
"$bin/flash_bench"
