#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of
# it with the project's .clang-format, and names the files. Fix with
#   clang-format-14 -i FILE...
set -eu
root=${1:-.}
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "clang-format is not installed (apt-get install clang-format-14)"
  exit 1
fi
cd "$root"
mapfile -d '' files < <(find src tests bench tools \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
# One clang-format for every file: it names each line it would change.
if ! out=$("$format" --dry-run -Werror "${files[@]}" 2>&1); then
  echo "Files that differ from clang-format's output:"
  grep -oE '^[^:]+\.(cpp|h):' <<<"$out" | sort -u | sed 's/:$//; s/^/  /'
  exit 1
fi
echo "every C++ file (${#files[@]}) as clang-format writes it"
