#!/usr/bin/env bash
# Checks the editor's clipboard against another program (xclip) on a
# virtual X display: a PNG put there by xclip is pasted with Ctrl+V, copied
# back with Ctrl+C and read out by xclip again; so are a PNG whose pixels all
# have alpha 0, a 32-bit bitmap whose alpha is used, and a 9000 x 9000 PNG;
# a second editor window then pastes the first one's copy. Prints what it finds and leaves the pictures
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
# The editors' settings and recovery copies stay in the work folder.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
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

# Pastes what xclip offers under `type` from `file`, copies it back and
# prints the pixels the editor then offers at the given points.
paste_and_copy() {
  local type=$1 file=$2; shift 2
  xclip -selection clipboard -t "$type" -i "$file"
  sleep 0.5
  xdotool windowfocus --sync "$w1" key ctrl+v
  sleep 0.5
  xdotool windowfocus --sync "$w1" key ctrl+c
  sleep 0.5
  xclip -selection clipboard -o -t image/png > back.png
  echo "$file as $type: pasted $(identify -format '%w x %h' back.png)"
  for point in "$@"; do
    echo "  pixel ($point): $(convert back.png -format "%[pixel:p{$point}]" info:)"
  done
}

# Transparency from other programs: a PNG whose pixels all have alpha 0, and
# a 32-bit bitmap whose alpha is used (transparent pastes as index 0, which
# goes out again as the key colour 199, 144, 186).
convert -size 12x6 xc:'rgba(0,0,255,0)' clear.png
echo "clear.png: $(identify -format '%w x %h, %[channels]' clear.png)"
paste_and_copy image/png clear.png 0,0 11,5
convert -size 30x10 xc:none -fill 'rgb(255,0,0)' -draw 'rectangle 0,0 14,9' -define bmp:format=bmp4 BMP:alpha.bmp
echo "alpha.bmp: $(od -An -tu2 -j28 -N2 alpha.bmp | xargs) bits per pixel, header of $(od -An -tu4 -j14 -N4 alpha.bmp | xargs) bytes"
paste_and_copy image/bmp alpha.bmp 0,0 20,0

# A 9000 x 9000 PNG from another program (Python's zlib): red in its top-left
# 20 x 10, green elsewhere; the top-left 255 x 255 pastes.
python3 - <<'PY'
import struct, zlib
w = h = 9000
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
red_row = b"\0" + b"\xff\0\0" * 20 + b"\0\xff\0" * (w - 20)
green_row = b"\0" + b"\0\xff\0" * w
z = zlib.compressobj(6)
data = b"".join(z.compress(red_row if y < 10 else green_row) for y in range(h)) + z.flush()
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) + chunk(b"IDAT", data) + chunk(b"IEND", b"")
open("big.png", "wb").write(png)
PY
echo "big.png: $(identify -format '%w x %h' big.png), $(stat -c %s big.png) bytes"
paste_and_copy image/png big.png 0,0 19,9 20,0 254,254
xclip -selection clipboard -o -t application/x-qshe-indices > indices.bin

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
