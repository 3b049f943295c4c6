// Recovery copies of any content: the container must refuse what is not a
// whole copy, and what it carries must restore or be refused without harm.
#include <cstdlib>
#include <span>

#include "document/recovery.h"
#include "fuzz_target.h"
#include "platform/headless/headless.h"

using namespace qshe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  std::string why;
  if (auto read = DecodeRecoveryCopy(bytes, &why)) {
    // A copy it takes is one it would write the same way again.
    auto again = DecodeRecoveryCopy(EncodeRecoveryCopy(*read), nullptr);
    if (!again || again->shapeFile != read->shapeFile || again->objectFile != read->objectFile ||
        again->info.documentPath != read->info.documentPath || again->info.current != read->info.current)
      std::abort();
  } else if (why.empty()) {
    std::abort();
  }

  // The bytes as the shapes and properties of a sound container, split where
  // the last byte says, so the restore meets every kind of content.
  size_t split = size ? data[size - 1] % size : 0;
  RecoveryCopy copy;
  copy.shapeFile.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(split));
  copy.objectFile.assign(bytes.begin() + static_cast<std::ptrdiff_t>(split), bytes.end());
  copy.info.current = size > 1 ? data[size - 2] - 1 : 0;
  auto decoded = DecodeRecoveryCopy(EncodeRecoveryCopy(copy), nullptr);
  if (!decoded || decoded->shapeFile != copy.shapeFile || decoded->objectFile != copy.objectFile) std::abort();

  static platform::HeadlessPlatform ui;
  static Document doc;
  static Canvas canvas;
  if (RestoreRecoveryCopy(doc, canvas, ui.platform(), *decoded, nullptr)) {
    if (doc.list.count < 0 || doc.list.count > kShapeListCapacity) std::abort();
    if (doc.list.count > 0 && doc.list.current >= doc.list.count) std::abort();
  }
  ui.messages.clear();
  ui.titles.clear();
  return 0;
}
