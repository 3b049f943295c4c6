// BMP and PNG files of any shape: reading must refuse with a reason or give a
// picture whose sizes and buffers agree, and matching it to game colours must
// give one index per pixel, 0 only for background when asked for; so must
// the dithers.
#include <cstdlib>

#include "display/game_palette.h"
#include "fuzz_palette.h"
#include "fuzz_target.h"
#include "interchange/bitmap_import.h"

using namespace qshe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ColorMatcher colors(EditorPalette());
  PictureResult r = DecodePicture({data, size});
  if (!r.ok()) {
    if (PictureErrorMessage(r, "x.bmp").empty()) std::abort();
    return 0;
  }
  const Picture& p = r.picture;
  if (p.width < 1 || p.height < 1 || p.width > kMaxPictureSide || p.height > kMaxPictureSide) std::abort();
  const size_t count = static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
  if (p.pixels.size() != count * (p.indexed ? 1 : 4)) std::abort();
  if (p.indexed && p.palette.size() != 768) std::abort();
  if (!p.paletteAlpha.empty() && p.paletteAlpha.size() != 256) std::abort();

  const auto opaque = MatchPicture(p, colors, false);
  if (opaque.size() != count) std::abort();
  for (uint8_t v : opaque)
    if (v == 0) std::abort();
  const auto keyed = MatchPicture(p, colors, true);
  if (keyed.size() != count) std::abort();
  // Keying only ever turns pixels into background.
  for (size_t i = 0; i < count; ++i)
    if (keyed[i] != 0 && keyed[i] != opaque[i]) std::abort();
  // The dithers: game colours only, 0 exactly where the choice says.
  for (ColorMethod method : {ColorMethod::OrderedDither, ColorMethod::ErrorDiffusion}) {
    const ColorChoice choice{Transparency::Automatic, {}, method};
    const auto dithered = ReduceColors(p, colors, choice);
    const auto mask = TransparentPixels(p, choice);
    if (dithered.size() != count || mask.size() != count) std::abort();
    for (size_t i = 0; i < count; ++i) {
      if ((dithered[i] == 0) != (mask[i] != 0)) std::abort();
      if (dithered[i] != 0 && (dithered[i] < kFirstGameColor || dithered[i] > kLastGameColor)) std::abort();
    }
  }
  return 0;
}
