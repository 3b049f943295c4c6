// Handing buffers and text to the window.
#include <algorithm>

#include "display/virtual_buffer.h"

namespace qshe {

int SetWindowDC(DisplayState& state, platform::WindowSurface* surface) {
  state.surface = surface;
  return 0;
}

int PasteToWindow(DisplayState& state, int x1, int x2, int y1, int y2, int wx1, int wx2, int wy1, int wy2) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b) return 0;
  if (!state.surface) return -1;
  // The window reads straight from the buffer, so the source must lie in it.
  if (x1 < 0 || x1 > x2 || x2 >= b->width || y1 < 0 || y1 > y2 || y2 >= b->height) return -1;
  if (wx1 > wx2 || wy1 > wy2) return -1;
  platform::IndexedImage image{b->width, b->height, b->width, b->pixels, b->colorTable(), b->usage};
  state.surface->Present(image, {x1, x2, y1, y2}, {wx1, wx2, wy1, wy2});
  return 0;
}

int SetTextJustify(DisplayState& state, int horizontal, int vertical) {
  state.justifyH = static_cast<int8_t>(std::clamp(horizontal, -1, 1));
  state.justifyV = static_cast<int8_t>(std::clamp(vertical, -1, 1));
  return 0;
}

int DrawText(DisplayState& state, std::string_view text) {
  if (!state.surface) return -1;
  const PaletteEntry& e = state.logicalPalette[state.color];
  int x = state.x, y = state.y;
  if (state.justifyH >= 0) x -= (state.justifyH + 1) * state.surface->TextWidth(text) / 2;
  if (state.justifyV >= 0) y += (state.justifyV + 1) * (state.lineHeight - state.externalLeading) / 2;
  y -= state.lineHeight;
  state.surface->DrawText(x, y, text, {e.red, e.green, e.blue});
  return 0;
}

}  // namespace qshe
