#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a layer above its own.
# Arrows point down only:
#   gui, cli  ->  app  ->  ops, buffers, setup, devices  ->  link  <-  sim
# and everything but the simulated board and the link may use base (the
# window model, the reporting interface, text helpers, safe saves, the stop
# request, the front ends' interfaces).
# The simulated board sees nothing of the program but the port and the clock.
# tools/layers_allowed.txt lists the upward includes still to be removed, one
# "file: header" a line; an upward include not listed there fails, and so does
# a listed one that is gone (so the list only shrinks).
set -eu
root=${1:-.}
allowed_file="$root/tools/layers_allowed.txt"

# The folders a folder's files may include from (besides their own).
may_include() {
  case $1 in
    gui) echo "app ops buffers setup devices link sim base" ;;
    cli) echo "app ops buffers setup devices link sim base" ;;
    app) echo "ops buffers setup devices link sim base" ;;
    ops | buffers | setup | devices) echo "ops buffers setup devices link base" ;;
    link) echo "" ;;
    sim) echo "link/port.h link/clock.h" ;;
    *) echo "" ;;
  esac
}

found=$(mktemp)
trap 'rm -f "$found"' EXIT
cd "$root"
grep -rnoE '^#[[:space:]]*include[[:space:]]*"[a-z_]+/[^"]+"' src --include='*.cpp' --include='*.h' |
  while IFS=: read -r file _ directive; do
    layer=${file#src/}
    layer=${layer%%/*}
    header=${directive#*\"}
    header=${header%\"}
    target=${header%%/*}
    [ "$target" = "$layer" ] && continue
    ok=no
    for entry in $(may_include "$layer"); do
      if [ "$entry" = "$target" ] || [ "$entry" = "$header" ]; then ok=yes; fi
    done
    [ "$ok" = yes ] || echo "$file: $header"
  done | sort -u >"$found"

listed=$(grep -vE '^[[:space:]]*(#|$)' "$allowed_file" | sort -u)
new=$(comm -23 "$found" <(echo "$listed") | grep . || true)
gone=$(comm -13 "$found" <(echo "$listed") | grep . || true)
status=0
if [ -n "$new" ]; then
  echo "Includes that point up a layer:"
  echo "$new"
  status=1
fi
if [ -n "$gone" ]; then
  echo "Listed in tools/layers_allowed.txt but no longer included (remove the lines):"
  echo "$gone"
  status=1
fi
[ "$status" -eq 0 ] && echo "layers point down ($(echo "$listed" | grep -c . || true) known upward includes left)"
exit "$status"
