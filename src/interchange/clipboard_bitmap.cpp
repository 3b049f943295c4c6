#include "interchange/clipboard_bitmap.h"

#include <cstring>

#include "interchange/bmp_codec.h"
#include "interchange/png_codec.h"

namespace qshe {
namespace {

constexpr size_t kInfoHeader = 40;
constexpr size_t kBlockHeader = 8;
constexpr int32_t kLargestBlock = 256;

uint32_t Get32(std::span<const uint8_t> b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
void Put32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool IsKey(const uint8_t* rgb) { return std::memcmp(rgb, kTransparentKeyColor, 3) == 0; }

IndexBlock ToIndices(const Picture& p, const ColorMatcher& colors) {
  IndexBlock block{p.width, p.height, std::vector<uint8_t>(static_cast<size_t>(p.width) * static_cast<size_t>(p.height))};
  if (p.indexed) {
    uint8_t remap[256];
    for (int k = 0; k < 256; ++k) {
      const uint8_t* c = p.palette.data() + 3 * k;
      const bool clear = !p.paletteAlpha.empty() && p.paletteAlpha[static_cast<size_t>(k)] == 0;
      remap[k] = clear || IsKey(c) ? 0 : colors.Nearest(c[0], c[1], c[2]);
    }
    for (size_t i = 0; i < block.pixels.size(); ++i) block.pixels[i] = remap[p.pixels[i]];
    return block;
  }
  const uint8_t* px = p.pixels.data();
  for (size_t i = 0; i < block.pixels.size(); ++i, px += 4) {
    if ((p.alphaUsed && px[3] == 0) || IsKey(px)) {
      block.pixels[i] = 0;
    } else {
      block.pixels[i] = colors.Nearest(px[0], px[1], px[2]);
    }
  }
  return block;
}

std::optional<IndexBlock> Refuse(const PictureResult& decoded, std::string* why) {
  if (why) {
    // Pictures of every size are taken in part; only one that no reader can
    // go through in reasonable time and memory is too big.
    *why = decoded.error == PictureError::TooBig ? "It is too large to be read." : PictureErrorReason(decoded);
  }
  return std::nullopt;
}

}  // namespace

std::optional<IndexBlock> ClipboardBitmapToIndices(std::span<const uint8_t> dib, const ColorMatcher& colors,
                                                   std::string* why) {
  PictureResult decoded = DecodeDib(dib);
  if (!decoded.ok()) return Refuse(decoded, why);
  // An alpha byte that is the same everywhere is unused, as many programs
  // write 32-bit pixels.
  return ToIndices(decoded.picture, colors);
}

std::optional<IndexBlock> ClipboardFileToIndices(std::span<const uint8_t> file, const ColorMatcher& colors,
                                                 std::string* why) {
  const bool png = IsPng(file);
  PictureResult decoded = png ? DecodePngTopLeft(file) : DecodeBmpTopLeft(file);
  if (!decoded.ok()) return Refuse(decoded, why);
  // A PNG has an alpha channel only when its maker gave it one, so alpha 0
  // is meant even when every pixel has it.
  if (png && !decoded.picture.indexed) decoded.picture.alphaUsed = true;
  return ToIndices(decoded.picture, colors);
}

std::vector<uint8_t> IndicesToClipboardBitmap(const IndexBlock& block, const GamePalette& palette) {
  const size_t w = static_cast<size_t>(block.width), h = static_cast<size_t>(block.height);
  const size_t stride = (3 * w + 3) / 4 * 4;
  std::vector<uint8_t> out(kInfoHeader + stride * h, 0);
  uint8_t* hd = out.data();
  Put32(hd, kInfoHeader);
  Put32(hd + 4, static_cast<uint32_t>(w));
  Put32(hd + 8, static_cast<uint32_t>(h));
  hd[12] = 1;   // planes
  hd[14] = 24;  // bits per pixel
  Put32(hd + 20, static_cast<uint32_t>(stride * h));
  Put32(hd + 24, 3780);  // 96 pixels per inch
  Put32(hd + 28, 3780);
  for (size_t row = 0; row < h; ++row) {
    uint8_t* o = out.data() + kInfoHeader + row * stride;
    for (size_t x = 0; x < w; ++x, o += 3) {
      const uint8_t p = block.pixels[row * w + x];
      const uint8_t* c = p == 0 ? kTransparentKeyColor : palette.data() + 3 * p;
      o[0] = c[2];
      o[1] = c[1];
      o[2] = c[0];
    }
  }
  return out;
}

std::vector<uint8_t> EncodeIndexBlock(const IndexBlock& block) {
  std::vector<uint8_t> out(kBlockHeader + block.pixels.size());
  Put32(out.data(), static_cast<uint32_t>(block.width));
  Put32(out.data() + 4, static_cast<uint32_t>(block.height));
  if (!block.pixels.empty()) std::memcpy(out.data() + kBlockHeader, block.pixels.data(), block.pixels.size());
  return out;
}

std::optional<IndexBlock> DecodeIndexBlock(std::span<const uint8_t> bytes) {
  if (bytes.size() < kBlockHeader) return std::nullopt;
  const uint32_t w = Get32(bytes, 0), h = Get32(bytes, 4);
  if (w < 1 || h < 1 || w > kLargestBlock || h > kLargestBlock) return std::nullopt;
  if (bytes.size() - kBlockHeader != static_cast<size_t>(w) * h) return std::nullopt;
  return IndexBlock{static_cast<int32_t>(w), static_cast<int32_t>(h),
                    std::vector<uint8_t>(bytes.begin() + kBlockHeader, bytes.end())};
}

}  // namespace qshe
