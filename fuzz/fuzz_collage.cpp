// Contact sheets of any content: whatever PCX bytes the sheet is decoded
// from, cutting it must give shapes the files can hold, cropped to their
// visible pixels, placed without losing the shapes already there.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fuzz_target.h"
#include "interchange/picture_imports.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_surface.h"

using namespace qshe;

namespace {

struct Rig {
  platform::HeadlessSurface surface{64, 64, 8};
  std::unique_ptr<DisplayState> display = std::make_unique<DisplayState>();
  platform::HeadlessPlatform ui;
  int slot = -1;

  Rig() {
    SetWindowDC(*display, &surface);
    InitDisplay(*display);
    slot = AllocBuffer(*display, kSheetWidth, kSheetHeight);
  }
};

bool Cropped(const Shape& s) {
  if (!s.HasPixels()) return s.width == 0 || s.height == 0;
  // Every side of a cut shape has a visible pixel on it.
  bool left = false, right = false, bottom = false, top = false;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      if (s.pixels[static_cast<size_t>(y * s.width + x)] == 0) continue;
      left |= x == 0, right |= x == s.width - 1, bottom |= y == 0, top |= y == s.height - 1;
    }
  return left && right && bottom && top;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rig rig;
  const VirtualBuffer& sheet = rig.display->buffers[static_cast<size_t>(rig.slot)];
  const size_t sheetBytes = static_cast<size_t>(sheet.width) * static_cast<size_t>(sheet.height);
  static std::vector<uint8_t> before;
  before.assign(sheet.pixels, sheet.pixels + sheetBytes);
  if (!LoadSheet(*rig.display, rig.slot, rig.ui, {data, size}, "sheet.pcx")) {
    // A refusal always says why, and leaves the last sheet as it was.
    if (rig.ui.messages.empty() || std::memcmp(before.data(), sheet.pixels, sheetBytes) != 0) std::abort();
    rig.ui.messages.clear();
    return 0;
  }
  // Two shapes already there, the second marked; the sheet goes in between.
  auto doc = std::make_unique<Document>();
  doc->list.count = 2;
  doc->list.slots[1].offsetX = 99;
  const ImportChoice choice{ImportMode::AddNew, PlacementMode::AfterCurrent, false};
  History history;
  ImportCount n = CutSheet(history, *doc, sheet, rig.ui, choice);
  // Refused frames keep their places (empty) once any frame is taken; when
  // none is, nothing changes.
  const int32_t made = n.imported > 0 ? n.imported + n.failed : 0;
  if (n.imported < 0 || n.failed < 0 || doc->list.count != 2 + made || doc->list.count > kShapeListCapacity)
    std::abort();
  if (n.failed > 0 && rig.ui.messages.empty()) std::abort();
  if (doc->list.slots[static_cast<size_t>(doc->list.count - 1)].offsetX != 99) std::abort();
  auto cut = std::span<const Shape>(doc->list.slots.data() + 1, static_cast<size_t>(made));
  if (FindOversizedShape(cut)) std::abort();
  for (const Shape& s : cut)
    if (!Cropped(s) || s.offsetY > 127 || s.offsetY < -128 || s.offsetX < 0) std::abort();
  rig.ui.messages.clear();
  return 0;
}
