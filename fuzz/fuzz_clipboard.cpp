// What the clipboard may hold, both ways. Any bytes as another program's
// bitmap must give nothing or a block whose sizes and pixels agree; any bytes
// as the editor's own index block must give nothing or the same bytes back;
// and a block put on the clipboard as a bitmap must come back with every
// pixel at the game colour nearest to its own, index 0 staying 0.
#include <algorithm>
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
  if (in && (!Sound(*in) || in->width > 255 || in->height > 255)) std::abort();
  // The same bytes as a file another program offered (PNG or BMP).
  std::string why;
  std::optional<IndexBlock> file = ClipboardFileToIndices(bytes, colors, &why);
  if (file ? !Sound(*file) || file->width > 255 || file->height > 255 : why.empty()) std::abort();

  if (std::optional<IndexBlock> own = DecodeIndexBlock(bytes)) {
    if (!Sound(*own)) std::abort();
    const auto again = EncodeIndexBlock(*own);
    if (again.size() > size || std::memcmp(again.data(), data, again.size()) != 0) std::abort();
    if (!in) in = std::move(own);
  }
  if (!in) return 0;

  // Out as a bitmap and back in: the top-left 255 x 255 at most.
  const std::vector<uint8_t> dib = IndicesToClipboardBitmap(*in, palette);
  std::optional<IndexBlock> back = ClipboardBitmapToIndices(dib, colors);
  const int w = std::min(in->width, 255), h = std::min(in->height, 255);
  if (!back || back->width != w || back->height != h) std::abort();
  for (int row = 0; row < h; ++row)
    for (int x = 0; x < w; ++x) {
      const size_t from =
          static_cast<size_t>(in->height - h + row) * static_cast<size_t>(in->width) + static_cast<size_t>(x);
      if (back->pixels[static_cast<size_t>(row * w + x)] != Expected(palette, colors, in->pixels[from])) std::abort();
    }
  // And the exact indices through the editor's own format.
  std::optional<IndexBlock> exact = DecodeIndexBlock(EncodeIndexBlock(*in));
  if (!exact || exact->width != in->width || exact->height != in->height || exact->pixels != in->pixels)
    std::abort();
  return 0;
}
