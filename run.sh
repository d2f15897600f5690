#!/usr/bin/env bash
# Sets up this machine, builds, and starts the programmer's window.
# Options go to the program, e.g. ./run.sh --board sim --sim-model 4
# Without a usable parallel port the program runs on the simulated board.
set -euo pipefail
ZAMBRIX_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$ZAMBRIX_ROOT/tools/setup.sh"
zambrix_build "$ZAMBRIX_ROOT/build" -DCMAKE_BUILD_TYPE=Release
bin="$ZAMBRIX_ROOT/build/bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  echo "No display found: starting the command-line front end instead."
  if [ $# -eq 0 ]; then set -- --help; fi
  exec "$bin/zambrix-cli" "$@"
fi
exec "$bin/zambrix" "$@"
