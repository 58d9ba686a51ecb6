#!/usr/bin/env bash
# Exports icon 128 from its one source, the two XPM pictures in res/icon/
# (32 x 32 and 16 x 16, 16 colours): tavrin.ico with both sizes for the
# Windows resources, and PNGs for the other desktops, the 128-pixel one
# scaled up from the 32-pixel picture without smoothing. The outputs are
# committed, so building needs no ImageMagick; run this after changing a
# picture.
set -euo pipefail
cd "$(dirname "$0")/../res/icon"
convert tavrin-32.xpm tavrin-32.png
convert tavrin-16.xpm tavrin-16.png
convert tavrin-32.xpm -filter point -resize 128x128 tavrin-128.png
convert tavrin-32.xpm tavrin-16.xpm -colors 16 tavrin.ico
# PNGs carry no time stamps, so unchanged pictures give unchanged files.
for png in tavrin-16.png tavrin-32.png tavrin-128.png; do
  mogrify -strip -define png:exclude-chunks=date,time "$png"
done
