// Bitmap files built byte by byte for the reader tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace qshe::testing {

struct BmpSpec {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bits = 8;
  uint32_t compression = 0;
  uint32_t headerSize = 40;  // 12 writes the OS/2 core header
  uint32_t colorsUsed = 0;
  std::vector<uint8_t> table;  // colour-table bytes as stored
  std::vector<uint8_t> extra;  // bytes between the table and the pixels (masks)
  std::vector<uint8_t> pixels;  // as stored, padding included
  int64_t offset = -1;  // pixel-data offset; -1: right behind the table
};

inline void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
  // Room for the 40-byte fields even when the header claims to be shorter.
  std::vector<uint8_t> b(14 + std::max<uint32_t>(s.headerSize, 40), 0);
  b[0] = 'B';
  b[1] = 'M';
  Put(b, 14, s.headerSize, 4);
  if (s.headerSize == 12) {
    Put(b, 18, static_cast<uint32_t>(s.width), 2);
    Put(b, 20, static_cast<uint32_t>(s.height), 2);
    Put(b, 22, 1, 2);
    Put(b, 24, s.bits, 2);
  } else {
    Put(b, 18, static_cast<uint32_t>(s.width), 4);
    Put(b, 22, static_cast<uint32_t>(s.height), 4);
    Put(b, 26, 1, 2);
    Put(b, 28, s.bits, 2);
    Put(b, 30, s.compression, 4);
    Put(b, 46, s.colorsUsed, 4);
  }
  b.resize(14 + s.headerSize);
  b.insert(b.end(), s.table.begin(), s.table.end());
  b.insert(b.end(), s.extra.begin(), s.extra.end());
  Put(b, 10, static_cast<uint32_t>(s.offset >= 0 ? s.offset : static_cast<int64_t>(b.size())), 4);
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  Put(b, 2, static_cast<uint32_t>(b.size()), 4);
  return b;
}

// A grey colour table: entry k is (k, k, k).
inline std::vector<uint8_t> GreyTable(int entries) {
  std::vector<uint8_t> t;
  for (int k = 0; k < entries; ++k) t.insert(t.end(), {uint8_t(k), uint8_t(k), uint8_t(k), 0});
  return t;
}

}  // namespace qshe::testing
