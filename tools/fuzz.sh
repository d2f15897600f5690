#!/usr/bin/env bash
# Long fuzzing runs: builds the libFuzzer targets (clang, ASan, UBSan) into
# build-fuzz/ and runs each for SECONDS (default 600), on all cores by turns.
# New interesting inputs collect in build-fuzz/fuzz-corpus/TARGET; crashes in
# build-fuzz/fuzz-artifacts/. Keep a finding as a regression case by copying it
# into tests/fuzz/corpus/TARGET/ once it is fixed.
#   tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
ZAMBRIX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ZAMBRIX_ROOT/tools/setup.sh"
seconds=${1:-600}
shift || true
build=$ZAMBRIX_ROOT/build-fuzz
zambrix_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DZAMBRIX_FUZZ=ON -DZAMBRIX_TESTS=OFF -DZAMBRIX_GUI=OFF -DZAMBRIX_BENCH=OFF -DZAMBRIX_WERROR=OFF
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$ZAMBRIX_ROOT"/tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
for t in "${targets[@]}"; do
  echo "== $t for ${seconds}s"
  (cd "$build" && "./bin/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -jobs="$(nproc)" -workers="$(nproc)" -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-artifacts/$t-" "$build/fuzz-corpus/$t" "$ZAMBRIX_ROOT/tests/fuzz/corpus/$t" \
    2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done' || true)
done
ls "$build"/fuzz-artifacts/ 2>/dev/null | sed 's/^/finding: /' || true
