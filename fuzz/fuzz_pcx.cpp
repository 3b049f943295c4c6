// PCX files of any shape, shown into buffers at positions inside, across and
// beyond their edges: the decoder must refuse or draw, and never touch
// memory outside the pixels (the sanitizers watch the far end, the check
// below the near one: header and colour table).
#include <cstdlib>
#include <cstring>
#include <memory>

#include "../tests/display/pcx_builder.h"
#include "display/pcx.h"
#include "fuzz_target.h"
#include "platform/headless/headless_surface.h"

using namespace qshe;

namespace {

struct Rig {
  platform::HeadlessSurface surface{64, 64, 8};  // palette indices: colour tables stay put
  std::unique_ptr<DisplayState> state = std::make_unique<DisplayState>();
  int small = -1;
  int large = -1;
  std::vector<uint8_t> smallHead, largeHead;

  Rig() {
    SetWindowDC(*state, &surface);
    InitDisplay(*state);
    small = AllocBuffer(*state, 13, 7);
    large = AllocBuffer(*state, 80, 60);
    for (int slot : {small, large}) {
      SelectBuffer(*state, slot);
      UpdateBufferPalette(*state);
    }
    smallHead = Head(small);
    largeHead = Head(large);
  }
  std::vector<uint8_t> Head(int slot) const {
    const VirtualBuffer& b = state->buffers[static_cast<size_t>(slot)];
    return {b.block.get(), b.pixels};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rig rig;
  MemorySource source({data, size});
  std::array<uint8_t, 768> rgb;
  ReadPcxPalette(source, rgb);
  const int positions[][2] = {{0, 0}, {-5, -3}, {9, 4}, {70, 50}};
  for (int slot : {rig.small, rig.large}) {
    SelectBuffer(*rig.state, slot);
    for (const auto& at : positions) {
      MoveTo(*rig.state, at[0], at[1]);
      ShowPcx(*rig.state, source);
    }
  }
  if (rig.Head(rig.small) != rig.smallHead || rig.Head(rig.large) != rig.largeHead) std::abort();
  return 0;
}

const std::vector<std::vector<uint8_t>>& FuzzSeeds() {
  static const std::vector<std::vector<uint8_t>> seeds = [] {
    using namespace qshe::testing;
    std::vector<uint8_t> rgb(768, 0x42);
    std::vector<std::vector<uint8_t>> s;
    s.push_back(MakePcx8(17, 9, [](int x, int y) { return static_cast<uint8_t>(x * 7 + y * 31); }, rgb));
    for (auto [bits, planes] : {std::pair{4, 1}, std::pair{2, 1}, std::pair{1, 1}, std::pair{1, 4}}) {
      PcxLayout l;
      l.width = 21;
      l.height = 6;
      l.bitsPerPixel = bits;
      l.planes = planes;
      std::vector<uint8_t> lines(static_cast<size_t>(l.height * planes * BytesPerLine(l)));
      for (size_t i = 0; i < lines.size(); ++i) lines[i] = static_cast<uint8_t>(i * 37 + (i / 5) * 200);
      s.push_back(MakePcx(l, lines));
    }
    return s;
  }();
  return seeds;
}
