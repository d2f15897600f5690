#!/usr/bin/env bash
# Sets up this machine, builds, and runs every test: the whole suite (core,
# command line as processes, and the window on Qt's offscreen platform) under
# the address and undefined-behaviour sanitizers, again in the Release
# configuration packagers build, and a bounded run of every fuzz target. The
# builds here treat warnings as errors. Exits non-zero on any failure.
set -euo pipefail
ZAMBRIX_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$ZAMBRIX_ROOT/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== sanitizer build (all tests)"
zambrix_build "$ZAMBRIX_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DZAMBRIX_SANITIZE=ON -DZAMBRIX_BENCH=OFF \
  -DZAMBRIX_WERROR=ON
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$ZAMBRIX_ROOT/tools/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$ZAMBRIX_ROOT/build-asan" -LE install -j "$jobs" --output-on-failure

echo "== release build (all tests)"
zambrix_build "$ZAMBRIX_ROOT/build" -DCMAKE_BUILD_TYPE=Release -DZAMBRIX_WERROR=ON
ctest --test-dir "$ZAMBRIX_ROOT/build" -j "$jobs" --output-on-failure

echo "== fuzz targets (clang, sanitizers, ${ZAMBRIX_FUZZ_SECONDS:-10} s each)"
zambrix_build "$ZAMBRIX_ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DZAMBRIX_FUZZ=ON -DZAMBRIX_TESTS=OFF -DZAMBRIX_GUI=OFF -DZAMBRIX_BENCH=OFF \
  -DZAMBRIX_FUZZ_SECONDS="${ZAMBRIX_FUZZ_SECONDS:-10}"
ctest --test-dir "$ZAMBRIX_ROOT/build-fuzz" -L fuzz -j "$jobs" --output-on-failure
