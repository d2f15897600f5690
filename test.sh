#!/usr/bin/env bash
# Sets up this machine, builds, and runs every test: the core tests (also under
# the address and undefined-behaviour sanitizers), the CLI tests and the window
# tests on Qt's offscreen platform. Both builds treat warnings as errors; the
# second is the Release configuration packagers build. Exits non-zero on any
# failure.
set -euo pipefail
ZAMBRIX_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$ZAMBRIX_ROOT/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== sanitizer build (core tests)"
zambrix_build "$ZAMBRIX_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DZAMBRIX_GUI=OFF \
  -DZAMBRIX_SANITIZE=ON -DZAMBRIX_BENCH=OFF -DZAMBRIX_WERROR=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$ZAMBRIX_ROOT/build-asan" -L core -j "$jobs" --output-on-failure

echo "== release build (all tests)"
zambrix_build "$ZAMBRIX_ROOT/build-release" -DCMAKE_BUILD_TYPE=Release -DZAMBRIX_WERROR=ON
ctest --test-dir "$ZAMBRIX_ROOT/build-release" -j "$jobs" --output-on-failure
