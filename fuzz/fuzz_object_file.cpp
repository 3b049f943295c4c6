// Side files of any shape: decoding must stay inside the bytes and the
// shapes it is given, and what it takes must encode back to the same values.
#include <cstdlib>
#include <span>

#include "document/object_file.h"
#include "fuzz_target.h"

using namespace qshe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The last byte picks how many shapes the document has, so that short and
  // long documents both meet long and short files.
  size_t shapes = size ? data[size - 1] : 0;
  std::vector<Shape> table(shapes);
  ObjectFileResult r = DecodeObjectFile({data, size}, table);
  if (r.applied < 0 || static_cast<size_t>(r.applied) > shapes) std::abort();
  if (r.isObjectFile) {
    auto taken = std::span<const Shape>(table.data(), static_cast<size_t>(r.applied));
    std::vector<Shape> again(taken.size());
    auto bytes = EncodeObjectFile(taken);
    if (DecodeObjectFile(bytes, again).applied != r.applied) std::abort();
    for (size_t i = 0; i < taken.size(); ++i) {
      const Shape& a = taken[i];
      const Shape& b = again[i];
      if (a.walkable != b.walkable || a.gettable != b.gettable || a.sittable != b.sittable ||
          a.tavrelX != b.tavrelX || a.tavrelY != b.tavrelY) {
        std::abort();
      }
    }
  }
  return 0;
}

const std::vector<std::vector<uint8_t>>& FuzzSeeds() {
  static const std::vector<std::vector<uint8_t>> seeds = {
      {'Q', 'O', '0', '1', 3, 0, 0, 0, 0x0D, 0xFE, 0x00, 0x12, 0x64},
      {'Q', 'O', '0', '1', 2, 0, 0, 0, 0x1F, 0x80},
      {'Q', 'O', '0', '1', 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x18, 0x01, 0x02, 0xE7},
  };
  return seeds;
}
