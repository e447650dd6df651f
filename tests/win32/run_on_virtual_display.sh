#!/usr/bin/env bash
# Runs a command on an Xvfb display of its own, with the wine prefix (WINEPREFIX) set up for
# the window: a Chinese font for the dialog font and the message boxes' font, and windows that
# wine frames itself, there being no window manager. Usage: run_on_virtual_display.sh COMMAND...
set -euo pipefail

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
export DISPLAY=":$(cat "$display_file")"

# A wine server still serving the prefix would keep the display it was started with.
wineserver -w

wine regedit /S "$(winepath -w "$(dirname "$0")/window-prefix.reg")"
# The glyphs of the caption buttons that wine draws; Debian's wine does not find them itself.
cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
status=0
"$@" || status=$?
# Every process of the prefix ends before its display does.
wineserver -w
exit "$status"
