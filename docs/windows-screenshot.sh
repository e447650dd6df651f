#!/usr/bin/env bash
# Remakes docs/screenshot-windows-en.png or docs/screenshot-windows-zh.png: starts Veltrane.exe
# under wine on a virtual X display in the language asked for, with three sources named on its
# command line, works it as a user would (ticks the rows with the space bar, picks a target in
# the save dialog, runs the join) and grabs its main window.
# Usage: docs/windows-screenshot.sh [-l en|zh|LOCALE] [path to Veltrane.exe], default
# build/windows/bin; without -l, the language of LC_ALL, LC_MESSAGES or LANG.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=docs/screenshot-language.sh
. docs/screenshot-language.sh
program=${program:-build/windows/bin/Veltrane.exe}
shot=docs/screenshot-windows-$language.png
# The captions the script waits for: the window's own, and that of wine's save dialog.
if [ "$language" = zh ]; then
  title='Veltrane- Orvik软件-多文件合并' save_as=另存为
else
  title='Veltrane- Orvik Software-File Joiner' save_as='Save As'
fi
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

# shellcheck disable=SC2016 # expanded by the inner shell, from its arguments
tests/win32/run_on_virtual_display.sh bash -c '
  set -euo pipefail
  program=$1 work=$2 title=$3 save_as=$4 shot=$5
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
  await "$save_as"
  xdotool type --delay 20 "Z:${work//\//\\}\\disk"
  xdotool key Return
  await "$save_as" gone
  # Over the list to Start.
  xdotool key Tab Tab space
  await Veltrane
  xdotool key Return
  await Veltrane gone
  xdotool key shift+Tab
  sleep 0.5
  import -window "$id" "$shot"
  # Closing the window ends the program.
  xdotool key Escape
  wait "$pid"
' bash "$program" "$work" "$title" "$save_as" "$shot"
cmp -s <(cat "$work"/disk-s00{1,2,3}.vmdk) "$work/disk.vmdk" || { echo "the join is wrong" >&2; exit 1; }
echo "wrote $shot"
