#include "interchange/bitmap_import.h"

#include <algorithm>
#include <cstring>

#include "document/file_io.h"
#include "interchange/bmp_codec.h"
#include "interchange/png_codec.h"
#include "platform/messages.h"

namespace qshe {

std::vector<platform::FileFilter> PictureOpenFilters() {
  return {
      {"Pictures (*.bmp *.png)", "*.bmp;*.png"}, {"Windows Bitmap Files (*.bmp)", "*.bmp"}, {"All Files (*.*)", "*.*"}};
}

PictureResult DecodePicture(std::span<const uint8_t> bytes) {
  if (IsPng(bytes)) return DecodePng(bytes);
  return DecodeBmp(bytes);
}

PictureFile ReadPictureFile(const std::string& path, uint64_t limit) {
  PictureFile file;
  ReadProblem problem;
  auto bytes = ReadWholeFile(path, limit, &problem);
  if (!bytes) {
    // Larger than any picture the imports take: said, unlike a file that
    // cannot be opened (or a folder that a pattern matched).
    file.opened = problem.kind == ReadFailure::TooLarge;
    file.openError = problem.text;
    file.result = PictureFailure(PictureError::TooBig);
    return file;
  }
  file.opened = true;
  file.result = DecodePicture(bytes->bytes());
  return file;
}

std::vector<uint8_t> MatchPicture(const Picture& picture, const ColorMatcher& colors, bool transparent) {
  const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
  std::vector<uint8_t> out(count);
  if (count == 0) return out;
  if (picture.indexed) {
    uint8_t remap[256];
    for (int k = 0; k < 256; ++k) {
      const uint8_t* c = picture.palette.data() + 3 * k;
      remap[k] = colors.Nearest(c[0], c[1], c[2]);
    }
    if (transparent) remap[0] = 0;
    for (size_t i = 0; i < count; ++i) out[i] = remap[picture.pixels[i]];
    return out;
  }
  const uint8_t* px = picture.pixels.data();
  const uint8_t* key = px + 4 * (static_cast<size_t>(picture.width) - 1);  // bottom-right
  const bool byAlpha = transparent && picture.alphaUsed;
  const bool byKey = transparent && !picture.alphaUsed;
  const uint8_t keyRgb[3] = {key[0], key[1], key[2]};
  // Neighbouring pixels often share a colour; remember the last one.
  uint32_t lastColor = UINT32_MAX;
  uint8_t lastIndex = 0;
  for (size_t i = 0; i < count; ++i, px += 4) {
    if ((byAlpha && px[3] == 0) || (byKey && std::memcmp(px, keyRgb, 3) == 0)) {
      out[i] = 0;
      continue;
    }
    const uint32_t color = static_cast<uint32_t>(px[0]) << 16 | px[1] << 8 | px[2];
    if (color != lastColor) {
      lastColor = color;
      lastIndex = colors.Nearest(px[0], px[1], px[2]);
    }
    out[i] = lastIndex;
  }
  return out;
}

bool PictureToShape(const Picture& picture, const ColorMatcher& colors, bool transparent, Shape& shape) {
  std::vector<uint8_t> matched = MatchPicture(picture, colors, transparent);
  if (!AllocateShape(shape, picture.width, picture.height)) return false;
  std::memcpy(shape.pixels.get(), matched.data(), matched.size());
  return true;
}

PictureShape ReadPictureShape(const std::string& path, const ColorMatcher& colors, bool transparent) {
  PictureShape out;
  PictureFile file = ReadPictureFile(path);
  if (!file.opened) {
    out.reason = "Can not read the file: " + file.openError;
  } else if (!file.result.ok()) {
    out.reason = PictureErrorReason(file.result);
  } else if (!PictureToShape(file.result.picture, colors, transparent, out.shape)) {
    out.reason = "Not enough memory to load the picture.";
  }
  return out;
}

void CenterOffsets(Shape& shape) {
  shape.offsetX = std::clamp(32 - shape.width / 2, -127, 127);
  shape.offsetY = std::clamp(shape.height / 2 + 65, -127, 127);
}

namespace {

// Decoded and matched in full before the target is touched.
bool LoadInto(platform::MessageBoxes& boxes, const ColorMatcher& colors, const std::string& path, bool transparent,
              const PictureFile& file, Shape& shape) {
  Shape fresh;
  if (!PictureToShape(file.result.picture, colors, transparent, fresh)) {
    platform::ShowError(boxes, "Not enough memory to load the picture. (" + path + ")");
    return false;
  }
  shape = std::move(fresh);
  return true;
}

}  // namespace

bool LoadBitmapShape(platform::MessageBoxes& boxes, const ColorMatcher& colors, const std::string& path,
                     bool transparent, Shape& shape) {
  PictureFile file = ReadPictureFile(path);
  if (!file.opened) return false;
  if (!file.result.ok()) {
    platform::ShowError(boxes, PictureErrorMessage(file.result, path));
    return false;
  }
  return LoadInto(boxes, colors, path, transparent, file, shape);
}

bool LoadBitmapFile(Document& doc, Canvas& canvas, platform::MessageBoxes& boxes, const ColorMatcher& colors,
                    const std::string& path, bool transparent, int32_t target) {
  PictureFile file = ReadPictureFile(path);
  if (!file.opened) return false;
  if (!file.result.ok()) {
    platform::ShowError(boxes, PictureErrorMessage(file.result, path));
    return false;
  }
  const Picture& picture = file.result.picture;
  if (target >= 0) {
    Shape& slot = doc.list.slots[static_cast<size_t>(std::min(target, kShapeListCapacity - 1))];
    if (!LoadInto(boxes, colors, path, transparent, file, slot)) return false;
  } else {
    std::vector<uint8_t> matched = MatchPicture(picture, colors, transparent);
    canvas.pixels.fill(0);
    const size_t w = static_cast<size_t>(picture.width);
    for (int32_t row = 0; row < picture.height; ++row) {
      std::memcpy(&canvas.At(0, kCanvasSize - picture.height + row), matched.data() + static_cast<size_t>(row) * w, w);
    }
  }
  MarkModified(doc);
  return true;
}

}  // namespace qshe
