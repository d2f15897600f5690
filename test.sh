#!/usr/bin/env bash
# Sets up this machine, builds, and runs every test, in two builds that treat
# warnings as errors:
#  - clang with the address and undefined-behaviour sanitizers: the whole suite
#    (core, command line as processes, and the window on Qt's offscreen
#    platform), then a bounded run of every fuzz target;
#  - the Release configuration packagers build (g++): the whole suite again,
#    the install and package check, and the check that the core has no Qt.
# The sanitizer build's tests run while the Release build compiles; their report
# follows the Release tests'. Exits non-zero on any failure.
set -euo pipefail
ZAMBRIX_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$ZAMBRIX_ROOT/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
asan=$ZAMBRIX_ROOT/build-asan
release=$ZAMBRIX_ROOT/build

echo "== sanitizer build (clang: every test and the fuzz targets)"
# Optimised a little (-O1) and with line tables only: quicker to build and to run
# than a full debug build, and the sanitizers still name file and line.
zambrix_build "$asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
  "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" -DZAMBRIX_PCH=ON \
  -DZAMBRIX_FUZZ=ON -DZAMBRIX_FUZZ_SECONDS="${ZAMBRIX_FUZZ_SECONDS:-10}" -DZAMBRIX_BENCH=OFF \
  -DZAMBRIX_WERROR=ON

echo "== sanitizer tests and fuzz runs (${ZAMBRIX_FUZZ_SECONDS:-10} s each), in the background"
# The broad runs (every fault against every operation, every device on every
# board model, every device at every speed) repeat under the sanitizers what the
# focused tests already run there; they run once, in the Release build, as do
# the checks of the sources themselves.
broad='^(FaultMatrix|NoHarm|Model/NoHarmOn|Models/DatasheetTiming)\.|^(sources_formatted|layers_point_down|layers_check_fails_on_upward_includes|planted_faults_apply|core_has_no_qt)$'
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$ZAMBRIX_ROOT/tools/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$asan" -LE install -E "$broad" -j "$jobs" --output-on-failure >"$asan/tests.log" 2>&1 &
asan_tests=$!
trap 'wait' EXIT  # never leaves the tests running behind

echo "== release build (all tests)"
zambrix_build "$release" -DCMAKE_BUILD_TYPE=Release -DZAMBRIX_WERROR=ON
release_status=0
ctest --test-dir "$release" -j "$jobs" --output-on-failure || release_status=$?

echo "== sanitizer tests and fuzz runs"
asan_status=0
wait "$asan_tests" || asan_status=$?
cat "$asan/tests.log"
[ "$release_status" -eq 0 ] && [ "$asan_status" -eq 0 ]
