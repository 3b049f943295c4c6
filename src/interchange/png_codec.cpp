#include "interchange/png_codec.h"

#include <spng.h>

#include <algorithm>
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

namespace {

// Top-left reading of pictures of any size: rows are decoded one at a time,
// so memory follows the width, never the height. Wider pictures than this,
// and interlaced ones (every pass reaches the top rows) of more pixels than
// this, are refused rather than read for minutes.
constexpr uint32_t kWidestRow = 1u << 20;
constexpr uint64_t kMostInterlacedPixels = uint64_t{1} << 27;
constexpr int kLastPass = 6;

struct Limits {
  int32_t maxSide = kMaxPictureSide;
  int64_t maxPixels = int64_t{kMaxPictureSide} * kMaxPictureSide;
  int32_t keep = 0;  // > 0: larger pictures keep their top-left keep x keep
};

PictureResult Decode(std::span<const uint8_t> bytes, const Limits& limits) {
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
  const bool interlaced = ihdr.interlace_method != 0;
  if (limits.keep > 0) {
    if (ihdr.width > kWidestRow || (interlaced && uint64_t{ihdr.width} * ihdr.height > kMostInterlacedPixels))
      return PictureFailure(PictureError::TooBig);
  } else if (ihdr.height > static_cast<uint32_t>(limits.maxSide) ||
             ihdr.width > static_cast<uint32_t>(limits.maxSide) ||
             int64_t{ihdr.width} * ihdr.height > limits.maxPixels) {
    return PictureFailure(PictureError::TooBig);
  }

  Picture p;
  p.indexed = ihdr.color_type == SPNG_COLOR_TYPE_INDEXED;
  const size_t w = ihdr.width, h = ihdr.height;
  const size_t keptW = limits.keep > 0 ? std::min<size_t>(w, static_cast<size_t>(limits.keep)) : w;
  const size_t keptH = limits.keep > 0 ? std::min<size_t>(h, static_cast<size_t>(limits.keep)) : h;
  p.width = static_cast<int32_t>(keptW);
  p.height = static_cast<int32_t>(keptH);

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
  }

  // Palettised rows stay packed as stored; others become RGBA of 8 bits, or
  // of 16 bits, rounded to 8 afterwards.
  const int fmt = p.indexed ? SPNG_FMT_PNG : ihdr.bit_depth == 16 ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8;
  const size_t bits = p.indexed ? ihdr.bit_depth : ihdr.bit_depth == 16 ? 64 : 32;
  const size_t rowBytes = (w * bits + 7) / 8;
  const size_t keptBytes = (keptW * bits + 7) / 8;
  std::vector<uint8_t> row(rowBytes);
  // The kept part of each kept row, top row first, as decoded.
  std::vector<uint8_t> kept(keptBytes * keptH);
  if ((err =
           spng_decode_image(ctx.get(), nullptr, 0, fmt, (p.indexed ? 0 : SPNG_DECODE_TRNS) | SPNG_DECODE_PROGRESSIVE)))
    return Damaged(err);
  for (;;) {
    spng_row_info info{};
    if ((err = spng_get_row_info(ctx.get(), &info))) {
      if (err == SPNG_EOI) break;
      return Damaged(err);
    }
    // Rows come top down, in each of the seven passes of an interlaced
    // picture; past the kept rows of the last pass nothing more is needed.
    if (info.row_num >= keptH && (!interlaced || info.pass == kLastPass)) break;
    uint8_t* keep = info.row_num < keptH ? kept.data() + info.row_num * keptBytes : nullptr;
    // A pass writes only its own pixels into the row; the earlier passes'
    // pixels of this row go in beforehand.
    if (keep && interlaced) std::memcpy(row.data(), keep, keptBytes);
    err = spng_decode_row(ctx.get(), row.data(), row.size());
    if (err && err != SPNG_EOI) return Damaged(err);
    if (keep) std::memcpy(keep, row.data(), keptBytes);
    if (err == SPNG_EOI) break;
  }

  if (p.indexed) {
    const int depth = ihdr.bit_depth;
    p.pixels.resize(keptW * keptH);
    for (size_t r = 0; r < keptH; ++r) {
      const uint8_t* in = kept.data() + r * keptBytes;
      uint8_t* out = p.pixels.data() + (keptH - 1 - r) * keptW;
      for (size_t x = 0; x < keptW; ++x) {
        const size_t bit = x * static_cast<size_t>(depth);
        out[x] = static_cast<uint8_t>(in[bit / 8] >> (8 - depth - bit % 8) & ((1 << depth) - 1));
      }
    }
  } else {
    p.pixels.resize(keptW * keptH * 4);
    for (size_t r = 0; r < keptH; ++r) {
      const uint8_t* in = kept.data() + r * keptBytes;
      uint8_t* out = p.pixels.data() + (keptH - 1 - r) * keptW * 4;
      if (bits == 32) {
        std::memcpy(out, in, keptW * 4);
        continue;
      }
      // 16-bit channels, in the machine's order, rounded to the nearest 8-bit value.
      for (size_t i = 0; i < keptW * 4; ++i) {
        uint16_t v;
        std::memcpy(&v, in + 2 * i, 2);
        out[i] = static_cast<uint8_t>((v + 128u) / 257u);
      }
    }
    NoteAlphaUse(p);
  }
  PictureResult result;
  result.picture = std::move(p);
  return result;
}

}  // namespace

PictureResult DecodePng(std::span<const uint8_t> bytes, int32_t maxSide, int64_t maxPixels) {
  return Decode(bytes, Limits{maxSide, maxPixels, 0});
}

PictureResult DecodePngTopLeft(std::span<const uint8_t> bytes, int32_t keep) {
  return Decode(bytes, Limits{kMaxPictureSide, 0, std::max(keep, 1)});
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
