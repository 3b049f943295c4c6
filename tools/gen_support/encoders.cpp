#include "encoders.h"

#include <algorithm>
#include <array>

namespace qshe::gen {
namespace {

void Put16(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

}  // namespace

std::vector<uint8_t> EncodePcx(const Image8& img, const Palette& palette) {
  std::vector<uint8_t> out;
  const int bytesPerLine = (img.width + 1) & ~1;  // PCX lines have an even length
  out.push_back(0x0A);  // manufacturer
  out.push_back(5);     // version with a 256-colour palette
  out.push_back(1);     // run-length coding
  out.push_back(8);     // bits per pixel
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, img.width - 1);
  Put16(out, img.height - 1);
  Put16(out, 72);
  Put16(out, 72);
  for (int i = 0; i < 16; ++i) {  // the 16-colour header palette: our first entries
    out.push_back(palette[static_cast<size_t>(i)].r);
    out.push_back(palette[static_cast<size_t>(i)].g);
    out.push_back(palette[static_cast<size_t>(i)].b);
  }
  out.push_back(0);  // reserved
  out.push_back(1);  // planes
  Put16(out, bytesPerLine);
  Put16(out, 1);  // colour palette
  out.resize(128, 0);

  std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine), 0);
  for (int y = 0; y < img.height; ++y) {
    std::copy_n(img.pixels.begin() + static_cast<ptrdiff_t>(y) * img.width, img.width, line.begin());
    // Runs never cross a scan line, so every reader decodes the same rows.
    for (size_t x = 0; x < line.size();) {
      size_t run = 1;
      while (x + run < line.size() && run < 63 && line[x + run] == line[x]) ++run;
      if (run > 1 || line[x] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
      out.push_back(line[x]);
      x += run;
    }
  }
  out.push_back(0x0C);
  for (const Rgb& c : palette) {
    out.push_back(c.r);
    out.push_back(c.g);
    out.push_back(c.b);
  }
  return out;
}

namespace {

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Bits(uint32_t value, int count) {  // least significant bit first
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
  }
  void Code(uint32_t code, int length) {  // Huffman codes go most significant bit first
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
  }
  void Flush() {
    if (used_ > 0) out_.push_back(acc_);
    acc_ = 0;
    used_ = 0;
  }

 private:
  void Bit(uint32_t b) {
    acc_ = static_cast<uint8_t>(acc_ | (b << used_));
    if (++used_ == 8) Flush();
  }
  std::vector<uint8_t>& out_;
  uint8_t acc_ = 0;
  int used_ = 0;
};

void Literal(BitWriter& w, int v) {
  if (v < 144) w.Code(0x30 + v, 8);
  else if (v < 256) w.Code(0x190 + (v - 144), 9);
  else if (v < 280) w.Code(v - 256, 7);
  else w.Code(0xC0 + (v - 280), 8);
}

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistBase = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                           33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(BitWriter& w, int length, int distance) {
  int li = 28;
  while (kLengthBase[static_cast<size_t>(li)] > length) --li;
  Literal(w, 257 + li);
  w.Bits(static_cast<uint32_t>(length - kLengthBase[static_cast<size_t>(li)]), kLengthExtra[static_cast<size_t>(li)]);
  int di = 29;
  while (kDistBase[static_cast<size_t>(di)] > distance) --di;
  w.Code(static_cast<uint32_t>(di), 5);
  w.Bits(static_cast<uint32_t>(distance - kDistBase[static_cast<size_t>(di)]), kDistExtra[static_cast<size_t>(di)]);
}

