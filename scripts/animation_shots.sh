#!/bin/bash
# Screenshots of the Animation window and the onion skin at window scale x1
# and x3 on a 1920 x 1080 screen, for looking at and for the README:
#   scripts/animation_shots.sh [BUILD_DIR] [OUT_DIR]     (defaults: build docs)
# Writes animation.png (the whole screen at x1), animation-x3.png (at x3),
# onion-skin.png and onion-skin-x3.png (the canvas at zoom 4 on the three
# backgrounds, side by side). The frames are a ball that ImageMagick draws,
# each frame moved by its offsets only, so the onion's neighbours line up
# by the offsets. Needs xvfb-run, xdotool, ImageMagick and a built editor
# and qshe-tool. Nothing of the user's settings is touched.
set -euo pipefail

build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs}")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One ball of 38 pixels with a transparent margin, 60 x 60 in all,
# imported eight times.
convert -size 60x60 xc:'rgb(199,144,186)' +antialias -fill 'rgb(40,20,20)' -draw 'circle 29.5,29.5 29.5,11' \
  -fill 'rgb(220,110,40)' -draw 'circle 29.5,29.5 29.5,14' \
  -fill 'rgb(250,230,110)' -draw 'circle 23,22 23,18' "$work/ball.bmp"
files=()
for i in 0 1 2 3 4 5 6 7; do files+=("$work/ball.bmp"); done
"$build/qshe-tool" import --transparent "$work/ball.qs2" "${files[@]}" >/dev/null
# Offsets: 16-byte header, then per shape 6 bytes (width, height, offset X,
# offset Y, replacement) and 60 x 60 pixels. Each frame 4 pixels further
# right, bouncing up and down.
ys=(0 8 14 18 20 18 14 8)
for i in 0 1 2 3 4 5 6 7; do
  at=$((16 + i * (6 + 3600)))
  printf "$(printf '\\x%02x\\x%02x' $(((i * 4 - 14) & 255)) $((ys[i] & 255)))" |
    dd of="$work/ball.qs2" bs=1 seek=$((at + 2)) conv=notrunc status=none
done
# The side file: every frame with the Tavrel figure beside the ball.
{
  printf 'QO01\x08\x00\x00\x00'
  for i in 0 1 2 3 4 5 6 7; do printf '\x18\x1a\xf8'; done
} >"$work/ball.qbj"

shoot() {  # SCALE
  local s=$1 home="$work/home-$1"
  mkdir -p "$home/config/qshe" "$home/data"
  printf '[Window]\nScale=%s\n[Windows]\n131\\Open=true\n[Animation]\nShowFigure=1\n' "$s" \
    >"$home/config/qshe/qshe.conf"
  local suffix=""
  [ "$s" = 1 ] || suffix="-x$s"
  cat >"$home/run.sh" <<EOF
#!/bin/bash
XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QSHE_RECOVERY_SECONDS=0 \
  "$build/qshe" "$work/ball.qs2" 2>/dev/null &
pid=\$!
sleep 4
main=\$(xdotool search --onlyvisible --name 'QSH Editor' | head -1)
anim=\$(xdotool search --onlyvisible --name '^Animation\$' | head -1)
keys() { xdotool windowfocus --sync "\$main"; for k in "\$@"; do xdotool key "\$k"; sleep 0.3; done; }
# Shape 3 with its neighbours behind it; the player paused on its first frame.
keys plus plus plus g
xdotool windowfocus --sync "\$anim"
xdotool key space
sleep 0.5
import -window root "$out/animation$suffix.png"
# The canvas at zoom 4 on each background.
keys r r e
eval \$(xdotool getwindowgeometry --shell "\$main")
top=\$((Y + HEIGHT - 285 * $s + 8 * $s))
left=\$((X + 184 * $s))
for b in 0 1 2; do
  import -window root -crop "$((256 * s))x$((256 * s))+\$left+\$top" +repage "$work/bg\$b-$s.png"
  keys w
done
convert "$work/bg0-$s.png" "$work/bg1-$s.png" "$work/bg2-$s.png" +append "$out/onion-skin$suffix.png"
kill \$pid
EOF
  chmod +x "$home/run.sh"
  xvfb-run -a -s "-screen 0 1920x1080x24" "$home/run.sh"
}

shoot 1
shoot 3
echo "screenshots in $out"
