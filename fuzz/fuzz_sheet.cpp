// Sprite sheets as `qshe-tool sheet import` reads them: JSON text, a zero
// byte, then the PNG. Any mix must be refused with a line or give shapes that
// fit their files, never read outside the picture.
#include <string>

#include "display/game_palette.h"
#include "fuzz_palette.h"
#include "fuzz_target.h"
#include "qshe_tool/sheet_command.h"

using namespace qshe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const GamePalette palette = EditorPalette();
  size_t split = 0;
  while (split < size && data[split] != 0) ++split;
  std::span<const uint8_t> json(data, split), png;
  if (split < size) png = {data + split + 1, size - split - 1};
  tool::DecodedSheet sheet = tool::DecodeSheet(json, png, palette, "s.json", "s.png");
  if (sheet.problem.empty() && FindOversizedShape(sheet.shapes)) __builtin_trap();
  return 0;
}
