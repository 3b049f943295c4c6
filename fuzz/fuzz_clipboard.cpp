// What the clipboard may hold, both ways. Any bytes as another program's
// bitmap must give nothing or a block whose sizes and pixels agree; any bytes
// as the editor's own index block must give nothing or the same bytes back;
// and a block put on the clipboard as a bitmap must come back with every
// pixel at the game colour nearest to its own, index 0 staying 0.
#include <cstdlib>
#include <cstring>

#include "fuzz_palette.h"
#include "fuzz_target.h"
#include "interchange/clipboard_bitmap.h"

using namespace qshe;

namespace {

bool Sound(const IndexBlock& b) {
  return b.width >= 1 && b.height >= 1 && b.width <= 256 && b.height <= 256 &&
         b.pixels.size() == static_cast<size_t>(b.width) * static_cast<size_t>(b.height);
}

// The index a pixel of index v comes back as after its colour went out.
uint8_t Expected(const GamePalette& palette, const ColorMatcher& colors, uint8_t v) {
  if (v == 0) return 0;
  const uint8_t* rgb = palette.data() + 3 * v;
  if (std::memcmp(rgb, kTransparentKeyColor, 3) == 0) return 0;
  return colors.Nearest(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const GamePalette palette = EditorPalette();
  static const ColorMatcher colors(palette);
  const std::span<const uint8_t> bytes(data, size);

  std::optional<IndexBlock> in = ClipboardBitmapToIndices(bytes, colors);
  if (in && !Sound(*in)) std::abort();

  if (std::optional<IndexBlock> own = DecodeIndexBlock(bytes)) {
    if (!Sound(*own)) std::abort();
    const auto again = EncodeIndexBlock(*own);
    if (again.size() > size || std::memcmp(again.data(), data, again.size()) != 0) std::abort();
    if (!in) in = std::move(own);
  }
  if (!in) return 0;

  // Out as a bitmap and back in.
  const std::vector<uint8_t> dib = IndicesToClipboardBitmap(*in, palette);
  std::optional<IndexBlock> back = ClipboardBitmapToIndices(dib, colors);
  if (!back || back->width != in->width || back->height != in->height) std::abort();
  for (size_t i = 0; i < in->pixels.size(); ++i)
    if (back->pixels[i] != Expected(palette, colors, in->pixels[i])) std::abort();
  // And the exact indices through the editor's own format.
  std::optional<IndexBlock> exact = DecodeIndexBlock(EncodeIndexBlock(*in));
  if (!exact || exact->width != in->width || exact->height != in->height || exact->pixels != in->pixels)
    std::abort();
  return 0;
}
