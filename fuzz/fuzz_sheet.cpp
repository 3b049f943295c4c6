// Sprite sheets as `qshe-tool sheet import` reads them: JSON text, a zero
// byte, then the PNG. Any mix must be refused with a line or give shapes that
// fit their files, never read outside the picture.
#include <string>

#include "display/game_palette.h"
#include "fuzz_target.h"
#include "interchange/bitmap_export.h"
#include "qshe_tool/sheet_command.h"

using namespace qshe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const GamePalette palette{};
  size_t split = 0;
  while (split < size && data[split] != 0) ++split;
  std::span<const uint8_t> json(data, split), png;
  if (split < size) png = {data + split + 1, size - split - 1};
  tool::DecodedSheet sheet = tool::DecodeSheet(json, png, palette, "s.json", "s.png");
  if (sheet.problem.empty() && FindOversizedShape(sheet.shapes)) __builtin_trap();
  return 0;
}

namespace {

std::vector<uint8_t> Seed(const std::string& json, int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  // Columns from 3 on stay clear: the two-shape seed's second cell is empty.
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = i % static_cast<size_t>(width) < 3 ? static_cast<uint8_t>(i * 37) : 0;
  std::vector<uint8_t> seed(json.begin(), json.end());
  seed.push_back(0);
  auto png = EncodeGamePng(width, height, pixels.data(), GamePalette{});
  seed.insert(seed.end(), png->begin(), png->end());
  return seed;
}

}  // namespace

const std::vector<std::vector<uint8_t>>& FuzzSeeds() {
  static const std::vector<std::vector<uint8_t>> seeds = [] {
    const std::string two =
        R"({"format":"QS2","objectFile":true,"shapes":[)"
        R"({"index":0,"width":3,"height":2,"offsetX":-128,"offsetY":127,"replacement":-1,"tavrelX":-2,)"
        R"("tavrelY":0,"gettable":1,"sittable":0,"walkable":1,"cell":{"x":0,"y":0,"width":3,"height":2}},)"
        R"({"index":1,"width":7,"height":0,"offsetX":0,"offsetY":0,"replacement":0,"tavrelX":0,)"
        R"("tavrelY":5,"gettable":0,"sittable":1,"walkable":0,"cell":{"x":4,"y":0,"width":3,"height":2}}]})";
    const std::string one = R"({"format":"QSH","shapes":[{"index":0,"width":4,"height":4,"offsetX":1,)"
                            R"("offsetY":2,"replacement":0,"cell":{"x":1,"y":1,"width":4,"height":4}}]})";
    return std::vector<std::vector<uint8_t>>{Seed(two, 7, 2), Seed(one, 6, 5), Seed(R"({"format":"QSH","shapes":[]})", 1, 1)};
  }();
  return seeds;
}
