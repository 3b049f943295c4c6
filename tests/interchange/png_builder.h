// PNG files built through libspng for the reader tests: any colour type,
// depth and interlacing, rows given top row first as the file stores them.
#pragma once

#include <spng.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace qshe::testing {

struct PngSpec {
  uint32_t width = 1;
  uint32_t height = 1;
  uint8_t colorType = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
  uint8_t depth = 8;
  bool interlaced = false;
  std::vector<uint8_t> rows;     // packed as stored, top row first, no filter bytes
  std::vector<uint8_t> palette;  // red, green, blue per entry (indexed only)
  std::vector<uint8_t> alpha;    // transparency of the first entries (indexed only)
};

inline std::vector<uint8_t> MakePng(const PngSpec& s) {
  spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr ihdr{};
  ihdr.width = s.width;
  ihdr.height = s.height;
  ihdr.bit_depth = s.depth;
  ihdr.color_type = s.colorType;
  ihdr.interlace_method = s.interlaced ? 1 : 0;
  int err = spng_set_ihdr(ctx, &ihdr);
  if (!err && !s.palette.empty()) {
    spng_plte plte{};
    plte.n_entries = static_cast<uint32_t>(s.palette.size() / 3);
    for (uint32_t k = 0; k < plte.n_entries; ++k) {
      plte.entries[k].red = s.palette[3 * k];
      plte.entries[k].green = s.palette[3 * k + 1];
      plte.entries[k].blue = s.palette[3 * k + 2];
    }
    err = spng_set_plte(ctx, &plte);
  }
  if (!err && !s.alpha.empty()) {
    spng_trns trns{};
    trns.n_type3_entries = static_cast<uint32_t>(s.alpha.size());
    std::memcpy(trns.type3_alpha, s.alpha.data(), s.alpha.size());
    err = spng_set_trns(ctx, &trns);
  }
  if (!err) err = spng_encode_image(ctx, s.rows.data(), s.rows.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
  std::vector<uint8_t> out;
  size_t length = 0;
  void* buffer = err ? nullptr : spng_get_png_buffer(ctx, &length, &err);
  if (buffer) out.assign(static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + length);
  std::free(buffer);
  spng_ctx_free(ctx);
  return out;
}

// An 8-bit RGBA PNG whose pixel (x, y), y counted from the top, is `at`'s.
template <typename F>
std::vector<uint8_t> RgbaPng(uint32_t w, uint32_t h, F at, bool interlaced = false) {
  PngSpec s;
  s.width = w;
  s.height = h;
  s.interlaced = interlaced;
  s.rows.resize(static_cast<size_t>(w) * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const auto px = at(x, y);
      std::memcpy(s.rows.data() + (static_cast<size_t>(y) * w + x) * 4, px.data(), 4);
    }
  return MakePng(s);
}

// A palettised 8-bit PNG of any size, encoded row by row so that only the
// compressed file is held: pixel (x, y), y from the top, is `at`'s index.
template <typename F>
std::vector<uint8_t> LargeIndexedPng(uint32_t w, uint32_t h, const std::vector<uint8_t>& palette, F at) {
  spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr ihdr{};
  ihdr.width = w;
  ihdr.height = h;
  ihdr.bit_depth = 8;
  ihdr.color_type = SPNG_COLOR_TYPE_INDEXED;
  spng_plte plte{};
  plte.n_entries = static_cast<uint32_t>(palette.size() / 3);
  for (uint32_t k = 0; k < plte.n_entries; ++k) {
    plte.entries[k].red = palette[3 * k];
    plte.entries[k].green = palette[3 * k + 1];
    plte.entries[k].blue = palette[3 * k + 2];
  }
  int err = spng_set_ihdr(ctx, &ihdr);
  if (!err) err = spng_set_plte(ctx, &plte);
  if (!err) err = spng_encode_image(ctx, nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
  std::vector<uint8_t> row(w);
  for (uint32_t y = 0; y < h && !err; ++y) {
    for (uint32_t x = 0; x < w; ++x) row[x] = at(x, y);
    err = spng_encode_row(ctx, row.data(), row.size());
    if (err == SPNG_EOI) err = 0;
  }
  std::vector<uint8_t> out;
  size_t length = 0;
  void* buffer = err ? nullptr : spng_get_png_buffer(ctx, &length, &err);
  if (buffer) out.assign(static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + length);
  std::free(buffer);
  spng_ctx_free(ctx);
  return out;
}

}  // namespace qshe::testing
