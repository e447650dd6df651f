#!/usr/bin/env bash
# Remakes docs/screenshot-windows.png: starts Veltrane.exe under wine on a virtual X display with
# three sources named on its command line, works it as a user would (ticks the rows with the
# space bar, picks a target in the save dialog, runs the join) and grabs its main window.
# Usage: docs/windows-screenshot.sh [path to Veltrane.exe], default build/windows/bin.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build/windows/bin/Veltrane.exe}
# A fixed folder, so that the paths shown are the same on every machine.
work=/tmp/veltrane-windows-screenshot
export WINEPREFIX=${WINEPREFIX:-$PWD/build/windows/wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$program" ]; then
  make windows
fi
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
for part in 1:2048 2:2048 3:3584; do
  head -c $((${part#*:} * 1024)) /dev/zero >"$work/disk-s00${part%:*}.vmdk"
done

tests/win32/run_on_virtual_display.sh bash -c '
  set -euo pipefail
  program=$1 work=$2
  title="Veltrane- Orvik软件-多文件合并"
  wine "$program" "Z:$work/disk-s001.vmdk" "Z:$work/disk-s002.vmdk" "Z:$work/disk-s003.vmdk" &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  # Waits until a window whose name is $1 is shown, or with $2 = gone, has closed.
  await() {
    for _ in $(seq 200); do
      if xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; then state=shown; else state=gone; fi
      if [ "$state" = "${2:-shown}" ]; then
        sleep 0.5
        return
      fi
      sleep 0.1
    done
    echo "window $1 not ${2:-shown}" >&2
    exit 1
  }
  await "$title"
  id=$(xdotool search --onlyvisible --name "^$title\$" | head -1)
  # From the target box over "..." into the list, ticking each row with the space bar.
  xdotool key Tab Tab Down space Down space Down space
  # Back to "..." and its save dialog, which appends ".vmdk" to the name typed.
  xdotool key shift+Tab space
  await "Save As"
  xdotool type --delay 20 "Z:${work//\//\\}\\disk"
  xdotool key Return
  await "Save As" gone
  # Over the list to Start.
  xdotool key Tab Tab space
  await Veltrane
  xdotool key Return
  await Veltrane gone
  xdotool key shift+Tab
  sleep 0.5
  import -window "$id" docs/screenshot-windows.png
  # Closing the window ends the program.
  xdotool key Escape
  wait "$pid"
' bash "$program" "$work"
cmp -s <(cat "$work"/disk-s00{1,2,3}.vmdk) "$work/disk.vmdk" || { echo "the join is wrong" >&2; exit 1; }
echo "docs/screenshot-windows.png"
