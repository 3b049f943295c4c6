// A display layer on a headless 8-bit window, as the editor sets it up.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "display/virtual_buffer.h"
#include "platform/headless/headless_surface.h"

namespace qshe::testing {

class DisplayTest : public ::testing::Test {
 protected:
  explicit DisplayTest(int colorDepth = 8) : surface(615, 285, colorDepth) {
    SetWindowDC(state, &surface);
    InitDisplay(state);
  }

  // A new buffer, made active.
  int Buffer(int width, int height) {
    int slot = AllocBuffer(state, width, height);
    EXPECT_GE(slot, 0);
    EXPECT_EQ(SelectBuffer(state, slot), 0);
    return slot;
  }

  // Rows top row first, as the buffer's ReadPixel sees them.
  std::vector<int> Row(int y, int x1, int x2) {
    std::vector<int> row;
    for (int x = x1; x <= x2; ++x) row.push_back(ReadPixel(state, x, y));
    return row;
  }

  std::vector<uint8_t> Pixels(int slot) {
    const VirtualBuffer& b = state.buffers[static_cast<size_t>(slot)];
    return {b.pixels, b.pixels + static_cast<size_t>(b.width) * static_cast<size_t>(b.height)};
  }

  platform::HeadlessSurface surface;
  std::unique_ptr<DisplayState> owned = std::make_unique<DisplayState>();
  DisplayState& state = *owned;
};

}  // namespace qshe::testing
