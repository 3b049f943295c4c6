#include "interchange/bitmap_export.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "document/file_io.h"
#include "interchange/bmp_codec.h"
#include "interchange/png_codec.h"
#include "platform/messages.h"

namespace qshe {

std::vector<uint8_t> EncodeShapeBitmap(const Shape& shape, const GamePalette& palette) {
  return EncodeBmp8(shape.width, shape.height, shape.pixels.get(), palette);
}

GamePalette ExportedPngPalette(const GamePalette& palette) {
  GamePalette table = palette;
  std::memcpy(table.data(), kExportColor0, 3);
  return table;
}

std::optional<std::vector<uint8_t>> EncodeGamePng(int32_t width, int32_t height, const uint8_t* pixels,
                                                  const GamePalette& palette, std::string* error) {
  const GamePalette table = ExportedPngPalette(palette);
  const uint8_t alpha[1] = {0};
  return EncodeIndexedPng({width, height, pixels, table, alpha}, error);
}

std::optional<std::vector<uint8_t>> EncodeShapePng(const Shape& shape, const GamePalette& palette,
                                                   std::string* error) {
  return EncodeGamePng(shape.width, shape.height, shape.pixels.get(), palette, error);
}

bool WantsPng(const std::string& path) { return EndsWithNoCase(path, ".png"); }

std::string PngName(const std::string& path) {
  return (EndsWithNoCase(path, ".bmp") ? path.substr(0, path.size() - 4) : path) + ".png";
}

std::optional<std::string> WriteShapePicture(const std::string& path, const Shape& shape,
                                             const GamePalette& palette) {
  if (!shape.HasPixels()) return std::string("the shape is empty");
  if (WantsPng(path)) {
    std::string error;
    auto bytes = EncodeShapePng(shape, palette, &error);
    if (!bytes) return error;
    return WriteFileAtomically(path, *bytes);
  }
  return WriteFileAtomically(path, EncodeShapeBitmap(shape, palette));
}

bool SaveShapeBitmap(platform::Platform& ui, const GamePalette& palette, const Shape& shape, int32_t index,
                     std::string path) {
  if (path.empty()) {
    int filter = 0;
    platform::FileDialogRequest request;
    request.filters = {
        {"Windows Bitmap file (*.bmp)", "*.bmp"}, {"PNG pictures (*.png)", "*.png"}, {"All Files (*.*)", "*.*"}};
    request.title = "Export the shape as a picture";
    request.initialName = "shape" + std::to_string(index) + ".bmp";
    request.defaultExtension = "bmp";
    request.maxLength = 260;
    request.hideReadOnly = true;
    request.promptOverwrite = true;
    request.pathMustExist = true;
    request.chosenFilter = &filter;
    auto chosen = ui.files.AskSaveFileName(request);
    if (!chosen) return false;
    path = *chosen;
    if (filter == kExportPngFilter && !WantsPng(path)) {
      // The PNG filter picks the format, and the name says so. The dialog
      // asked about the name it showed; a different one is asked about here.
      path = PngName(path);
      if (FileExists(path) && !platform::AskYesNo(ui.boxes, path + " already exists.\nDo you want to replace it?"))
        return false;
    }
  }
  // An empty shape has no picture; a 0 x 0 bitmap is one no program reads.
  if (!shape.HasPixels()) {
    platform::ShowError(ui.boxes, "Shape " + std::to_string(index) + " is empty. There is nothing to export.");
    return false;
  }
  if (auto error = WriteShapePicture(path, shape, palette)) {
    platform::ShowError(ui.boxes,
                        "Error while saving the bitmap - File could not be saved: " + *error + " Please try again.");
    return false;
  }
  return true;
}

}  // namespace qshe
