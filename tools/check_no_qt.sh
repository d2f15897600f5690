#!/usr/bin/env bash
# Fails when a file outside src/gui includes a Qt header: the core, the CLI and
# the back ends build and run without Qt.
set -eu
root=${1:-.}
hits=$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/)' \
  "$root/src" --include='*.cpp' --include='*.h' | grep -v "^$root/src/gui/" || true)
if [ -n "$hits" ]; then
  echo "Qt headers outside src/gui:"
  echo "$hits"
  exit 1
fi
echo "no Qt outside src/gui"
