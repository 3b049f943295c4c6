// A picture read from a file, before its colours are matched to the game's:
// the common result of the BMP and PNG readers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qshe {

// Pictures larger than this either way are refused: a shape file holds no
// larger shape, and the canvas commits no more than this of its 256 x 256.
inline constexpr int32_t kMaxPictureSide = 255;

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  // Indexed: one colour-table index per pixel, and `palette` holds 256
  // entries of red, green, blue (entries the file does not declare are
  // black). Otherwise four bytes per pixel: red, green, blue, alpha.
  bool indexed = false;
  // Rows bottom first, like shapes and the canvas.
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> palette;
  // Indexed PNG only: the alpha of each of the 256 entries (255 where the
  // file's transparency chunk says nothing). Empty for other pictures.
  std::vector<uint8_t> paletteAlpha;
  // The alpha channel tells pixels apart (not all the same value), so it,
  // and not a key colour, says which pixels are background.
  bool alphaUsed = false;

  const uint8_t* Row(int32_t row) const {
    return pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width) * (indexed ? 1u : 4u);
  }
};

// Why a file could not be read as a picture.
enum class PictureError {
  None,
  NotAPicture,  // neither a BMP nor a PNG signature
  TooBig,       // wider or taller than kMaxPictureSide
  BadSize,      // a width or height of 0 or less
  Compression,  // a compression the reader does not know
  Depth,        // a bit depth the reader does not know
  Damaged,      // cut short or inconsistent; `detail` says how
};

struct PictureResult {
  PictureError error = PictureError::None;
  std::string detail;  // for Damaged and BadSize
  Picture picture;     // valid when error is None

  bool ok() const { return error == PictureError::None; }
};

inline PictureResult PictureFailure(PictureError error, std::string detail = {}) {
  PictureResult r;
  r.error = error;
  r.detail = std::move(detail);
  return r;
}

// The user-facing text for a failed read of the file at `path`.
std::string PictureErrorMessage(const PictureResult& result, const std::string& path);
// The same without the file's name, for lists of many files.
std::string PictureErrorReason(const PictureResult& result);

// Sets `alphaUsed` from the pixels of an RGBA picture.
void NoteAlphaUse(Picture& picture);

}  // namespace qshe
