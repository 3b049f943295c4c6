// Side files of any shape: decoding must stay inside the bytes and the shapes
// it is given, leave the shapes past what it applied alone, and what it takes
// must encode back to the same values.
#include <cstdlib>
#include <span>

#include "document/object_file.h"
#include "fuzz_target.h"

using namespace qshe;

namespace {

bool SameProperties(const Shape& a, const Shape& b) {
  return a.walkable == b.walkable && a.gettable == b.gettable && a.sittable == b.sittable &&
         a.tavrelX == b.tavrelX && a.tavrelY == b.tavrelY;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The last byte picks how many shapes the document has, so that short and
  // long documents both meet long and short files.
  size_t shapes = size ? data[size - 1] : 0;
  std::vector<Shape> table(shapes);
  for (Shape& s : table) s.walkable = 7;  // a record sets it to 0 or 1
  ObjectFileResult r = DecodeObjectFile({data, size}, table);
  if (r.applied < 0 || static_cast<size_t>(r.applied) > shapes) std::abort();
  if (!r.isObjectFile && r.applied != 0) std::abort();
  for (size_t i = static_cast<size_t>(r.applied); i < shapes; ++i)
    if (table[i].walkable != 7) std::abort();
  if (r.isObjectFile) {
    auto taken = std::span<const Shape>(table.data(), static_cast<size_t>(r.applied));
    std::vector<Shape> again(taken.size());
    auto bytes = EncodeObjectFile(taken);
    ObjectFileResult back = DecodeObjectFile(bytes, again);
    if (!back.isObjectFile || back.applied != r.applied || back.endsInsideRecord) std::abort();
    for (size_t i = 0; i < taken.size(); ++i)
      if (!SameProperties(taken[i], again[i])) std::abort();
    if (EncodeObjectFile(again) != bytes) std::abort();
  }
  return 0;
}
