#!/usr/bin/env bash
# Takes the README's pictures of the window on the simulated board: after
# start-up at 1024x768, and after choosing "Eprom 27C256" and reading it (F5),
# maximised on a 1920x1080 screen.
# Needs: xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=${2:-1024x768}
if [ "${1:-}" != "--inside" ]; then
  xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside 1024x768
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" --inside 1920x1080
fi
export HOME=$(mktemp -d)
"$root/build/bin/zambrix" --board sim >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$HOME"' EXIT
sleep 3
wid=$(xdotool search --name "ZAMBRIX-6" | head -1)
if [ "$size" = 1024x768 ]; then
  xdotool windowmove "$wid" 0 0
  sleep 0.5
  import -window "$wid" "$root/docs/main-window.png"
  exit 0
fi
# The device list has the focus: Alt+Down opens it, typing finds the entry,
# Return takes it, F5 reads the chip.
xdotool windowsize "$wid" 1920 1050
sleep 0.5
xdotool mousemove --window "$wid" 600 1040 click 1  # the status bar: keys go to the window
sleep 0.3
xdotool key alt+Down
sleep 0.5
xdotool type --delay 40 "Eprom 27C256"
xdotool key Return
sleep 1
xdotool key F5
sleep 3
import -window "$wid" "$root/docs/main-window-read.png"
