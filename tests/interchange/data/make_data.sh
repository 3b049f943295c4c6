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

# Pictures for the import choices, each the way an ordinary paint program
# saves them:
# a 4-bit bitmap whose colour-table entry 0 is the subject (red, from the top-left),
convert -size 20x16 xc:white -fill 'rgb(200,30,30)' -draw 'rectangle 0,0 11,11' \
  -fill 'rgb(20,20,200)' -draw 'rectangle 2,2 4,4' -fill 'rgb(30,160,30)' -draw 'point 15,3' \
  -type Palette BMP3:im_entry0.bmp
# a PNG with an alpha channel (a yellow disc on nothing),
convert -size 24x20 xc:none -fill 'rgb(230,200,40)' -draw 'circle 12,10 12,3' PNG32:im_alpha.png
# a 24-bit bitmap on a magenta key colour with a black detail,
convert -size 24x20 xc:'rgb(255,0,255)' -fill 'rgb(40,120,220)' -draw 'rectangle 3,3 15,15' \
  -fill black -draw 'rectangle 5,5 7,7' -type TrueColor BMP3:im_key.bmp
# a smooth 255 x 255 gradient of four corners,
convert -size 255x255 xc: -sparse-color Bilinear '0,0 #10307a 254,0 #e0a040 0,254 #40c080 254,254 #f0f0e0' \
  -type TrueColor BMP3:im_gradient.bmp
# and contact sheets in the paint program's own palette, larger than 640 x 480:
# an 8-bit bitmap (white background, red frames, a black-eyed blue picture and a
# gradient one) and the same as a 24-bit PNG.
convert -size 900x700 xc:white +antialias \
  -fill red -draw "rectangle 10,600 43,669" -fill 'rgb(20,20,200)' -draw "rectangle 11,601 42,668" \
  -fill black -draw "rectangle 20,610 25,615" \
  -fill red -draw "rectangle 700,100 760,160" -fill 'rgb(40,170,60)' -draw "rectangle 701,101 759,159" \
  -type Palette BMP3:im_sheet_any.bmp
convert im_sheet_any.bmp -type TrueColor PNG24:im_sheet_any.png
