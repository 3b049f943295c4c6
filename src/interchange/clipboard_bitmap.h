// What the clipboard carries, turned to and from palette indices: device-
// independent bitmaps for other programs, and the editor's own block of
// exact indices between its windows. Plain functions over bytes, so that
// whatever another program put there can be tried on them directly.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
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

// A bitmap of any depth the bitmap reader knows (1 to 32 bits, any header,
// bit fields, top-down rows), matched to the game colours: the key colour
// and, where the alpha channel is used, alpha 0 give index 0. A bitmap
// larger than 255 x 255 keeps its top-left part. Nothing for damaged data
// and depths no reader knows, with the reason in `why`.
std::optional<IndexBlock> ClipboardBitmapToIndices(std::span<const uint8_t> dib, const ColorMatcher& colors,
                                                   std::string* why = nullptr);

// A PNG or BMP file another program offered, read by the editor's own
// readers, so alpha comes through as the file has it: in a PNG alpha 0 is
// always transparent, in a bitmap where its alpha channel is used. The key
// colour gives index 0 as well. Pictures of any size keep their top-left
// 255 x 255.
std::optional<IndexBlock> ClipboardFileToIndices(std::span<const uint8_t> file, const ColorMatcher& colors,
                                                 std::string* why = nullptr);

// A 24-bit bitmap of the block: 40-byte header, bottom-up rows; index 0 is
// written as the key colour.
std::vector<uint8_t> IndicesToClipboardBitmap(const IndexBlock& block, const GamePalette& palette);

// The editor's own format: width and height (32-bit little-endian), then
// width x height indices, rows bottom first.
std::vector<uint8_t> EncodeIndexBlock(const IndexBlock& block);
// Nothing unless the sizes are 1..256 and the indices all there.
std::optional<IndexBlock> DecodeIndexBlock(std::span<const uint8_t> bytes);

}  // namespace qshe
