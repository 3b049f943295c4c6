// Builds PCX files in memory for tests and benchmarks, including ones that no
// careful writer would produce.
#pragma once

#include <cstdint>
#include <vector>

namespace qshe::testing {

struct PcxLayout {
  int width = 1, height = 1, bitsPerPixel = 8, planes = 1;
  int bytesPerLine = 0;  // per plane; 0: the least that holds the width, rounded to even
  int version = 5, encoding = 1;
  uint8_t palette16[48] = {};
};

inline int BytesPerLine(const PcxLayout& l) {
  int bytes = (l.width * l.bitsPerPixel + 7) / 8;
  return l.bytesPerLine ? l.bytesPerLine : bytes + (bytes & 1);
}

inline std::vector<uint8_t> PcxHeaderBytes(const PcxLayout& l) {
  std::vector<uint8_t> h(128, 0);
  auto put16 = [&](size_t at, int v) { h[at] = static_cast<uint8_t>(v), h[at + 1] = static_cast<uint8_t>(v >> 8); };
  h[0] = 0x0A;
  h[1] = static_cast<uint8_t>(l.version);
  h[2] = static_cast<uint8_t>(l.encoding);
  h[3] = static_cast<uint8_t>(l.bitsPerPixel);
  put16(8, l.width - 1);
  put16(10, l.height - 1);
  for (size_t i = 0; i < 48; ++i) h[16 + i] = l.palette16[i];
  h[65] = static_cast<uint8_t>(l.planes);
  put16(66, BytesPerLine(l));
  return h;
}

// Run-length codes for the whole decoded stream at once, so runs carry on
// across the ends of scan lines.
inline std::vector<uint8_t> EncodeRuns(const std::vector<uint8_t>& decoded) {
  std::vector<uint8_t> out;
  for (size_t i = 0, n = 1; i < decoded.size(); i += n, n = 1) {
    while (i + n < decoded.size() && decoded[i + n] == decoded[i] && n < 63) ++n;
    if (n > 1 || decoded[i] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | n));
    out.push_back(decoded[i]);
  }
  return out;
}

// A whole file: header, encoded scan lines (planes x bytes per line each, as
// given), and, when `rgb256` holds 768 bytes, the trailing 256-colour palette.
inline std::vector<uint8_t> MakePcx(const PcxLayout& l, const std::vector<uint8_t>& scanLines,
                                    const std::vector<uint8_t>& rgb256 = {}) {
  std::vector<uint8_t> file = PcxHeaderBytes(l), data = EncodeRuns(scanLines);
  file.insert(file.end(), data.begin(), data.end());
  if (rgb256.size() == 768) {
    file.push_back(0x0C);
    file.insert(file.end(), rgb256.begin(), rgb256.end());
  }
  return file;
}

// An 8-bit picture whose pixel (x, y) is pixel(x, y), with a 256-colour palette.
template <typename PixelFn>
std::vector<uint8_t> MakePcx8(int width, int height, PixelFn pixel, const std::vector<uint8_t>& rgb256) {
  PcxLayout l;
  l.width = width;
  l.height = height;
  size_t bpl = static_cast<size_t>(BytesPerLine(l));
  std::vector<uint8_t> lines(bpl * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) lines[static_cast<size_t>(y) * bpl + static_cast<size_t>(x)] = pixel(x, y);
  return MakePcx(l, lines, rgb256);
}

}  // namespace qshe::testing
