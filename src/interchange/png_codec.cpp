#include "interchange/png_codec.h"

#include <spng.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace qshe {
namespace {

struct ContextDeleter {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Context = std::unique_ptr<spng_ctx, ContextDeleter>;

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

PictureResult Damaged(int err) { return PictureFailure(PictureError::Damaged, spng_strerror(err)); }

}  // namespace

bool IsPng(std::span<const uint8_t> bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

bool ReadPngSize(std::span<const uint8_t> bytes, int64_t& width, int64_t& height) {
  if (!IsPng(bytes) || bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return false;
  auto be32 = [&](size_t at) {
    return int64_t{bytes[at]} << 24 | int64_t{bytes[at + 1]} << 16 | int64_t{bytes[at + 2]} << 8 | bytes[at + 3];
  };
  width = be32(16);
  height = be32(20);
  return true;
}

PictureResult DecodePng(std::span<const uint8_t> bytes, int32_t maxSide, int64_t maxPixels) {
  if (!IsPng(bytes)) return PictureFailure(PictureError::NotAPicture);
  Context ctx(spng_ctx_new(0));
  if (!ctx) return Damaged(SPNG_EMEM);
  // Side chunks (text, profiles) are capped so a hostile file cannot make us
  // hold megabytes for nothing.
  spng_set_chunk_limits(ctx.get(), 1 << 20, 4 << 20);
  int err = spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size());
  spng_ihdr ihdr{};
  if (!err) err = spng_get_ihdr(ctx.get(), &ihdr);
  if (err) return Damaged(err);
  if (ihdr.height > static_cast<uint32_t>(maxSide) || ihdr.width > static_cast<uint32_t>(maxSide) ||
      int64_t{ihdr.width} * ihdr.height > maxPixels)
    return PictureFailure(PictureError::TooBig);

  Picture p;
  p.width = static_cast<int32_t>(ihdr.width);
  p.height = static_cast<int32_t>(ihdr.height);
  p.indexed = ihdr.color_type == SPNG_COLOR_TYPE_INDEXED;
  const size_t w = ihdr.width, h = ihdr.height;

  if (p.indexed) {
    spng_plte plte{};
    if ((err = spng_get_plte(ctx.get(), &plte))) return Damaged(err);
    p.palette.assign(768, 0);
    for (uint32_t k = 0; k < plte.n_entries && k < 256; ++k) {
      p.palette[3 * k] = plte.entries[k].red;
      p.palette[3 * k + 1] = plte.entries[k].green;
      p.palette[3 * k + 2] = plte.entries[k].blue;
    }
    p.paletteAlpha.assign(256, 255);
    spng_trns trns{};
    if (spng_get_trns(ctx.get(), &trns) == 0)
      for (uint32_t k = 0; k < trns.n_type3_entries && k < 256; ++k) p.paletteAlpha[k] = trns.type3_alpha[k];
    size_t size = 0;
    if ((err = spng_decoded_image_size(ctx.get(), SPNG_FMT_PNG, &size))) return Damaged(err);
    std::vector<uint8_t> packed(size);
    if ((err = spng_decode_image(ctx.get(), packed.data(), size, SPNG_FMT_PNG, 0))) return Damaged(err);
    const size_t stride = size / h;
    const int bits = ihdr.bit_depth;
    p.pixels.resize(w * h);
    for (size_t row = 0; row < h; ++row) {
      const uint8_t* in = packed.data() + row * stride;
      uint8_t* out = p.pixels.data() + (h - 1 - row) * w;
      for (size_t x = 0; x < w; ++x) {
        const size_t bit = x * static_cast<size_t>(bits);
        out[x] = static_cast<uint8_t>(in[bit / 8] >> (8 - bits - bit % 8) & ((1 << bits) - 1));
      }
    }
  } else {
    size_t size = 0;
    std::vector<uint8_t> rgba;
    if (ihdr.bit_depth == 16) {
      // 16-bit channels are rounded to the nearest 8-bit value.
      if ((err = spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA16, &size))) return Damaged(err);
      std::vector<uint16_t> wide(size / 2);
      if ((err = spng_decode_image(ctx.get(), wide.data(), size, SPNG_FMT_RGBA16, SPNG_DECODE_TRNS)))
        return Damaged(err);
      rgba.resize(wide.size());
      for (size_t i = 0; i < wide.size(); ++i) rgba[i] = static_cast<uint8_t>((wide[i] + 128u) / 257u);
    } else {
      if ((err = spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size))) return Damaged(err);
      rgba.resize(size);
      if ((err = spng_decode_image(ctx.get(), rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS)))
        return Damaged(err);
    }
    p.pixels.resize(w * h * 4);
    for (size_t row = 0; row < h; ++row)
      std::memcpy(p.pixels.data() + (h - 1 - row) * w * 4, rgba.data() + row * w * 4, w * 4);
    NoteAlphaUse(p);
  }
  PictureResult result;
  result.picture = std::move(p);
  return result;
}

std::optional<std::vector<uint8_t>> EncodeIndexedPng(const IndexedImage& image, std::string* error) {
  auto fail = [&](int err) -> std::optional<std::vector<uint8_t>> {
    if (error) *error = spng_strerror(err);
    return std::nullopt;
  };
  const size_t entries = image.palette.size() / 3;
  if (image.width < 1 || image.height < 1 || entries < 1 || entries > 256 || image.alpha.size() > entries)
    return fail(SPNG_EINVAL);
  Context ctx(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!ctx) return fail(SPNG_EMEM);
  spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);

  spng_ihdr ihdr{};
  ihdr.width = static_cast<uint32_t>(image.width);
  ihdr.height = static_cast<uint32_t>(image.height);
  ihdr.bit_depth = 8;
  ihdr.color_type = SPNG_COLOR_TYPE_INDEXED;
  spng_plte plte{};
  plte.n_entries = static_cast<uint32_t>(entries);
  for (size_t k = 0; k < entries; ++k) {
    plte.entries[k].red = image.palette[3 * k];
    plte.entries[k].green = image.palette[3 * k + 1];
    plte.entries[k].blue = image.palette[3 * k + 2];
  }
  int err = spng_set_ihdr(ctx.get(), &ihdr);
  if (!err) err = spng_set_plte(ctx.get(), &plte);
  if (!err && !image.alpha.empty()) {
    spng_trns trns{};
    trns.n_type3_entries = static_cast<uint32_t>(image.alpha.size());
    std::memcpy(trns.type3_alpha, image.alpha.data(), image.alpha.size());
    err = spng_set_trns(ctx.get(), &trns);
  }
  if (err) return fail(err);

  // PNG rows run top down.
  const size_t w = ihdr.width, h = ihdr.height;
  std::vector<uint8_t> rows(w * h);
  for (size_t row = 0; row < h; ++row) std::memcpy(rows.data() + row * w, image.pixels + (h - 1 - row) * w, w);
  if ((err = spng_encode_image(ctx.get(), rows.data(), rows.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE)))
    return fail(err);
  size_t length = 0;
  void* buffer = spng_get_png_buffer(ctx.get(), &length, &err);
  if (!buffer) return fail(err ? err : SPNG_EMEM);
  std::vector<uint8_t> out(static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + length);
  std::free(buffer);
  return out;
}

}  // namespace qshe
