// Writers for the two picture formats the generator produces: 8-bit PCX for
// the screen image, PNG for cursors, icons and previews.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "canvas8.h"
#include "palette.h"

namespace qshe::gen {

// Version 5, one 8-bit plane, run-length coded, with the 256-colour palette
// block at the end.
std::vector<uint8_t> EncodePcx(const Image8& img, const Palette& palette);

// zlib stream of `data` (deflate with the fixed codes and a simple
// match search; deterministic).
std::vector<uint8_t> ZlibCompress(std::span<const uint8_t> data);
uint32_t Crc32(std::span<const uint8_t> data, uint32_t crc = 0);

using PngText = std::vector<std::pair<std::string, std::string>>;
// Palettised PNG of an 8-bit image.
std::vector<uint8_t> EncodePngIndexed(const Image8& img, const Palette& palette);
// Truecolour PNG with alpha: `rgba` holds width * height * 4 bytes, top row
// first. `text` becomes tEXt chunks.
std::vector<uint8_t> EncodePngRgba(int width, int height, std::span<const uint8_t> rgba,
                                   const PngText& text = {});

}  // namespace qshe::gen
