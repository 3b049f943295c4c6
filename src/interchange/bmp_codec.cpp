#include "interchange/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

namespace qshe {
namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

constexpr size_t kFileHeaderSize = 14;

uint32_t U16(std::span<const uint8_t> b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
int32_t I32(std::span<const uint8_t> b, size_t at) { return static_cast<int32_t>(U32(b, at)); }

// One colour channel of a packed pixel, widened or narrowed to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  int bits = 0;

  explicit Channel(uint32_t m = 0) : mask(m) {
    if (m) {
      shift = std::countr_zero(m);
      max = m >> shift;
      bits = std::bit_width(max);
    }
  }
  uint8_t Get(uint32_t pixel, uint8_t absent) const {
    if (!max) return absent;
    const uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    // Short channels repeat their bits, so the top value reaches 255.
    uint32_t out = 0;
    for (int pos = 8 - bits; pos > -bits; pos -= bits) out |= pos >= 0 ? v << pos : v >> -pos;
    return static_cast<uint8_t>(out);
  }
};

struct Header {
  uint32_t headerSize = 0;
  int64_t width = 0;
  int64_t height = 0;  // positive; see topDown
  bool topDown = false;
  uint32_t bits = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  size_t entrySize = 4;    // colour-table entry: 3 bytes in core headers
  size_t tableStart = 0;   // just behind the headers and any bit masks
  uint32_t masks[4] = {};  // red, green, blue, alpha
  bool hasMasks = false;
};

PictureResult Damaged(const char* how) { return PictureFailure(PictureError::Damaged, how); }

// Which rows and columns of the stored picture are kept: all of them from a
// file, the top-left kMaxPictureSide x kMaxPictureSide from the clipboard.
struct Kept {
  int64_t width = 0;
  int64_t height = 0;
  int64_t skipped = 0;  // bottom rows left out
  // The stored row (in storage order) that becomes picture row `row`.
  int64_t Source(const Header& h, int64_t row) const {
    const int64_t full = row + skipped;
    return h.topDown ? h.height - 1 - full : full;
  }
};

// Palettised rows of 1, 4 or 8 bits straight from the data.
void ReadIndexedRows(std::span<const uint8_t> bytes, size_t start, size_t stride, const Header& h, const Kept& k,
                     Picture& p) {
  const int bits = static_cast<int>(h.bits);
  const int perByte = 8 / bits;
  const uint8_t mask = static_cast<uint8_t>((1 << bits) - 1);
  for (int64_t row = 0; row < k.height; ++row) {
    const uint8_t* in = bytes.data() + start + static_cast<size_t>(k.Source(h, row)) * stride;
    uint8_t* out = p.pixels.data() + static_cast<size_t>(row * k.width);
    if (bits == 8) {
      std::memcpy(out, in, static_cast<size_t>(k.width));
      continue;
    }
    for (int64_t x = 0; x < k.width; ++x) {
      int shift = 8 - bits * (1 + static_cast<int>(x % perByte));
      out[x] = static_cast<uint8_t>(in[x / perByte] >> shift & mask);
    }
  }
}

// Packed rows of 16, 24 or 32 bits, to red, green, blue, alpha.
void ReadPackedRows(std::span<const uint8_t> bytes, size_t start, size_t stride, const Header& h, const Kept& k,
                    Picture& p) {
  const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
  const size_t bpp = h.bits / 8;
  for (int64_t row = 0; row < k.height; ++row) {
    const uint8_t* in = bytes.data() + start + static_cast<size_t>(k.Source(h, row)) * stride;
    uint8_t* out = p.pixels.data() + static_cast<size_t>(row * k.width * 4);
    for (int64_t x = 0; x < k.width; ++x, in += bpp, out += 4) {
      if (bpp == 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = 255;
        continue;
      }
      uint32_t v = bpp == 2 ? static_cast<uint32_t>(in[0] | in[1] << 8)
                            : in[0] | in[1] << 8 | in[2] << 16 | static_cast<uint32_t>(in[3]) << 24;
      out[0] = red.Get(v, 0);
      out[1] = green.Get(v, 0);
      out[2] = blue.Get(v, 0);
      out[3] = alpha.Get(v, 255);
    }
  }
}

// Run-length coded rows (always bottom-up). Pixels that the runs skip stay
// index 0. False when the data ends before the picture does.
bool ReadRleRows(std::span<const uint8_t> bytes, size_t at, const Header& h, const Kept& k, Picture& p) {
  const bool four = h.compression == kRle4;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t v) {
    if (x < k.width && y >= k.skipped && y < h.height) p.pixels[static_cast<size_t>((y - k.skipped) * k.width + x)] = v;
    ++x;
  };
  while (y < h.height) {
    if (at + 2 > bytes.size()) return false;
    const uint8_t count = bytes[at], value = bytes[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? static_cast<uint8_t>(i % 2 ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      return true;
    } else if (value == 2) {  // move right and up
      if (at + 2 > bytes.size()) return false;
      x += bytes[at];
      y += bytes[at + 1];
      at += 2;
    } else {  // a literal run, padded to a 16-bit boundary
      size_t length = four ? (value + 1u) / 2 : value;
      if (at + length > bytes.size()) return false;
      for (int i = 0; i < value; ++i) {
        uint8_t b = bytes[at + static_cast<size_t>(four ? i / 2 : i)];
        put(four ? static_cast<uint8_t>(i % 2 ? b & 15 : b >> 4) : b);
      }
      at += length + (length & 1);
    }
  }
  return true;
}

// The information header at `info` and what follows it. `offBits` is where
// a file header says the pixels start (none on the clipboard). With `crop`,
// larger pictures keep their top-left part instead of being refused.
// Without it, pictures up to `maxSide` either way are read.
PictureResult DecodeInfo(std::span<const uint8_t> bytes, size_t info, std::optional<size_t> offBits, bool crop,
                         int32_t maxSide = kMaxPictureSide) {
  if (bytes.size() < info + 4) return Damaged("its headers are cut short");
  Header h;
  h.headerSize = U32(bytes, info);
  if (h.headerSize != 12 && h.headerSize < 40) return Damaged("its information header has an unknown size");
  if (bytes.size() - info < h.headerSize) return Damaged("its headers are cut short");
  if (h.headerSize == 12) {
    h.width = U16(bytes, info + 4);
    h.height = static_cast<int16_t>(U16(bytes, info + 6));
    h.bits = U16(bytes, info + 10);
    h.entrySize = 3;
  } else {
    h.width = I32(bytes, info + 4);
    h.height = I32(bytes, info + 8);
    h.bits = U16(bytes, info + 14);
    h.compression = U32(bytes, info + 16);
    h.colorsUsed = U32(bytes, info + 32);
  }
  h.tableStart = info + h.headerSize;

  if (h.height < 0) {
    h.topDown = true;
    h.height = -h.height;
  }
  if (crop) maxSide = kMaxPictureSide;
  if (!crop && (h.height > maxSide || h.width > maxSide)) return PictureFailure(PictureError::TooBig);
  if (h.width <= 0 || h.height <= 0) {
    return PictureFailure(PictureError::BadSize, std::to_string(h.width) + " x " +
                                                     std::to_string(h.topDown ? -h.height : h.height));
  }

  switch (h.compression) {
    case kRgb: break;
    case kRle8:
      if (h.bits != 8 || h.topDown) return PictureFailure(PictureError::Compression);
      break;
    case kRle4:
      if (h.bits != 4 || h.topDown) return PictureFailure(PictureError::Compression);
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (h.bits != 16 && h.bits != 32) return PictureFailure(PictureError::Compression);
      h.hasMasks = true;
      break;
    default: return PictureFailure(PictureError::Compression);
  }
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
    return PictureFailure(PictureError::Depth);

  // Bit masks: inside headers of 52 bytes and more, else right behind the
  // 40-byte header.
  if (h.hasMasks) {
    const size_t count = h.compression == kAlphaBitFields ? 4 : 3;
    if (h.headerSize >= 52) {
      for (size_t i = 0; i < 3; ++i) h.masks[i] = U32(bytes, info + 40 + 4 * i);
      if (h.headerSize >= 56) h.masks[3] = U32(bytes, info + 52);
    } else {
      if (bytes.size() < h.tableStart + 4 * count) return Damaged("its bit masks are cut short");
      for (size_t i = 0; i < count; ++i) h.masks[i] = U32(bytes, h.tableStart + 4 * i);
      h.tableStart += 4 * count;
    }
  } else if (h.bits == 16) {
    h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
  } else if (h.bits == 32) {
    h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF, h.masks[3] = 0xFF000000;
  }

  Kept k;
  k.width = std::min<int64_t>(h.width, maxSide);
  k.height = std::min<int64_t>(h.height, maxSide);
  k.skipped = h.height - k.height;
  Picture p;
  p.width = static_cast<int32_t>(k.width);
  p.height = static_cast<int32_t>(k.height);
  p.indexed = h.bits <= 8;
  size_t tableBytes = 0;
  if (p.indexed) {
    // A table never has more entries than the depth can address; entries
    // past what the file declares stay black, as the window system shows them.
    const uint32_t full = 1u << h.bits;
    uint32_t entries = h.colorsUsed == 0 ? full : std::min(h.colorsUsed, full);
    // Core headers have no count; the table runs up to the pixels.
    if (h.headerSize == 12 && offBits && *offBits >= h.tableStart)
      entries = std::min<uint32_t>(full, static_cast<uint32_t>((*offBits - h.tableStart) / h.entrySize));
    tableBytes = entries * h.entrySize;
    if (bytes.size() < h.tableStart + tableBytes) return Damaged("its colour table is cut short");
    p.palette.assign(768, 0);
    for (uint32_t e = 0; e < entries; ++e) {
      const uint8_t* c = bytes.data() + h.tableStart + e * h.entrySize;
      p.palette[3 * e] = c[2];
      p.palette[3 * e + 1] = c[1];
      p.palette[3 * e + 2] = c[0];
    }
  }
  // The pixels start where the file header says, unless that points into the
  // headers; then right behind the colour table.
  const size_t headersEnd = h.tableStart;
  const size_t start = offBits && *offBits >= headersEnd ? *offBits : headersEnd + tableBytes;

  if (h.compression == kRle8 || h.compression == kRle4) {
    p.pixels.assign(static_cast<size_t>(k.width * k.height), 0);
    if (!ReadRleRows(bytes, start, h, k, p)) return Damaged("it ends before its last row");
  } else {
    const size_t rowBits = static_cast<size_t>(h.width) * h.bits;
    const size_t stride = (rowBits + 31) / 32 * 4;
    // The last row needs its pixels, not its padding. Checked before
    // anything is made, and without overflowing for any size the header names.
    const size_t rows = static_cast<size_t>(h.height - 1);
    if (start > bytes.size()) return Damaged("it ends before its last row");
    const size_t available = bytes.size() - start;
    if ((rows > 0 && stride > available / rows) || available - stride * rows < (rowBits + 7) / 8)
      return Damaged("it ends before its last row");
    p.pixels.assign(static_cast<size_t>(k.width * k.height) * (p.indexed ? 1 : 4), 0);
    if (p.indexed) {
      ReadIndexedRows(bytes, start, stride, h, k, p);
    } else {
      ReadPackedRows(bytes, start, stride, h, k, p);
      if (h.masks[3]) NoteAlphaUse(p);
    }
  }
  PictureResult result;
  result.picture = std::move(p);
  return result;
}

}  // namespace

