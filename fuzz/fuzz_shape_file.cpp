// Shape files of any shape: decoding must refuse or succeed without touching
// the table on refusal, and whatever it accepts must encode to bytes that
// decode to the same shapes and encode to the same bytes again.
#include <cstdlib>
#include <cstring>
#include <span>

#include "document/shape_file.h"
#include "fuzz_target.h"

using namespace qshe;

namespace {

// What a shape file stores of a shape: its sizes, offsets, pixels and (QS2)
// replacement number. QSH
// has no empty shapes: one comes back as a single transparent pixel.
bool SameStored(const Shape& a, const Shape& b, ShapeFileFormat format) {
  if (a.offsetX != b.offsetX || a.offsetY != b.offsetY) return false;
  if (format == ShapeFileFormat::Qs2 && a.replacement != b.replacement) return false;
  if (format == ShapeFileFormat::Qsh && !a.HasPixels())
    return b.width == 1 && b.height == 1 && b.HasPixels() && b.pixels[0] == 0;
  if (a.width != b.width || a.height != b.height || a.HasPixels() != b.HasPixels()) return false;
  return !a.HasPixels() || std::memcmp(a.pixels.get(), b.pixels.get(), static_cast<size_t>(a.PixelCount())) == 0;
}

// A mark in a slot shows whether a refused decode wrote anything there.
void Mark(Shape& s) {
  ClearShape(s);
  AllocateShape(s, 1, 1);
  s.pixels[0] = 0xA5;
  s.offsetX = 77;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::vector<Shape> table(kShapeListCapacity);
  static std::vector<Shape> again(kShapeListCapacity);
  // The first slots and the last carry marks (all 5000 would slow every run).
  const size_t marked[] = {0, 1, 2, 3, 4, 5, 6, 7, kShapeListCapacity - 1};
  for (size_t i : marked) Mark(table[i]);
  LoadResult r = DecodeShapeFile({data, size}, table);
  if (r.status != LoadStatus::Ok) {
    for (size_t i : marked) {
      const Shape& s = table[i];
      if (s.width != 1 || s.height != 1 || s.offsetX != 77 || s.pixels[0] != 0xA5) std::abort();
    }
    return 0;
  }
  if (r.count < 0 || r.count > kShapeListCapacity) std::abort();
  auto shapes = std::span<const Shape>(table.data(), static_cast<size_t>(r.count));
  if (FindOversizedShape(shapes)) std::abort();  // the formats cannot hold one

  const std::vector<uint8_t> bytes = EncodeShapeFile(shapes, r.format);
  LoadResult back = DecodeShapeFile(bytes, again);
  if (back.status != LoadStatus::Ok || back.count != r.count || back.format != r.format) std::abort();
  for (size_t i = 0; i < shapes.size(); ++i)
    if (!SameStored(shapes[i], again[i], r.format)) std::abort();
  if (EncodeShapeFile(std::span<const Shape>(again.data(), shapes.size()), r.format) != bytes) std::abort();
  return 0;
}
