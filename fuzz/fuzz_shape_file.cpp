// Shape files of any shape: decoding must refuse or succeed, never misbehave,
// and whatever it accepts must encode again.
#include <span>

#include "document/shape_file.h"
#include "fuzz_target.h"

using namespace qshe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::vector<Shape> table(kShapeListCapacity);
  LoadResult r = DecodeShapeFile({data, size}, table);
  if (r.status == LoadStatus::Ok) {
    auto shapes = std::span<const Shape>(table.data(), static_cast<size_t>(r.count));
    auto again = EncodeShapeFile(shapes, r.format);
    (void)again;
  }
  return 0;
}

const std::vector<std::vector<uint8_t>>& FuzzSeeds() {
  static const std::vector<std::vector<uint8_t>> seeds = {
      {0x01, 0x00, 0x06, 0x00, 0x02, 0x01, 0x03, 0xFF, 0x05, 0x06},
      {'Q', 'S', 'H', '2', '.', '0', '0', '1', 0x01, 0, 0, 0, 0, 0, 0, 0, 0x02, 0x01, 0x03, 0xFF, 0x07,
       0x00, 0x05, 0x06},
      {0x02, 0x00, 0x05, 0x00, 0x08, 0x00, 0x01, 0x01, 0xFD, 0x07, 0x00, 0x02, 0x02, 0x00, 0x00, 1, 2, 3,
       4},
  };
  return seeds;
}
