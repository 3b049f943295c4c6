#include "document/object_file.h"

namespace qshe {

// The side-file format arrives with the object-properties work; until then a
// document carries no object properties.
void ReadObjectFile(Document& doc, const std::string&, int32_t) { doc.state.qbjFlag = 0; }

bool WriteObjectFile(Document&, platform::Platform&, const std::string&) { return true; }

}  // namespace qshe
