// QBJ object-properties side files.
#pragma once

#include <cstdint>
#include <string>

#include "document/document.h"
#include "platform/platform.h"

namespace qshe {

// Reads the properties of up to n shapes from a QBJ file into the document's
// list; sets the QBJ flag when the file is one.
void ReadObjectFile(Document& doc, const std::string& path, int32_t n);
// Writes the properties of every document shape. False (after telling the
// user) when the file could not be written.
bool WriteObjectFile(Document& doc, platform::Platform& ui, const std::string& path);

}  // namespace qshe
