#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of
# it with the project's .clang-format; names the files. Fix with
#   clang-format-14 -i FILE...
set -eu
root=${1:-.}
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "clang-format is not installed (apt-get install clang-format-14)"
  exit 1
fi
cd "$root"
bad=()
while IFS= read -r -d '' f; do
  "$format" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(find src tests bench tools \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
if [ ${#bad[@]} -gt 0 ]; then
  echo "Files that differ from clang-format's output:"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "every C++ file as clang-format writes it"
