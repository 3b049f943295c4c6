#!/usr/bin/env python3
"""Writes the 16-colour test pictures whose layouts ImageMagick does not
write itself: 4 bits in one plane, and 1 bit in four planes. Pixels and
colours are a fixed pseudo-random pattern."""
import struct
import sys


def rle(line):
    out = bytearray()
    i = 0
    while i < len(line):
        v = line[i]
        n = 1
        while i + n < len(line) and line[i + n] == v and n < 63:
            n += 1
        if n > 1 or v >= 0xC0:
            out += bytes([0xC0 | n, v])
        else:
            out.append(v)
        i += n
    return out


def header(width, height, bits, planes, bpl, palette):
    h = bytearray(128)
    h[0:4] = bytes([0x0A, 5, 1, bits])
    h[4:12] = struct.pack('<HHHH', 0, 0, width - 1, height - 1)
    h[16:64] = palette
    h[65] = planes
    h[66:68] = struct.pack('<H', bpl)
    h[68:70] = struct.pack('<H', 1)
    return h


def main(out_dir):
    width, height = 13, 5
    seed = 12345
    def rnd():
        nonlocal seed
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        return seed >> 16
    palette = bytearray()
    for i in range(16):
        palette += bytes([(i * 17) & 255, (255 - i * 13) & 255, (i * 71 + 40) & 255])
    pixels = [[rnd() % 16 for _ in range(width)] for _ in range(height)]
    pixels[0][:6] = [7] * 6  # a run

    # 4 bits per pixel, one plane
    bpl = (width * 4 + 15) // 16 * 2
    data = bytearray(header(width, height, 4, 1, bpl, palette))
    for row in pixels:
        line = bytearray(bpl)
        for x, v in enumerate(row):
            line[x // 2] |= v << (4 if x % 2 == 0 else 0)
        data += rle(line)
    open(f'{out_dir}/own_4bit.pcx', 'wb').write(data)

    # 1 bit per pixel, four planes: plane p holds bit p
    bpl = (width + 15) // 16 * 2
    data = bytearray(header(width, height, 1, 4, bpl, palette))
    for row in pixels:
        line = bytearray()
        for p in range(4):
            plane = bytearray(bpl)
            for x, v in enumerate(row):
                if v >> p & 1:
                    plane[x // 8] |= 0x80 >> (x % 8)
            line += plane
        data += rle(line)
    open(f'{out_dir}/own_4planes.pcx', 'wb').write(data)


main(sys.argv[1] if len(sys.argv) > 1 else '.')
