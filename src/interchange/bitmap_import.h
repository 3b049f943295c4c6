// Reading a picture file into a shape or the canvas, its colours matched to
// the game palette.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "display/game_palette.h"
#include "document/canvas.h"
#include "document/document.h"
#include "interchange/color_reduction.h"
#include "interchange/picture.h"
#include "platform/platform.h"

namespace qshe {

// The largest picture file of at most `side` x `side` pixels worth reading:
// a PNG of 16-bit RGBA stored without compression (each row a filter byte
// and 8 bytes a pixel), with room for its chunk and block headers and for
// the 4 MB of side chunks the PNG reader keeps. Every BMP of that size, of
// any depth and with any colour table, is smaller.
constexpr uint64_t PictureFileLimit(int64_t side) {
  const auto raw = static_cast<uint64_t>(side * (1 + side * 8));
  return raw + raw / 64 + (uint64_t{4} << 20) + 65536;
}
// What the picture imports read at most: a few MB for 256 x 256. A larger
// file is refused from its size, before it is read.
inline constexpr uint64_t kMaxPictureFileBytes = PictureFileLimit(kMaxPictureSide);
// The open dialogs' filters for pictures: both kinds first, then bitmaps as
// they always were, then every file.
std::vector<platform::FileFilter> PictureOpenFilters();

// A BMP or a PNG, told apart by the signature and not by the name.
PictureResult DecodePicture(std::span<const uint8_t> bytes);

struct PictureFile {
  bool opened = false;  // false: the file could not be read at all
  std::string openError;
  PictureResult result;
};
// A file larger than `limit` bytes is TooBig without being read.
PictureFile ReadPictureFile(const std::string& path, uint64_t limit = kMaxPictureFileBytes);

// Game-palette indices, width x height, rows bottom first, the colours
// reduced as `choice` says.
inline std::vector<uint8_t> MatchPicture(const Picture& picture, const ColorMatcher& colors,
                                         const ColorChoice& choice) {
  return ReduceColors(picture, colors, choice);
}
// The same with every pixel matched to its nearest game colour; with
// `transparent` the "Automatic" rule: palettised pictures give 0 for
// colour-table index 0; others give 0 for alpha 0 when the alpha channel is
// used, else for every pixel of exactly the bottom-right pixel's colour.
// Every other pixel gets the nearest game colour, never 0.
inline ColorChoice NearestChoice(bool transparent) {
  return {transparent ? Transparency::Automatic : Transparency::None, {}, ColorMethod::Nearest};
}
inline std::vector<uint8_t> MatchPicture(const Picture& picture, const ColorMatcher& colors, bool transparent) {
  return ReduceColors(picture, colors, NearestChoice(transparent));
}

// Fills `shape` (cleared first, so offsets and properties start at 0) with a
// matched picture. False when its block could not be obtained.
bool PictureToShape(const Picture& picture, const ColorMatcher& colors, const ColorChoice& choice, Shape& shape);
inline bool PictureToShape(const Picture& picture, const ColorMatcher& colors, bool transparent, Shape& shape) {
  return PictureToShape(picture, colors, NearestChoice(transparent), shape);
}

// A picture file read and matched into a new shape, or why not (the reason
// without the file's name; empty on success).
struct PictureShape {
  Shape shape;
  std::string reason;
};
PictureShape ReadPictureShape(const std::string& path, const ColorMatcher& colors, const ColorChoice& choice);

// Puts matched indices of a width x height picture on the canvas's top left
// and clears the rest.
void PutOnCanvas(Canvas& canvas, const std::vector<uint8_t>& indices, int32_t width, int32_t height);

// Offsets that put the shape's middle over the floor tile's: 32 - width / 2
// across, height / 2 + 65 up, each kept to -127..127.
void CenterOffsets(Shape& shape);

// Reads `path` into `shape` (cleared first) as LoadBitmapFile reads it into a
// slot. False, with `shape` as it was, when the file cannot be opened
// (silently) or used (with a message naming the file).
bool LoadBitmapShape(platform::MessageBoxes& boxes, const ColorMatcher& colors, const std::string& path,
                     const ColorChoice& choice, Shape& shape);
inline bool LoadBitmapShape(platform::MessageBoxes& boxes, const ColorMatcher& colors, const std::string& path,
                            bool transparent, Shape& shape) {
  return LoadBitmapShape(boxes, colors, path, NearestChoice(transparent), shape);
}

// Reads `path` into shape slot `target`, or into the canvas (top-left, the
// rest cleared) for a negative target. A file that cannot be opened changes
// nothing silently; a picture that cannot be used is refused with a message
// naming the file and changes nothing. On success the document is modified.
bool LoadBitmapFile(Document& doc, Canvas& canvas, platform::MessageBoxes& boxes, const ColorMatcher& colors,
                    const std::string& path, const ColorChoice& choice, int32_t target);
inline bool LoadBitmapFile(Document& doc, Canvas& canvas, platform::MessageBoxes& boxes, const ColorMatcher& colors,
                           const std::string& path, bool transparent, int32_t target) {
  return LoadBitmapFile(doc, canvas, boxes, colors, path, NearestChoice(transparent), target);
}

}  // namespace qshe
