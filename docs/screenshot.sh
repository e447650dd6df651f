#!/usr/bin/env bash
# Remakes docs/screenshot-en.png or docs/screenshot-zh.png: starts the program on a virtual X
# display in the language asked for, works it as a user would (adds three sources, ticks them,
# picks a target, runs the join) and grabs its main window with the progress bar where the run
# left it, two thirds along the last source.
# Usage: docs/screenshot.sh [-l en|zh|LOCALE] [path to Veltrane], default build/release/bin;
# without -l, the language of LC_ALL, LC_MESSAGES or LANG.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=docs/screenshot-language.sh
. docs/screenshot-language.sh
program=${program:-build/release/bin/Veltrane}
shot=docs/screenshot-$language.png
# The captions the script waits for: the window's own, and those of Qt's file dialogs.
if [ "$language" = zh ]; then
  title='Veltrane- Orvik软件-多文件合并' open=打开 save_as=另存为
else
  title='Veltrane- Orvik Software-File Joiner' open=Open save_as='Save As'
fi
# A fixed folder, so that the paths shown are the same on every machine.
work=/tmp/veltrane-screenshot

needed=()
command -v xvfb-run >/dev/null || needed+=(xvfb xauth)
command -v xwininfo >/dev/null || needed+=(x11-utils)
command -v import >/dev/null || needed+=(imagemagick)
command -v xdotool >/dev/null || needed+=(xdotool)
if [ ${#needed[@]} -gt 0 ]; then
  sudo=$([ "$(id -u)" = 0 ] || echo sudo)
  $sudo apt-get update && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${needed[@]}"
fi
if [ ! -x "$program" ]; then
  cmake --preset release && cmake --build --preset release --target Veltrane
fi

# Sources of 2, 2 and 3.5 MiB: the bar ends at block 2 of the last one's 3 whole blocks.
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
for part in 1:2048 2:2048 3:3584; do
  head -c $((${part#*:} * 1024)) /dev/zero >"$work/disk-s00${part%:*}.vmdk"
done

# shellcheck disable=SC2016 # expanded by the inner shell, from its arguments
xvfb-run -a -s '-screen 0 1024x768x24 -dpi 96' bash -c '
  set -euo pipefail
  program=$1 title=$2 work=$3 open=$4 save_as=$5 shot=$6
  "$program" & pid=$!
  trap "kill $pid 2>/dev/null" EXIT
  # Waits until a window whose name matches $1 is shown, or with $2 = gone, has closed; then
  # gives the program a moment, since a window closes before its modal loop ends. Without a
  # window manager the keyboard goes back to the main window only when given to it.
  await() {
    for _ in $(seq 100); do
      if xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; then state=shown; else state=gone; fi
      if [ "$state" = "${2:-shown}" ]; then
        sleep 0.5
        [ "$state" = shown ] || xdotool windowfocus --sync "$id"
        return
      fi
      sleep 0.1
    done
    echo "window $1 not ${2:-shown}" >&2
    exit 1
  }
  # Points in the window are centres of buttons: their template rectangles at the base units
  # of the dialog font, 6 x 13 pixels.
  click() { xdotool mousemove --window "$id" "$1" "$2" click 1; }
  choose() {
    click "$1" "$2"
    await "^$3\$"
    xdotool type --delay 10 "$4"
    xdotool key Return
    await "^$3\$" gone
  }
  await "^$title\$"
  id=$(xdotool search --onlyvisible --name "^$title\$" | head -1)
  for n in 1 2 3; do
    choose 186 447 "$open" "$work/disk-s00$n.vmdk"
  done
  choose 681 109 "$save_as" "$work/disk.vmdk"
  # From "..." into the list, ticking each row with the space bar.
  xdotool key Tab space Down space Down space
  click 355 445
  await "^Veltrane\$"
  xdotool key Return
  await "^Veltrane\$" gone
  # Back into the list, whose selection shows while it has the focus.
  xdotool key shift+Tab
  sleep 0.5
  import -window "$id" "$shot"
' grab "$program" "$title" "$work" "$open" "$save_as" "$shot"
echo "wrote $shot"
