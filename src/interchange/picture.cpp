#include "interchange/picture.h"

namespace qshe {

std::string PictureErrorReason(const PictureResult& result) {
  switch (result.error) {
    case PictureError::None: return {};
    case PictureError::NotAPicture: return "This file is not a windows bitmap.";
    case PictureError::TooBig:
      return "This bitmap is too big. The maximum size of a bitmap is " + std::to_string(kMaxPictureSide) + " x " +
             std::to_string(kMaxPictureSide) + " pixels.";
    case PictureError::BadSize:
      return "This bitmap has no usable size (" + result.detail + " pixels). Can not load the image.";
    case PictureError::Compression: return "Unsupported bitmap compression. Can not load the image.";
    case PictureError::Depth:
      // The depths the bitmap reader knows; PNG pictures of every depth are read.
      return "Unsupported bitmap depth. Only 1-, 4-, 8-, 16-, 24- and 32-bit pictures are supported.";
    case PictureError::Damaged: return "This picture file is damaged (" + result.detail + "). Can not load the image.";
  }
  return {};
}

std::string PictureErrorMessage(const PictureResult& result, const std::string& path) {
  if (result.ok()) return {};
  return PictureErrorReason(result) + " (" + path + ")";
}

void NoteAlphaUse(Picture& picture) {
  picture.alphaUsed = false;
  if (picture.indexed || picture.pixels.size() < 4) return;
  const uint8_t first = picture.pixels[3];
  for (size_t i = 7; i < picture.pixels.size(); i += 4) {
    if (picture.pixels[i] != first) {
      picture.alphaUsed = true;
      return;
    }
  }
}

}  // namespace qshe