uint32_t Adler32(std::span<const uint8_t> data) {
  uint32_t a = 1, b = 0;
  for (uint8_t v : data) {
    a = (a + v) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

}  // namespace

std::vector<uint8_t> ZlibCompress(std::span<const uint8_t> data) {
  std::vector<uint8_t> out = {0x78, 0x01};
  BitWriter w(out);
  w.Bits(1, 1);  // last block
  w.Bits(1, 2);  // fixed codes
  constexpr int kWindow = 32768, kHashSize = 1 << 15, kMaxChain = 48;
  std::vector<int> head(kHashSize, -1), prev(kWindow, -1);
  const int n = static_cast<int>(data.size());
  auto hash = [&](int i) {
    return ((data[static_cast<size_t>(i)] << 10) ^ (data[static_cast<size_t>(i) + 1] << 5) ^
            data[static_cast<size_t>(i) + 2]) & (kHashSize - 1);
  };
  auto insert = [&](int i) {
    if (i + 2 >= n) return;
    const int h = hash(i);
    prev[static_cast<size_t>(i % kWindow)] = head[static_cast<size_t>(h)];
    head[static_cast<size_t>(h)] = i;
  };
  for (int i = 0; i < n;) {
    int bestLen = 0, bestDist = 0;
    if (i + 2 < n) {
      int cand = head[static_cast<size_t>(hash(i))];
      for (int chain = 0; cand >= 0 && i - cand <= kWindow - 1 && chain < kMaxChain; ++chain) {
        int len = 0;
        const int limit = std::min(258, n - i);
        while (len < limit && data[static_cast<size_t>(cand + len)] == data[static_cast<size_t>(i + len)]) ++len;
        if (len > bestLen) {
          bestLen = len;
          bestDist = i - cand;
          if (len == limit) break;
        }
        const int next = prev[static_cast<size_t>(cand % kWindow)];
        if (next >= cand) break;  // the slot was reused by a newer position
        cand = next;
      }
    }
    if (bestLen >= 3) {
      Match(w, bestLen, bestDist);
      for (int k = 0; k < bestLen; ++k) insert(i + k);
      i += bestLen;
    } else {
      Literal(w, data[static_cast<size_t>(i)]);
      insert(i);
      ++i;
    }
  }
  Literal(w, 256);
  w.Flush();
  PutBE32(out, Adler32(data));
  return out;
}

uint32_t Crc32(std::span<const uint8_t> data, uint32_t crc) {
  crc = ~crc;
  for (uint8_t v : data) {
    crc ^= v;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

namespace {

void Chunk(std::vector<uint8_t>& png, const char* type, std::span<const uint8_t> body) {
  PutBE32(png, static_cast<uint32_t>(body.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), body.begin(), body.end());
  PutBE32(png, Crc32(std::span<const uint8_t>(png).subspan(start)));
}

std::vector<uint8_t> Png(int width, int height, uint8_t colorType, std::span<const uint8_t> rows,
                         const Palette* palette, const PngText& text) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr;
  PutBE32(ihdr, static_cast<uint32_t>(width));
  PutBE32(ihdr, static_cast<uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, colorType, 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  if (palette) {
    std::vector<uint8_t> plte;
    for (const Rgb& c : *palette) plte.insert(plte.end(), {c.r, c.g, c.b});
    Chunk(png, "PLTE", plte);
  }
  for (const auto& [key, value] : text) {
    std::vector<uint8_t> t(key.begin(), key.end());
    t.push_back(0);
    t.insert(t.end(), value.begin(), value.end());
    Chunk(png, "tEXt", t);
  }
  Chunk(png, "IDAT", ZlibCompress(rows));
  Chunk(png, "IEND", {});
  return png;
}

// Each row gets the "no filter" byte in front.
std::vector<uint8_t> FilterRows(std::span<const uint8_t> pixels, size_t rowBytes, int height) {
  std::vector<uint8_t> rows;
  rows.reserve((rowBytes + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    rows.push_back(0);
    const auto row = pixels.subspan(static_cast<size_t>(y) * rowBytes, rowBytes);
    rows.insert(rows.end(), row.begin(), row.end());
  }
  return rows;
}

}  // namespace

std::vector<uint8_t> EncodePngIndexed(const Image8& img, const Palette& palette) {
  return Png(img.width, img.height, 3, FilterRows(img.pixels, static_cast<size_t>(img.width), img.height),
             &palette, {});
}

std::vector<uint8_t> EncodePngRgba(int width, int height, std::span<const uint8_t> rgba, const PngText& text) {
  return Png(width, height, 6, FilterRows(rgba, static_cast<size_t>(width) * 4, height), nullptr, text);
}

}  // namespace qshe::gen
