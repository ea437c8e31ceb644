#!/usr/bin/env bash
# Runs the Windows build's tests under wine: one wine server, kept warm for
# the whole run (each test program then starts in a fraction of a second),
# and stopped, and waited for, at the end whatever happens.
# Usage: wine-ctest.sh BUILD [ctest options]
set -euo pipefail
build=$(cd "${1:?usage: wine-ctest.sh BUILD [ctest options]}" && pwd)
shift

export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No display is needed: the tests draw into memory. Without one, wine's
# window system stays out of the way.
unset DISPLAY WAYLAND_DISPLAY

wineserver -p
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
wineboot -i >/dev/null 2>&1 || true
cd "$build"
ctest --output-on-failure "$@"
