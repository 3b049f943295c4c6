#!/usr/bin/env bash
# Makes the small PCX test pictures and, for each, what ImageMagick decodes
# from it: one line per row, top row first, RRGGBB per pixel.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 13x5 xc: -seed 7 +noise Random -colors 40 -type Palette im_8bit.pcx
convert -size 13x5 xc: -seed 3 +noise Random -threshold 50% -type Bilevel /tmp/qshe_bilevel.gif
convert /tmp/qshe_bilevel.gif im_1bit.pcx
rm -f /tmp/qshe_bilevel.gif
python3 make_planar.py .
for f in im_8bit im_1bit own_4bit own_4planes; do
  convert "$f.pcx" -depth 8 txt:- | awk -F'#' 'NR > 1 {
      split($1, a, /[,:]/); hex = substr($2, 1, 6)
      row[a[2]] = row[a[2]] (a[1] == 0 ? "" : " ") hex; if (a[2] > last) last = a[2] }
    END { for (y = 0; y <= last; y++) print row[y] }' > "$f.expected"
done
