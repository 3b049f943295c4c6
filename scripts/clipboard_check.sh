#!/usr/bin/env bash
# Checks the editor's clipboard against another program (xclip) on a
# virtual X display: a PNG put there by xclip is pasted with Ctrl+V, copied
# back with Ctrl+C and read out by xclip again; a second editor window then
# pastes the first one's copy. Prints what it finds and leaves the pictures
# in the work folder.
#   usage: scripts/clipboard_check.sh [build folder]   (run under xvfb-run -a)
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
work="$(mktemp -d)"
echo "work folder: $work"
cd "$work"

# 30 x 10: the left half red, the right half fully transparent.
convert -size 30x10 xc:none -fill 'rgb(255,0,0)' -draw 'rectangle 0,0 14,9' pic.png

export QSHE_RECOVERY_SECONDS=0
"$build/qshe" & first=$!
trap 'kill $first ${second:-} 2>/dev/null || true' EXIT
window() { for _ in $(seq 50); do w=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1); [ -n "$w" ] && { echo "$w"; return; }; sleep 0.2; done; return 1; }
w1=$(window $first)
sleep 1

xclip -selection clipboard -t image/png -i pic.png
sleep 0.5
xdotool windowfocus --sync "$w1" key ctrl+v
sleep 0.5
xdotool windowfocus --sync "$w1" key ctrl+c
sleep 0.5
echo "targets the editor offers: $(xclip -selection clipboard -o -t TARGETS | tr '\n' ' ')"
xclip -selection clipboard -o -t image/png > out.png
echo "out.png: $(identify -format '%w x %h' out.png)"
echo "  pixel (0,0) (was red):         $(convert out.png -format '%[pixel:p{0,0}]' info:)"
echo "  pixel (20,0) (was transparent): $(convert out.png -format '%[pixel:p{20,0}]' info:)"
xclip -selection clipboard -o -t application/x-qshe-indices > indices.bin
echo "exact indices: $(head -c 8 indices.bin | od -An -tu4 | xargs) (width height), first index $(od -An -tu1 -j8 -N1 indices.bin | xargs)"

# A second editor takes the first one's copy; its own copy then carries the
# same indices.
"$build/qshe" & second=$!
w2=$(window $second)
sleep 1
xdotool windowfocus --sync "$w2" key ctrl+v
sleep 0.5
xdotool windowfocus --sync "$w2" key ctrl+c
sleep 0.5
xclip -selection clipboard -o -t application/x-qshe-indices > indices2.bin
if cmp -s indices.bin indices2.bin; then echo "second window: the same indices"; else echo "second window: DIFFERENT indices"; exit 1; fi
import -window root screen.png
echo "screenshot: $work/screen.png"
