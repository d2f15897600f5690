#!/usr/bin/env bash
# Writes docs/faults.md again from a run of the fault matrix test:
#   tools/faults.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target test_cli
ZAMBRIX_WRITE_FAULTS_MD="$root/docs/faults.md" "$build/bin/test_cli" --gtest_filter='FaultMatrix.*'
echo "written: docs/faults.md"
