#!/usr/bin/env bash
# Redraws the application icon and the banner. The files made are committed, so this only
# needs running when the artwork changes. Needs ImageMagick, bc, DejaVu and a CJK font.
set -euo pipefail
cd "$(dirname "$0")"

cjk_font=/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf

# Icon: two sheets joined into one, designed on a 55 x 55 grid with alpha and scaled to each size
# (strokes included): 55 for the window, the rest for the desktop's icon theme.
icon() {
  local size=$1 out=$2 at
  at="scale $(bc -l <<<"$size / 55"),$(bc -l <<<"$size / 55")"
  convert -size "${size}x${size}" xc:none \
    -fill '#1f5fa8' -stroke '#0d2f57' -strokewidth 2 -draw "$at roundrectangle 2,2 52,52 9,9" \
    -fill '#ffffff' -stroke '#0d2f57' -strokewidth 1 \
    -draw "$at rectangle 9,10 24,30" -draw "$at rectangle 30,10 45,30" \
    -fill '#f2b134' -draw "$at rectangle 9,36 45,46" \
    -stroke '#ffffff' -strokewidth 3 -draw "$at line 17,31 24,36" -draw "$at line 37,31 30,36" \
    -strip "PNG32:$out"
}
icon 55 veltrane.png
for size in 48 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  icon "$size" "hicolor/${size}x${size}/apps/veltrane.png"
done

# Banners: 714 x 89, no alpha, one per language of the window's texts: $1 the file, the rest
# what is written on it.
banner() {
  convert -size 89x714 gradient:'#2a8fbd'-'#0d2f57' -rotate -90 \
    -fill '#ffffff' -font DejaVu-Sans-Bold -pointsize 34 -annotate +24+52 'Veltrane' \
    -fill '#f2b134' -font DejaVu-Sans-Bold -pointsize 18 -annotate +232+48 'Orvik' \
    "${@:2}" -strip -type TrueColor "PNG24:$1"
}
banner banner.png -font "$cjk_font" -pointsize 18 -annotate +292+48 '软件  多文件合并' \
  -fill '#cfe6f5' -pointsize 12 -annotate +232+72 '把多个文件合并为一个'
banner banner-en.png -annotate +292+48 'Software  File Joiner' \
  -fill '#cfe6f5' -font DejaVu-Sans -pointsize 12 -annotate +232+72 'Join several files into one'

# The Windows window's icon and banners, as its resources take them.
convert veltrane.png veltrane.ico
for name in banner banner-en; do
  convert "$name.png" -type TrueColor "BMP3:$name.bmp"
done
