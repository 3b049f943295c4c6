#!/bin/bash
# The main window with its status bar at window scale x1 and x3 on a
# 1920 x 1080 screen: the canvas zoomed twice with Ctrl+wheel and the mouse
# resting on a pixel of the shape, so every field has something to say.
#   scripts/status_bar_shots.sh [BUILD_DIR] [OUT_DIR]    (defaults: build docs)
# Writes status-bar-x1.png and status-bar-x3.png. Needs xvfb-run, xdotool,
# ImageMagick and a built editor and qshe-tool. Nothing of the user's
# settings is touched.
set -euo pipefail

build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs}")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 32x40 xc:'rgb(199,144,186)' -fill 'rgb(139,90,43)' -draw 'rectangle 2,10 29,37' \
  -fill 'rgb(90,60,30)' -draw 'rectangle 2,10 29,13' "$work/crate.bmp"
"$build/qshe-tool" import --transparent "$work/sample.qs2" "$work/crate.bmp" "$work/crate.bmp" >/dev/null

for scale in 1 3; do
  home="$work/home-$scale"
  mkdir -p "$home/config/qshe" "$home/data"
  printf '[Window]\nScale=%s\n[View]\nBackground=1\n' "$scale" >"$home/config/qshe/qshe.conf"
  {
    echo '#!/bin/bash'
    echo "XDG_CONFIG_HOME='$home/config' XDG_DATA_HOME='$home/data' QSHE_RECOVERY_SECONDS=0 \\"
    echo "  '$build/qshe' '$work/sample.qs2' 2>/dev/null &"
    echo 'pid=$!'
    echo 'sleep 4'
    echo 'wid=$(xdotool search --name "QSH Editor" | head -1)'
    # Zoom in twice with the wheel over the crate, then rest on one of its
    # pixels (window points, the menu bar included).
    echo "xdotool mousemove --window \"\$wid\" $((200 * scale)) $((50 * scale))"
    echo 'sleep 0.5'
    echo 'xdotool keydown ctrl click 4 click 4 keyup ctrl'
    echo 'sleep 0.5'
    echo "xdotool mousemove --window \"\$wid\" $((206 * scale)) $((52 * scale))"
    echo 'sleep 1'
    echo "import -window root '$out/status-bar-x$scale.png'"
    echo 'kill $pid'
  } >"$home/run.sh"
  chmod +x "$home/run.sh"
  xvfb-run -a -s "-screen 0 1920x1080x24" "$home/run.sh"
done
echo "screenshots in $out/status-bar-x1.png and $out/status-bar-x3.png"
