// PNG pictures through libspng: decoding into a Picture (palettised files
// keep their indices, all others become RGBA), and encoding palettised
// pictures with their own colour table and transparency chunk.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "interchange/picture.h"

namespace qshe {

// True when the bytes start with the PNG signature.
bool IsPng(std::span<const uint8_t> bytes);
// The size the header announces, from the first 24 bytes, without decoding
// anything. False for bytes that do not start as a PNG does.
bool ReadPngSize(std::span<const uint8_t> bytes, int64_t& width, int64_t& height);

// Any PNG up to kMaxPictureSide either way. Palettised files of 1 to 8 bits
// give an indexed picture (the transparency chunk is not applied); grey and
// RGB files, with or without alpha, of 8 or 16 bits give RGBA with a
// transparency chunk applied as alpha. Gamma is not applied. Whole sheets
// pass larger limits: `maxSide` either way and `maxPixels` in all.
PictureResult DecodePng(std::span<const uint8_t> bytes, int32_t maxSide = kMaxPictureSide,
                        int64_t maxPixels = int64_t{kMaxPictureSide} * kMaxPictureSide);
// The same for a PNG of any size that keeps only its top-left `keep` x
// `keep` pixels, reading no more rows than it needs (all of them when the
// file is interlaced). Very wide pictures, and interlaced ones of very many
// pixels, are TooBig.
PictureResult DecodePngTopLeft(std::span<const uint8_t> bytes, int32_t keep = kMaxPictureSide);

struct IndexedImage {
  int32_t width = 0;
  int32_t height = 0;
  const uint8_t* pixels = nullptr;   // width x height indices, rows bottom first
  std::span<const uint8_t> palette;  // red, green, blue per entry, 1..256 entries
  std::span<const uint8_t> alpha;    // alpha of the first entries; empty: all opaque
};

// The PNG file of an 8-bit palettised picture, or nothing (with libspng's
// text in `error`) when it cannot be encoded.
std::optional<std::vector<uint8_t>> EncodeIndexedPng(const IndexedImage& image, std::string* error = nullptr);

}  // namespace qshe
