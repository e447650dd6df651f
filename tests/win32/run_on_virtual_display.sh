#!/usr/bin/env bash
# Runs a command on an Xvfb display of its own, with the wine prefix (WINEPREFIX) set up for
# the window: a Chinese font for the dialog font and the message boxes' font, and windows that
# wine frames itself, there being no window manager. Usage: run_on_virtual_display.sh COMMAND...
set -euo pipefail

# A wine server left by a run without a display would serve this one's windows without one.
wineserver -w
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
export DISPLAY=":$(cat "$display_file")"

wine regedit /S "$(winepath -w "$(dirname "$0")/window-prefix.reg")"
"$@"
