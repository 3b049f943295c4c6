// BMP and PNG files of any shape: reading must refuse or succeed, never read
// out of bounds, and whatever it accepts must match to game colours.
#include "display/game_palette.h"
#include "fuzz_target.h"
#include "interchange/bitmap_import.h"
#include "interchange/bitmap_export.h"

using namespace qshe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ColorMatcher colors(GamePalette{});
  PictureResult r = DecodePicture({data, size});
  if (r.ok()) {
    auto matched = MatchPicture(r.picture, colors, true);
    (void)matched;
  }
  return 0;
}

namespace {

std::vector<uint8_t> Bmp(uint16_t bits, uint32_t compression, std::vector<uint8_t> table, std::vector<uint8_t> pixels) {
  std::vector<uint8_t> b(54, 0);
  b[0] = 'B', b[1] = 'M', b[14] = 40, b[18] = 2, b[22] = 2, b[26] = 1, b[28] = static_cast<uint8_t>(bits);
  b[30] = static_cast<uint8_t>(compression);
  for (uint8_t v : table) b.push_back(v);
  b[10] = static_cast<uint8_t>(b.size());
  b[11] = static_cast<uint8_t>(b.size() >> 8);
  for (uint8_t v : pixels) b.push_back(v);
  return b;
}

}  // namespace

const std::vector<std::vector<uint8_t>>& FuzzSeeds() {
  static const std::vector<std::vector<uint8_t>> seeds = [] {
    std::vector<std::vector<uint8_t>> s;
    s.push_back(Bmp(24, 0, {}, std::vector<uint8_t>(16, 7)));
    s.push_back(Bmp(4, 2, std::vector<uint8_t>(64, 3), {2, 0x12, 0, 0, 2, 0x34, 0, 1}));
    s.push_back(Bmp(8, 1, std::vector<uint8_t>(1024, 9), {2, 1, 0, 0, 0, 2, 5, 6, 0, 1}));
    Shape shape;
    AllocateShape(shape, 3, 2);
    for (int i = 0; i < 6; ++i) shape.pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 40);
    s.push_back(*EncodeShapePng(shape, GamePalette{}));
    return s;
  }();
  return seeds;
}
