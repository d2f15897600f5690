#!/usr/bin/env bash
# Takes the README's pictures of the window on the simulated board: after
# start-up, and after choosing "Eprom 27C256" and reading it.
# Needs: xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" != "--inside" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside
fi
export HOME=$(mktemp -d)
"$root/build/bin/zambrix" --board sim >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$HOME"' EXIT
sleep 3
wid=$(xdotool search --name "ZAMBRIX-6" | head -1)
xdotool windowmove "$wid" 0 0
sleep 0.5
import -window "$wid" "$root/docs/main-window.png"
# Open the device list, go down to "Eprom 27C256" and take it; then Read.
xdotool mousemove 304 106 click 1
sleep 0.7
xdotool key Down Down Down Down Down Down Down Down Down Down Return
sleep 1
xdotool mousemove 592 241 click 1
sleep 3
import -window "$wid" "$root/docs/main-window-read.png"
