#!/usr/bin/env bash
# Takes the README's pictures of the window on the simulated board. At
# 1024x768: after start-up, the device list open, an edited byte in the hex
# view, and the differences after a verify that does not match. After choosing
# "Eprom 27C256" and reading it (F5), maximised on a 1920x1080 screen.
# Needs: xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=${2:-1024x768}
if [ "${1:-}" != "--inside" ]; then
  xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside 1024x768
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" --inside 1920x1080
fi
export HOME=$(mktemp -d)
sim=()
if [ "$size" = 1024x768 ]; then
  # A chip that differs from the image in three bytes, and the image as the
  # first of the recent files.
  head -c 32768 /dev/urandom >"$HOME/image.bin"
  cp "$HOME/image.bin" "$HOME/chip.bin"
  printf '\x00\x01\x02' | dd of="$HOME/chip.bin" bs=1 seek=$((0x124)) conv=notrunc status=none
  mkdir -p "$HOME/settings"
  printf '[Files]\nRecent1=%s\nLastFolder=%s\n' "$HOME/image.bin" "$HOME" >"$HOME/settings/ZAMBRIX6.ini"
  sim=(--sim-chip "27C256:$HOME/chip.bin" --settings-dir "$HOME/settings")
fi
"$root/build/bin/zambrix" --board sim "${sim[@]}" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$HOME"' EXIT
sleep 3
wid=$(xdotool search --name "ZAMBRIX-6" | head -1)
if [ "$size" = 1024x768 ]; then
  xdotool windowmove "$wid" 0 0
  sleep 0.5
  import -window "$wid" "$root/docs/main-window.png"
  # The device list has the focus: Alt+Down opens it, typing finds an entry.
  xdotool key alt+Down
  sleep 0.5
  xdotool type --delay 60 "24c16"
  sleep 0.5
  import -window root "$root/docs/device-list.png"
  xdotool key Escape
  sleep 0.3
  xdotool type --delay 60 "27c256"
  xdotool key Return
  sleep 1
  # Without a window manager a click on the status bar makes the window
  # active for the menus' keys, also after a dialog.
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  activate() {
    xdotool mousemove --window "$wid" 60 $((HEIGHT - 8)) click 1
    sleep 0.3
  }
  activate
  # File / Recent Files / 1 opens the image; Tab goes to the hex view,
  # Ctrl+G to address 120h, and two bytes are typed over.
  xdotool key alt+f r 1
  sleep 1
  xdotool key Tab ctrl+g
  sleep 0.5
  xdotool type --delay 60 "121"
  xdotool key Return
  sleep 0.5
  activate
  xdotool type --delay 80 "4a5a"
  sleep 0.5
  import -window "$wid" "$root/docs/edited-byte.png"
  # Verify (F8) finds the chip's three other bytes; Edit / Differences lists them.
  xdotool key F8
  sleep 2
  xdotool key alt+e d
  sleep 1
  # The list beside the hex view, whose red bytes stay in sight.
  xdotool windowmove "$(xdotool search --name '^Differences$' | head -1)" 530 150
  sleep 0.5
  import -window root "$root/docs/differences.png"
  exit 0
fi
# The device list has the focus: Alt+Down opens it, typing finds the entry,
# Return takes it, F5 reads the chip.
xdotool windowmove "$wid" 0 0
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
