#!/usr/bin/env bash
# Small pictures as a drawing program saves them, for the history's model
# test: a palette and a 24-bit Windows bitmap by ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 12x10 xc:white +antialias -fill red -draw "rectangle 2,2 9,7" -fill blue -draw "point 5,5" \
  -type Palette BMP3:im_pal.bmp
convert -size 9x14 xc:'#203040' +antialias -fill yellow -draw "circle 4,7 4,3" -type TrueColor BMP3:im_pic24.bmp
# A PNG as another program writes it, for dropping on the window.
convert -size 7x5 xc:white +antialias -fill '#C08040' -draw "rectangle 1,1 5,3" PNG24:im_pic.png
