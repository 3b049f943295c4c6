#!/bin/bash
# Screenshots of every window of the editor at window scale x1 and x3 on a
# 1920 x 1080 screen, for looking at: each on the screen, off the canvas,
# no text cut off.
#   scripts/window_shots.sh [BUILD_DIR] [OUT_DIR]     (defaults: build docs/windows)
# SHOTS="animation help" takes only those windows' shots.
# Each shot starts the editor under its own Xvfb with a settings file that
# names the scale and the one window to open (the editor opens the windows
# that were open when it last ended), on a small QS2 file whose first shape
# holds the widest values the boxes show. Needs xvfb-run, ImageMagick and a
# built editor and qshe-tool. Nothing of the user's settings is touched.
set -euo pipefail

build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs/windows}")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A crate picture from ImageMagick, imported twice; shape 0 then gets offset
# X -127 (0x81) and replacement 32767, its side file gettable and walkable
# with the figure at (-20, 12), shape 1 sittable.
convert -size 32x40 xc:'rgb(199,144,186)' -fill 'rgb(139,90,43)' -draw 'rectangle 2,10 29,37' \
  -fill 'rgb(90,60,30)' -draw 'rectangle 2,10 29,13' "$work/crate.bmp"
"$build/qshe-tool" import --transparent --center "$work/sample.qs2" "$work/crate.bmp" "$work/crate.bmp" >/dev/null
printf '\x81' | dd of="$work/sample.qs2" bs=1 seek=18 conv=notrunc status=none
printf '\xff\x7f' | dd of="$work/sample.qs2" bs=1 seek=20 conv=notrunc status=none
printf 'QO01\x02\x00\x00\x00\x1b\xec\x0c\x04' >"$work/sample.qbj"

# 5000 shapes for the Shapes window: 50 pictures of ImageMagick's, each
# imported 100 times.
pictures=()
for i in $(seq 0 49); do
  convert -size 64x64 xc:white -fill "hsl($((i * 37 % 360)),80%,50%)" -draw "circle 32,32 32,$((4 + i % 20))" \
    -fill "hsl($(((i * 91 + 120) % 360)),70%,40%)" \
    -draw "rectangle $((i % 30)),$((40 - i % 20)) $((34 + i % 30)),$((60 - i % 10))" "$work/pic_$i.bmp"
done
for r in $(seq 1 100); do for i in $(seq 0 49); do pictures+=("$work/pic_$i.bmp"); done; done
"$build/qshe-tool" import --transparent "$work/big.qsh" "${pictures[@]}" >/dev/null

declare -A windows=([main]="" [properties]=107 [insert-shapes]=105 [swap-shapes]=108 [jump-to]=114
                    [import-files]=106 [import-collage]=109 [shape-position]=110 [tavrel-position]=111
                    [position-settings]=112 [help]=115 [animation]=131)

shot() {  # SCALE NAME DIALOG [FILE]
  local home="$work/home-$1-$2"
  mkdir -p "$home/config/qshe" "$home/data"
  {
    printf '[Window]\nScale=%s\n' "$1"
    [ -n "$3" ] && printf '[Windows]\n%s\\Open=true\n' "$3"
  } >"$home/config/qshe/qshe.conf"
  cat >"$home/run.sh" <<EOF
#!/bin/bash
XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QSHE_RECOVERY_SECONDS=0 \
  "$build/qshe" "${4:-$work/sample.qs2}" 2>/dev/null &
pid=\$!
sleep 4
import -window root "$out/x$1-$2.png"
kill \$pid
EOF
  chmod +x "$home/run.sh"
  xvfb-run -a -s "-screen 0 1920x1080x24" "$home/run.sh"
}

for scale in 1 3; do
  for name in "${!windows[@]}"; do
    if [ -n "${SHOTS:-}" ] && [[ " $SHOTS " != *" $name "* ]]; then continue; fi
    shot "$scale" "$name" "${windows[$name]}"
  done
  if [ -z "${SHOTS:-}" ] || [[ " $SHOTS " == *" shapes "* ]]; then shot "$scale" shapes 130 "$work/big.qsh"; fi
done
echo "$(ls "$out" | wc -l) screenshots in $out"
