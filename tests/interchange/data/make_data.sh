#!/usr/bin/env bash
# Makes a contact sheet the way a drawing program would: white background,
# two red frames of one height side by side in the bottom band and one above, each with a
# picture inside, saved as an 8-bit PCX by ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 640x480 xc:white +antialias \
  -fill red -draw "rectangle 10,420 43,469" -fill blue -draw "rectangle 11,421 42,468" \
  -fill red -draw "rectangle 60,420 79,469" -fill white -draw "rectangle 61,421 78,468" \
  -fill lime -draw "rectangle 65,450 70,460" \
  -fill red -draw "rectangle 10,300 29,319" -fill lime -draw "rectangle 11,301 28,318" \
  -type Palette im_sheet.pcx
