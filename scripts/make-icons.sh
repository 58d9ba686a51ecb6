#!/usr/bin/env bash
# Exports icon 128 from its sources in res/icon/: the two XPM pictures
# (32 x 32 and 16 x 16, 16 colours, drawn pixel by pixel, which are sharper
# at those sizes) make tavrin.ico for the Windows resources and the 16 and
# 32 pixel PNGs; the scalable picture, tavrin.svg, makes the larger PNGs
# (48 to 256 pixels) for desktops and software centres that want bitmaps.
# The outputs are committed, so building needs neither ImageMagick nor
# rsvg-convert (librsvg2-bin); run this after changing a picture.
set -euo pipefail
cd "$(dirname "$0")/../res/icon"
convert tavrin-32.xpm tavrin-32.png
convert tavrin-16.xpm tavrin-16.png
for size in 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" tavrin.svg -o "tavrin-$size.png"
done
convert tavrin-32.xpm tavrin-16.xpm -colors 16 tavrin.ico
# PNGs carry no time stamps, so unchanged pictures give unchanged files.
for png in tavrin-*.png; do
  mogrify -strip -define png:exclude-chunks=date,time "$png"
done
