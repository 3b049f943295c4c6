// Writing one shape out as a picture: the 8-bit bitmap the editor has always
// written, or a palettised PNG when the name asks for one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display/game_palette.h"
#include "document/shape.h"
#include "platform/platform.h"

namespace qshe {

// The bitmap's bytes: game palette with the export colour in entry 0.
std::vector<uint8_t> EncodeShapeBitmap(const Shape& shape, const GamePalette& palette);
// A palettised PNG with the same 256 colours in index order and index 0
// transparent, so other programs keep every index.
std::optional<std::vector<uint8_t>> EncodeShapePng(const Shape& shape, const GamePalette& palette,
                                                   std::string* error = nullptr);
// The same for any block of indices (rows bottom first), such as a sheet.
std::optional<std::vector<uint8_t>> EncodeGamePng(int32_t width, int32_t height, const uint8_t* pixels,
                                                  const GamePalette& palette, std::string* error = nullptr);
// The 256 colours those PNGs carry: the palette with entry 0 the export colour.
GamePalette ExportedPngPalette(const GamePalette& palette);

// True when the name ends in ".png", whatever the case.
bool WantsPng(const std::string& path);
// The name with ".png" in place of a ".bmp" ending, or added.
std::string PngName(const std::string& path);

// The export dialog's filters: the bitmap first, then this one, which makes
// the file a PNG whatever name is typed.
inline constexpr int kExportPngFilter = 1;

// Writes the shape to `path` (PNG or BMP by the name) through the safe save.
// The system's text for the error, or nothing on success.
std::optional<std::string> WriteShapePicture(const std::string& path, const Shape& shape,
                                             const GamePalette& palette);

// Asks for a name when `path` is empty (proposing shape<index>.bmp; the PNG
// filter makes it a PNG), writes, and tells the user when the file could
// not be written. True when written.
bool SaveShapeBitmap(platform::Platform& ui, const GamePalette& palette, const Shape& shape, int32_t index,
                     std::string path);

}  // namespace qshe
