// What the clipboard carries, turned to and from palette indices: device-
// independent bitmaps for other programs, and the editor's own block of
// exact indices between its windows. Plain functions over bytes, so that
// whatever another program put there can be tried on them directly.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "display/game_palette.h"

namespace qshe {

// The colour that stands for transparent pixels (index 0) on the clipboard:
// the one exported pictures carry, so both ways agree.
inline constexpr const uint8_t* kTransparentKeyColor = kExportColor0;

// Palette indices, rows bottom first.
struct IndexBlock {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
};

// A bitmap of 8 bits or more per pixel (any header, bit fields, top-down
// rows), matched to the game colours: the key colour and, where the alpha
// channel is used, alpha 0 give index 0. A bitmap larger than 256 x 256
// keeps its top-left part. Nothing for other depths and damaged data.
std::optional<IndexBlock> ClipboardBitmapToIndices(std::span<const uint8_t> dib, const ColorMatcher& colors);

// A 24-bit bitmap of the block: 40-byte header, bottom-up rows; index 0 is
// written as the key colour.
std::vector<uint8_t> IndicesToClipboardBitmap(const IndexBlock& block, const GamePalette& palette);

// The editor's own format: width and height (32-bit little-endian), then
// width x height indices, rows bottom first.
std::vector<uint8_t> EncodeIndexBlock(const IndexBlock& block);
// Nothing unless the sizes are 1..256 and the indices all there.
std::optional<IndexBlock> DecodeIndexBlock(std::span<const uint8_t> bytes);

}  // namespace qshe
