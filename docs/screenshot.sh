#!/usr/bin/env bash
# Remakes docs/screenshot.png: starts the program on a virtual X display and grabs its
# main window. Usage: docs/screenshot.sh [path to Veltrane], default build/release/bin.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build/release/bin/Veltrane}
title='Veltrane- Orvik软件-多文件合并'

needed=()
command -v xvfb-run >/dev/null || needed+=(xvfb xauth)
command -v xwininfo >/dev/null || needed+=(x11-utils)
command -v import >/dev/null || needed+=(imagemagick)
if [ ${#needed[@]} -gt 0 ]; then
  sudo=$([ "$(id -u)" = 0 ] || echo sudo)
  $sudo apt-get update && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${needed[@]}"
fi
if [ ! -x "$program" ]; then
  cmake --preset release && cmake --build --preset release --target Veltrane
fi

xvfb-run -a -s '-screen 0 1024x768x24 -dpi 96' bash -c '
  "$1" & pid=$!
  trap "kill $pid" EXIT
  for _ in $(seq 100); do
    id=$(xwininfo -name "$2" 2>/dev/null | awk "/Window id/ {print \$4}") && [ -n "$id" ] && break
    sleep 0.1
  done
  sleep 1  # let the first paint finish
  import -window "$id" docs/screenshot.png
' grab "$program" "$title"
echo "wrote docs/screenshot.png"
