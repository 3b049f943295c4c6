#!/bin/bash
# Screenshots of the "Import picture" window at window scale x1 and x3 on a
# 1920 x 1080 screen: the editor starts under its own Xvfb, Ctrl+Shift+I asks
# for a picture (typed into the file window), and the window shows it with
# Error diffusion chosen.
#   scripts/import_picture_shots.sh [BUILD_DIR] [OUT_DIR]     (defaults: build docs)
# Needs xvfb-run, xdotool, ImageMagick and a built editor. Nothing of the
# user's settings is touched.
set -euo pipefail

build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs}")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A shaded ball on a magenta key colour, as a paint program saves it.
convert -size 120x100 xc:'rgb(255,0,255)' \
  \( -size 90x90 radial-gradient:'rgb(250,230,150)'-'rgb(150,40,20)' \) -geometry +15+5 -composite \
  -fill 'rgb(255,0,255)' -draw 'rectangle 0,0 14,99' -draw 'rectangle 105,0 119,99' \
  -type TrueColor BMP3:"$work/ball.bmp"

shot() {  # SCALE
  local home="$work/home-$1"
  mkdir -p "$home/config/qshe" "$home/data"
  printf '[Window]\nScale=%s\n[Import]\nDither=diffusion\n' "$1" >"$home/config/qshe/qshe.conf"
  cat >"$home/run.sh" <<RUN
#!/bin/bash
XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" QSHE_RECOVERY_SECONDS=0 "$build/qshe" 2>/dev/null &
pid=\$!
sleep 4
# No window manager: the windows are given the focus by hand.
main=\$(xdotool search --sync --onlyvisible --name "QSH" | head -1)
xdotool windowfocus --sync "\$main" key ctrl+shift+i
files=\$(xdotool search --sync --onlyvisible --name "Import a picture" | head -1)
xdotool windowfocus --sync "\$files"
sleep 1
xdotool type --delay 20 "$work/ball.bmp"
xdotool key Return
sleep 3
import -window root "$out/import-picture-x$1.png"
kill \$pid
RUN
  chmod +x "$home/run.sh"
  xvfb-run -a -s "-screen 0 1920x1080x24" "$home/run.sh"
}

for scale in 1 3; do shot "$scale"; done
ls "$out"/import-picture-x*.png
