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

bool PictureToShape(const Picture& picture, const ColorMatcher& colors, const ColorChoice& choice, Shape& shape) {
  std::vector<uint8_t> matched = ReduceColors(picture, colors, choice);
  if (!AllocateShape(shape, picture.width, picture.height)) return false;
  std::memcpy(shape.pixels.get(), matched.data(), matched.size());
  return true;
}

PictureShape ReadPictureShape(const std::string& path, const ColorMatcher& colors, const ColorChoice& choice) {
  PictureShape out;
  PictureFile file = ReadPictureFile(path);
  if (!file.opened) {
    out.reason = "Can not read the file: " + file.openError;
  } else if (!file.result.ok()) {
    out.reason = PictureErrorReason(file.result);
  } else if (!PictureToShape(file.result.picture, colors, choice, out.shape)) {
    out.reason = "Not enough memory to load the picture.";
  }
  return out;
}

void PutOnCanvas(Canvas& canvas, const std::vector<uint8_t>& indices, int32_t width, int32_t height) {
  canvas.pixels.fill(0);
  if (width > kCanvasSize || height > kCanvasSize || indices.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    return;
  const size_t w = static_cast<size_t>(width);
  for (int32_t row = 0; row < height; ++row) {
    std::memcpy(&canvas.At(0, kCanvasSize - height + row), indices.data() + static_cast<size_t>(row) * w, w);
  }
}

void CenterOffsets(Shape& shape) {
  shape.offsetX = std::clamp(32 - shape.width / 2, -127, 127);
  shape.offsetY = std::clamp(shape.height / 2 + 65, -127, 127);
}

namespace {

// Decoded and matched in full before the target is touched.
bool LoadInto(platform::MessageBoxes& boxes, const ColorMatcher& colors, const std::string& path,
              const ColorChoice& choice, const PictureFile& file, Shape& shape) {
  Shape fresh;
  if (!PictureToShape(file.result.picture, colors, choice, fresh)) {
    platform::ShowError(boxes, "Not enough memory to load the picture. (" + path + ")");
    return false;
  }
  shape = std::move(fresh);
  return true;
}

}  // namespace

bool LoadBitmapShape(platform::MessageBoxes& boxes, const ColorMatcher& colors, const std::string& path,
                     const ColorChoice& choice, Shape& shape) {
  PictureFile file = ReadPictureFile(path);
  if (!file.opened) return false;
  if (!file.result.ok()) {
    platform::ShowError(boxes, PictureErrorMessage(file.result, path));
    return false;
  }
  return LoadInto(boxes, colors, path, choice, file, shape);
}

bool LoadBitmapFile(Document& doc, Canvas& canvas, platform::MessageBoxes& boxes, const ColorMatcher& colors,
                    const std::string& path, const ColorChoice& choice, int32_t target) {
  PictureFile file = ReadPictureFile(path);
  if (!file.opened) return false;
  if (!file.result.ok()) {
    platform::ShowError(boxes, PictureErrorMessage(file.result, path));
    return false;
  }
  const Picture& picture = file.result.picture;
  if (target >= 0) {
    Shape& slot = doc.list.slots[static_cast<size_t>(std::min(target, kShapeListCapacity - 1))];
    if (!LoadInto(boxes, colors, path, choice, file, slot)) return false;
  } else {
    PutOnCanvas(canvas, ReduceColors(picture, colors, choice), picture.width, picture.height);
  }
  MarkModified(doc);
  return true;
}

}  // namespace qshe
