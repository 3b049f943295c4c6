#include "support_files.h"

#include <algorithm>
#include <vector>

#include "art.h"
#include "document/shape.h"
#include "document/shape_file.h"
#include "encoders.h"
#include "screen.h"

namespace qshe::gen {
namespace {

std::vector<uint8_t> EncodeHelperShapes(const HelperPictures& pictures) {
  std::vector<Shape> shapes(kHelperSlots);
  for (size_t i = 0; i < shapes.size(); ++i) {
    const HelperPicture& p = pictures[i];
    if (p.image.width == 0) continue;
    AllocateShape(shapes[i], p.image.width, p.image.height);
    shapes[i].offsetX = p.offsetX;
    shapes[i].offsetY = p.offsetY;
    // Shapes keep their bottom row first.
    for (int y = 0; y < p.image.height; ++y)
      std::copy_n(p.image.pixels.begin() + static_cast<ptrdiff_t>(y) * p.image.width, p.image.width,
                  shapes[i].pixels.get() + static_cast<ptrdiff_t>(p.image.height - 1 - y) * p.image.width);
  }
  return EncodeShapeFile(shapes, ShapeFileFormat::Qsh);
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace

std::string IconName(int scale) { return "qshe-icon-" + std::to_string(32 * scale) + ".png"; }

FileSet GenerateSupportFiles() {
  const Palette palette = MakePalette();
  const HelperPictures helpers = MakeHelperPictures();
  FileSet files;
  files[kScreenImageName] = EncodePcx(MakeScreenImage(helpers), palette);
  files[kHelperShapesName] = EncodeHelperShapes(helpers);
  for (const CursorInfo& c : CursorList()) files[c.fileName] = EncodeCursor(c, palette);
  files[kIconName] = EncodeIcon(palette);
  for (int scale : kIconScales) files[IconName(scale)] = EncodeIcon(palette, scale);
  files[kHelpName] = Bytes(HelpText());
  return files;
}

std::vector<uint8_t> GenerateScreenshot() {
  const HelperPictures helpers = MakeHelperPictures();
  return EncodePngIndexed(ComposeMainWindow(MakeScreenImage(helpers), helpers), MakePalette());
}

std::vector<uint8_t> GenerateHelperSheet() {
  // Ten slots a row, each in a 40 x 48 cell, enlarged three times.
  const HelperPictures helpers = MakeHelperPictures();
  constexpr int kCellW = 66, kCellH = 48, kScale = 3;
  Image8 sheet(10 * kCellW * kScale, 10 * kCellH * kScale, Chrome(3));
  for (int i = 0; i < kHelperSlots; ++i) {
    const Image8& pic = helpers[static_cast<size_t>(i)].image;
    const int cx = (i % 10) * kCellW * kScale, cy = (i / 10) * kCellH * kScale;
    Fill(sheet, cx + 1, cx + kCellW * kScale - 2, cy + 1, cy + kCellH * kScale - 2, kCanvasBack);
    DrawText(sheet, cx + 3, cy + 3, std::to_string(i), kBlack);
    for (int y = 0; y < pic.height; ++y)
      for (int x = 0; x < pic.width; ++x)
        if (const uint8_t c = pic.At(x, y); c != 0)
          Fill(sheet, cx + 3 + x * kScale, cx + 2 + (x + 1) * kScale, cy + 12 + y * kScale,
               cy + 11 + (y + 1) * kScale, c);
  }
  return EncodePngIndexed(sheet, MakePalette());
}

}  // namespace qshe::gen
