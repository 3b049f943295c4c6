// Windows bitmap files: every header and depth that common programs write,
// read into a Picture; and the 8-bit file the export writes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "display/game_palette.h"
#include "interchange/picture.h"

namespace qshe {

bool IsBmp(std::span<const uint8_t> bytes);

// Reads core (OS/2, 12-byte), 40-byte and longer (V4, V5) information
// headers; 1-, 4- and 8-bit palettised, RLE4, RLE8, 16-, 24- and 32-bit with
// or without bit fields; bottom-up and top-down rows. Pictures up to
// `maxSide` either way (whole sheets pass a larger one).
PictureResult DecodeBmp(std::span<const uint8_t> bytes, int32_t maxSide = kMaxPictureSide);

// A bitmap file of any size that keeps its top-left kMaxPictureSide x
// kMaxPictureSide, as pictures from the clipboard do.
PictureResult DecodeBmpTopLeft(std::span<const uint8_t> bytes);

// A device-independent bitmap as the clipboard carries it: information
// header, bit masks, colour table and rows, without a file header. Every
// header and depth DecodeBmp reads; a picture larger than kMaxPictureSide
// either way keeps its top-left part.
PictureResult DecodeDib(std::span<const uint8_t> bytes);

// An 8-bit bitmap of `width` x `height` indices (rows bottom first) with the
// game palette as its colour table, entry 0 replaced by the export colour.
std::vector<uint8_t> EncodeBmp8(int32_t width, int32_t height, const uint8_t* pixels, const GamePalette& palette);

}  // namespace qshe
