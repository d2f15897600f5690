#!/usr/bin/env bash
# The layering check passes a tree whose includes point down, and fails one
# with a planted upward include, an include the simulated board may not make,
# or a listed exception that is gone.
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/src/ops" "$tree/src/link" "$tree/src/sim" "$tree/tools"
printf '#include "link/link.h"\n#include "base/text.h"\n' >"$tree/src/ops/a.cpp"
printf '#include "link/port.h"\n' >"$tree/src/sim/b.cpp"
: >"$tree/tools/layers_allowed.txt"
fail() { echo "FAIL: $*"; exit 1; }
"$check" "$tree" >/dev/null || fail "a tree whose includes point down"
printf '#include "app/core.h"\n' >"$tree/src/link/up.cpp"
"$check" "$tree" >/dev/null && fail "the link including app/core.h"
echo "src/link/up.cpp: app/core.h" >"$tree/tools/layers_allowed.txt"
"$check" "$tree" >/dev/null || fail "a listed exception"
rm "$tree/src/link/up.cpp"
"$check" "$tree" >/dev/null && fail "a listed exception that is gone"
: >"$tree/tools/layers_allowed.txt"
printf '#include "link/latches.h"\n' >>"$tree/src/sim/b.cpp"
"$check" "$tree" >/dev/null && fail "the simulated board including the latches"
echo "layering check: passes and fails as it should"
