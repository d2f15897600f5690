#!/usr/bin/env bash
# Runs the benchmarks (Release build in build/) and rewrites the tables of
# docs/benchmarks.md with the figures and the machine they were measured on.
# The budget rows are kept as they are: when the access budgets test fails after a
# deliberate change it prints the new figure, which goes into the table by hand.
#   tools/bench.sh
set -euo pipefail
ZAMBRIX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ZAMBRIX_ROOT/tools/setup.sh"
zambrix_build "$ZAMBRIX_ROOT/build" -DCMAKE_BUILD_TYPE=Release
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for b in "$ZAMBRIX_ROOT"/build/bin/bench_*; do
  name=$(basename "$b")
  [ "$name" = bench_window_bench ] && export QT_QPA_PLATFORM=offscreen
  echo "== $name"
  "$b" --benchmark_format=json --benchmark_out="$out/$name.json" --benchmark_out_format=json >/dev/null
done
python3 "$ZAMBRIX_ROOT/tools/bench_table.py" "$out" "$ZAMBRIX_ROOT/docs/benchmarks.md"
echo "docs/benchmarks.md rewritten"
