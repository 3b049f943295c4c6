// The logical palette: 256 colours of which 0..9 and 246..255 belong to the
// display, and 10..245 come from the screen image and PCX sheets. Buffers get
// it as their colour table; on a palette display it is animated in place.
#include <algorithm>
#include <cstring>

#include "display/virtual_buffer.h"

namespace qshe {

namespace {

bool ValidRange(int first, int count, size_t bytes) {
  return first >= 0 && count >= 0 && first + count <= 256 && bytes >= 3 * static_cast<size_t>(count);
}

void SetEntries(DisplayState& state, int first, int count, std::span<const uint8_t> rgb) {
  for (int i = 0; i < count; ++i) {
    const uint8_t* t = rgb.data() + 3 * i;
    state.logicalPalette[static_cast<size_t>(first + i)] = {t[0], t[1], t[2], platform::kPaletteReserved};
  }
}

void SyncColorTable(DisplayState& state, int first, int count) {
  for (int i = first; i < first + count; ++i) {
    const PaletteEntry& e = state.logicalPalette[static_cast<size_t>(i)];
    uint8_t* q = state.colorTable.data() + 4 * i;
    q[0] = e.blue;
    q[1] = e.green;
    q[2] = e.red;
    q[3] = 0;
  }
}

}  // namespace

PaletteId CreateLogicalPalette(DisplayState& state, int first, int count, std::span<const uint8_t> rgb) {
  if (!ValidRange(first, count, rgb.size())) return 0;
  auto statics = state.surface ? state.surface->palettes().StaticColors() : platform::kStandardStaticColors;
  for (int i = 0; i < platform::kStaticColorCount; ++i) {
    const platform::Rgb& c = statics[static_cast<size_t>(i)];
    state.logicalPalette[static_cast<size_t>(platform::StaticColorIndex(i))] = {c.red, c.green, c.blue, 0};
  }
  SetEntries(state, first, count, rgb);
  // The rest of the file colours start black, still free to animate.
  for (int i = first + count; i < first + 236 && i < 246; ++i)
    state.logicalPalette[static_cast<size_t>(i)] = {0, 0, 0, platform::kPaletteReserved};
  SyncColorTable(state, 0, 256);
  if (!state.surface) return 0;
  return state.surface->palettes().CreatePalette(state.logicalPalette);
}

int SetPalette(DisplayState& state, int first, int count, std::span<const uint8_t> rgb) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b || count == 0) return 0;
  if (!ValidRange(first, count, rgb.size())) return -1;
  SetEntries(state, first, count, rgb);
  SyncColorTable(state, first, count);
  if (b->usage == ColorUsage::RgbColors) std::memcpy(b->colorTable(), state.colorTable.data(), 1024);
  if (state.paletteDevice && state.palette)
    state.paletteDevice->AnimatePalette(
        state.palette, first,
        std::span<const PaletteEntry>(state.logicalPalette).subspan(static_cast<size_t>(first), static_cast<size_t>(count)));
  return 0;
}

int GetPalette(const DisplayState& state, int first, int count, std::span<uint8_t> rgb) {
  if (!ValidRange(first, count, rgb.size())) return -1;
  for (int i = 0; i < count; ++i) {
    const PaletteEntry& e = state.logicalPalette[static_cast<size_t>(first + i)];
    rgb[3 * static_cast<size_t>(i)] = e.red;
    rgb[3 * static_cast<size_t>(i) + 1] = e.green;
    rgb[3 * static_cast<size_t>(i) + 2] = e.blue;
  }
  return 0;
}

int UpdateBufferPalette(DisplayState& state) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b) return 0;
  uint8_t* table = b->colorTable();
  if (b->usage == ColorUsage::PaletteIndices) {
    for (int i = 0; i < 256; ++i) {
      table[2 * i] = static_cast<uint8_t>(i);
      table[2 * i + 1] = 0;
    }
  } else {
    std::memcpy(table, state.colorTable.data(), 1024);
  }
  return 0;
}

int SelectWindowPalette(DisplayState& state, PaletteId palette) {
  state.palette = palette;
  state.paletteDevice = state.surface ? &state.surface->palettes() : nullptr;
  if (state.surface) state.surface->SelectPalette(palette);
  return 0;
}

}  // namespace qshe
