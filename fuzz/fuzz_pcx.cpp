// PCX files of any shape, shown into buffers of several sizes at positions
// inside them and across each of their edges. The decoder must draw only
// inside the picture's rectangle cut to the buffer, leave the buffer and the
// palette as they were when it refuses, and never touch the header or the
// colour table in front of the pixels (the sanitizers watch the far end).
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "display/pcx.h"
#include "fuzz_target.h"
#include "platform/headless/headless_surface.h"

using namespace qshe;

namespace {

constexpr uint8_t kFill = 0xEE;

struct Rig {
  platform::HeadlessSurface surface{64, 64, 8};  // palette indices: colour tables stay put
  std::unique_ptr<DisplayState> state = std::make_unique<DisplayState>();
  std::vector<int> slots;

  Rig() {
    SetWindowDC(*state, &surface);
    InitDisplay(*state);
    for (auto [w, h] : {std::pair{13, 7}, std::pair{80, 60}, std::pair{1, 1}}) {
      slots.push_back(AllocBuffer(*state, w, h));
      SelectBuffer(*state, slots.back());
      UpdateBufferPalette(*state);
    }
  }
  const VirtualBuffer& Buffer(int slot) const { return state->buffers[static_cast<size_t>(slot)]; }
  std::vector<uint8_t> Head(int slot) const { return {Buffer(slot).block.get(), Buffer(slot).pixels}; }
};

int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rig rig;
  MemorySource source({data, size});
  std::array<uint8_t, 768> rgb;
  ReadPcxPalette(source, rgb);
  // The rectangle the header claims, for the check of what was drawn.
  const int64_t width = size >= 12 ? int64_t{Le16(data + 8)} - Le16(data + 4) + 1 : 0;
  const int64_t height = size >= 12 ? int64_t{Le16(data + 10)} - Le16(data + 6) + 1 : 0;

  for (int slot : rig.slots) {
    SelectBuffer(*rig.state, slot);
    const VirtualBuffer& b = rig.Buffer(slot);
    const std::vector<uint8_t> head = rig.Head(slot);
    const int positions[][2] = {{0, 0}, {-5, 2}, {2, -3}, {b.width - 3, 1}, {1, b.height - 2}, {-4, -4},
                                {b.width + 1, 0}};
    for (const auto& at : positions) {
      std::memset(b.pixels, kFill, static_cast<size_t>(b.width) * static_cast<size_t>(b.height));
      const auto palette = rig.state->logicalPalette;
      MoveTo(*rig.state, at[0], at[1]);
      const int shown = ShowPcx(*rig.state, source);
      if (shown != kPcxShown && std::memcmp(&rig.state->logicalPalette, &palette, sizeof palette) != 0) std::abort();
      for (int row = 0; row < b.height; ++row) {
        const uint8_t* line = b.Row(row);
        for (int column = 0; column < b.width; ++column) {
          const bool inside = shown == kPcxShown && column >= at[0] && column < at[0] + width &&
                              row >= at[1] && row < at[1] + height;
          if (!inside && line[column] != kFill) std::abort();
        }
      }
      if (rig.Head(slot) != head) std::abort();
    }
  }
  return 0;
}
