#include "interchange/picture.h"

namespace qshe {

std::string PictureErrorMessage(const PictureResult& result, const std::string& path) {
  const std::string tail = " (" + path + ")";
  switch (result.error) {
    case PictureError::None: return {};
    case PictureError::NotAPicture: return "This file is not a windows bitmap." + tail;
    case PictureError::TooBig:
      return "This bitmap is too big. The maximum size of a bitmap is 256 x 256 pixels." + tail;
    case PictureError::BadSize:
      return "This bitmap has no usable size (" + result.detail + " pixels). Can not load the image." + tail;
    case PictureError::Compression: return "Unsupported bitmap compression. Can not load the image." + tail;
    case PictureError::Depth:
      return "Unsupported bitmap depth. Only 8-bit and 24-bit pictures are supported." + tail;
    case PictureError::Damaged:
      return "This picture file is damaged (" + result.detail + "). Can not load the image." + tail;
  }
  return {};
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
