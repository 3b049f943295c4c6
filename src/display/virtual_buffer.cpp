#include "display/virtual_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qshe {

namespace {

void PutLe16(uint8_t* p, int v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(uint8_t* p, int v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

}  // namespace

VirtualBuffer* ActiveBuffer(DisplayState& state) {
  if (state.activeSlot < 0) return nullptr;
  VirtualBuffer& b = state.buffers[static_cast<size_t>(state.activeSlot)];
  return b.free() ? nullptr : &b;
}

Rect VisibleClip(const DisplayState& state, const VirtualBuffer& buffer) {
  const Rect& c = state.clip;
  return {std::max(c.x1, 0), std::min(c.x2, buffer.width - 1), std::max(c.y1, 0), std::min(c.y2, buffer.height - 1)};
}

int InitDisplay(DisplayState& state) {
  for (auto& b : state.buffers) b = VirtualBuffer{};
  state.activeSlot = -1;
  int depth = state.surface ? state.surface->ColorDepth() : 32;
  state.usage = depth <= 8 ? ColorUsage::PaletteIndices : ColorUsage::RgbColors;
  state.headerSize = kInfoHeaderSize + (state.usage == ColorUsage::PaletteIndices ? 512 : 1024);
  platform::TextMetrics metrics;
  if (state.surface) metrics = state.surface->SelectFixedFont();
  state.lineHeight = metrics.charHeight + metrics.externalLeading;
  state.externalLeading = metrics.externalLeading;
  state.color = 0;
  state.x = state.y = 0;
  state.justifyH = state.justifyV = -1;
  return 0;
}

int AllocBuffer(DisplayState& state, int width, int height) {
  auto slot = std::find_if(state.buffers.begin(), state.buffers.end(), [](const VirtualBuffer& b) { return b.free(); });
  if (slot == state.buffers.end()) return kNoFreeSlot;
  if (width <= 0 || height <= 0) return kBadBufferSize;
  int64_t rounded = (int64_t{width} + 3) / 4 * 4;
  int64_t bytes = rounded * height + state.headerSize;
  if (bytes > kMaxBufferBytes) return kNoMemory;
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]());
  if (!block) return kNoMemory;

  uint8_t* h = block.get();
  PutLe32(h, kInfoHeaderSize);
  PutLe32(h + 4, static_cast<int>(rounded));
  PutLe32(h + 8, height);  // positive: rows stored bottom-up
  PutLe16(h + 12, 1);
  PutLe16(h + 14, 8);

  slot->pixels = block.get() + state.headerSize;
  slot->block = std::move(block);
  slot->width = static_cast<int>(rounded);
  slot->height = height;
  slot->headerSize = state.headerSize;
  slot->usage = state.usage;
  slot->clip = {0, slot->width - 1, 0, height - 1};
  return static_cast<int>(slot - state.buffers.begin());
}

int SelectBuffer(DisplayState& state, int slot) {
  if (slot < 0 || slot >= kBufferSlots) return -1;
  const VirtualBuffer& b = state.buffers[static_cast<size_t>(slot)];
  if (b.free()) return -2;
  state.activeSlot = slot;
  state.clip = b.clip;
  return 0;
}

int MoveTo(DisplayState& state, int x, int y) {
  state.x = x;
  state.y = y;
  return 0;
}

int SetColor(DisplayState& state, uint8_t index) {
  state.color = index;
  return 0;
}

int SetClip(DisplayState& state, int xmin, int xmax, int ymin, int ymax) {
  state.clip = {xmin, xmax, ymin, ymax};
  if (VirtualBuffer* b = ActiveBuffer(state)) b->clip = state.clip;
  return 0;
}

void GetClip(const DisplayState& state, int& xmin, int& xmax, int& ymin, int& ymax) {
  xmin = state.clip.x1;
  xmax = state.clip.x2;
  ymin = state.clip.y1;
  ymax = state.clip.y2;
}

int ReadPixel(DisplayState& state, int x, int y) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b) return -1;
  Rect c = VisibleClip(state, *b);
  if (x < c.x1 || x > c.x2 || y < c.y1 || y > c.y2) return -1;
  return b->Row(y)[x];
}

}  // namespace qshe
