#!/usr/bin/env bash
# Seeds the kept corpora with small valid files of every variant the readers
# know, made by ImageMagick and by qshe-tool (from build/). Run it once for a
# new target, then let `make fuzz FUZZ_KEEP=1` merge what the fuzzer finds.
# A merge renames what it keeps after its contents; running this again adds
# the seeds back, and the next merge drops those that reach nothing new.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${QSHE_TOOL:-build/qshe-tool}
corpus=fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"/{shape_file,object_file,pcx,picture,clipboard,sheet,collage,recovery}

# ----- pictures: every BMP and PNG variant ImageMagick writes ---------------
pic() { convert -size 6x5 gradient:red-blue -fill lime -draw "point 1,1" -fill white -draw "point 4,3" "$@"; }
pic -type Palette BMP2:"$work/os2.bmp"                  # 12-byte header, colour triples
convert -size 20x13 xc: +noise Random -colors 200 -type Palette -compress none BMP3:"$work/pal8.bmp"
pic -type Palette -compress RLE BMP3:"$work/rle8.bmp"
pic -colors 12 -type Palette BMP3:"$work/pal4.bmp"
pic -monochrome BMP3:"$work/mono.bmp"
pic -type TrueColor BMP3:"$work/rgb24.bmp"
pic -define bmp:subtype=RGB565 -type TrueColor BMP:"$work/rgb565.bmp"   # bit fields
pic -alpha set -define bmp:subtype=ARGB1555 -type TrueColorAlpha BMP:"$work/argb1555.bmp"
pic -alpha set -channel A -fx 'i<2?0:1' +channel -type TrueColorAlpha BMP:"$work/argb32.bmp"
pic -type Palette PNG8:"$work/pal8.png"
pic -alpha set -channel A -fx 'i<2?0:1' +channel -type PaletteAlpha PNG8:"$work/trns.png"
pic -colorspace Gray -depth 8 PNG:"$work/gray8.png"
pic -colorspace Gray -depth 2 PNG:"$work/gray2.png"
pic -monochrome PNG:"$work/mono.png"
pic PNG24:"$work/rgb.png"
pic -alpha set -channel A -fx 'j<2?0:1' +channel PNG32:"$work/rgba.png"
pic PNG48:"$work/rgb16.png"
pic -alpha set PNG64:"$work/rgba16.png"
pic -interlace PNG PNG24:"$work/interlaced.png"
pic -alpha set -channel A -fx 'i<2?0:1' +channel -colorspace Gray -type GrayscaleAlpha -depth 8 PNG:"$work/grayalpha.png"
for f in "$work"/*.bmp "$work"/*.png; do cp "$f" "$corpus/picture/seed-$(basename "$f")"; done
# The clipboard carries bitmaps without the 14-byte file header.
for f in "$work"/*.bmp; do tail -c +15 "$f" > "$corpus/clipboard/seed-$(basename "$f" .bmp).dib"; done

# ----- PCX: the depths and plane counts, and a picture past the read chunk ---
cp tests/display/data/*.pcx "$work/"
convert -size 9x7 gradient:yellow-navy -type Palette PCX:"$work/im_small8.pcx"
convert -size 90x70 plasma:red-blue -type Palette PCX:"$work/im_big8.pcx" 2>/dev/null ||
  convert -size 90x70 xc: +noise Random -type Palette PCX:"$work/im_big8.pcx"
convert -size 11x5 gradient:red-blue PCX:"$work/im_rgb.pcx"    # 3 planes: refused, kept to guard it
for f in "$work"/*.pcx; do cp "$f" "$corpus/pcx/seed-$(basename "$f")"; done

# ----- contact sheets: the whole 640 x 480 one and a small one --------------
cp tests/interchange/data/im_sheet.pcx "$corpus/collage/seed-im_sheet.pcx"
convert -size 80x40 xc:white +antialias \
  -fill red -draw "rectangle 2,20 15,37" -fill blue -draw "rectangle 3,21 14,36" \
  -fill red -draw "rectangle 20,25 29,37" -fill lime -draw "point 24,30" \
  -fill green -draw "rectangle 2,2 40,12" -fill yellow -draw "rectangle 3,3 39,11" \
  -type Palette PCX:"$corpus/collage/seed-im_small_sheet.pcx"

# ----- shape files: QSH and QS2, one shape, many, empty and offset ones -----
"$tool" import "$work/two.qs2" "$work/pal8.bmp" "$work/rgb24.bmp" >/dev/null
"$tool" convert "$work/two.qs2" "$work/two.qsh" >/dev/null
pics=()
for i in $(seq 1 40); do pics+=("$work/pal8.bmp" "$work/mono.bmp" "$work/rgb565.bmp"); done
"$tool" import --center "$work/many.qs2" "${pics[@]}" >/dev/null
"$tool" convert "$work/many.qs2" "$work/many.qsh" >/dev/null
convert -size 255x40 gradient:red-blue -type Palette BMP3:"$work/wide.bmp"
"$tool" import --transparent --center "$work/wide.qsh" "$work/wide.bmp" >/dev/null
for f in two.qs2 two.qsh many.qs2 many.qsh wide.qsh; do cp "$work/$f" "$corpus/shape_file/seed-$f"; done

# ----- sprite sheets and side files, through qshe-tool's sheet commands ------
"$tool" sheet export --padding 1 "$work/two.qs2" "$work/two.png" >/dev/null
sed 's/"objectFile": *false/"objectFile":true/' "$work/two.json" > "$work/props.json"
python3 - "$work/props.json" <<'PY'
import json, sys
p = sys.argv[1]; d = json.load(open(p)); d["objectFile"] = True
for i, s in enumerate(d["shapes"]):
    s.update(tavrelX=-3 + i, tavrelY=7 * i, gettable=i % 2, sittable=1 - i % 2, walkable=1)
json.dump(d, open(p, "w"))
PY
cp "$work/two.png" "$work/props.png"
"$tool" sheet import "$work/props.png" "$work/props.qs2" >/dev/null
cp "$work/props.qbj" "$corpus/object_file/seed-props.qbj"
for s in two props; do cat "$work/$s.json" <(printf '\0') "$work/$s.png" > "$corpus/sheet/seed-$s"; done

# ----- recovery: shapes and properties in the split the target reads --------
{ cat "$work/props.qs2" "$work/props.qbj"; printf "\\x$(printf %02x "$(stat -c %s "$work/props.qs2")")"; } \
  > "$corpus/recovery/seed-props"
ls "$corpus"/* | wc -l