bool IsBmp(std::span<const uint8_t> bytes) { return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'; }

PictureResult DecodeBmp(std::span<const uint8_t> bytes, int32_t maxSide) {
  if (!IsBmp(bytes)) return PictureFailure(PictureError::NotAPicture);
  if (bytes.size() < kFileHeaderSize + 4) return Damaged("its headers are cut short");
  return DecodeInfo(bytes, kFileHeaderSize, U32(bytes, 10), false, maxSide);
}

PictureResult DecodeBmpTopLeft(std::span<const uint8_t> bytes) {
  if (!IsBmp(bytes)) return PictureFailure(PictureError::NotAPicture);
  if (bytes.size() < kFileHeaderSize + 4) return Damaged("its headers are cut short");
  return DecodeInfo(bytes, kFileHeaderSize, U32(bytes, 10), true);
}

PictureResult DecodeDib(std::span<const uint8_t> bytes) { return DecodeInfo(bytes, 0, std::nullopt, true); }

std::vector<uint8_t> EncodeBmp8(int32_t width, int32_t height, const uint8_t* pixels, const GamePalette& palette) {
  const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
  const uint32_t pad = (4 - w % 4) % 4;
  const uint32_t dataSize = (w + pad) * h;
  std::vector<uint8_t> out(1078 + dataSize, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, dataSize + 1078);
  put32(10, 1078);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  put16(26, 1);
  put16(28, 8);
  put32(34, w * h);  // without the row padding, as the editor has always written it
  put32(38, 72);
  put32(42, 72);
  put32(46, 256);
  put32(50, 256);
  for (size_t i = 0; i < 256; ++i) {
    const uint8_t* c = i == 0 ? kExportColor0 : palette.data() + 3 * i;
    out[54 + 4 * i] = c[2];
    out[55 + 4 * i] = c[1];
    out[56 + 4 * i] = c[0];
  }
  for (uint32_t row = 0; row < h; ++row) std::memcpy(out.data() + 1078 + row * (w + pad), pixels + row * w, w);
  return out;
}

}  // namespace qshe
