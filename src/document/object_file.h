// QBJ object-properties side files: the per-shape flags and Tavrel position
// kept beside a shape file, and the command that imports one of any name.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "document/document.h"
#include "platform/platform.h"

namespace qshe {

// Flag bits of one record.
inline constexpr uint8_t kObjectWalkable = 1;
inline constexpr uint8_t kObjectGettable = 2;
inline constexpr uint8_t kObjectSittable = 4;
inline constexpr uint8_t kObjectHasTavrelX = 8;
inline constexpr uint8_t kObjectHasTavrelY = 16;

inline constexpr size_t kObjectHeaderSize = 8;  // "QO01" and the record count
// The largest side file: the header and 5000 records of flags and both
// Tavrel bytes. A larger file is no side file and is not read.
inline constexpr uint64_t kMaxObjectFileBytes = kObjectHeaderSize + 3 * 5000;

// 1 when bit n of `byte` is set, else 0; any n outside 0..7 gives 0.
int32_t ObjectBit(uint8_t byte, int32_t n);

struct ObjectFileResult {
  bool isObjectFile = false;  // readable and starts with "QO01"
  int32_t announced = 0;      // the record count of the header
  int32_t applied = 0;        // records taken into the shapes
  bool endsInsideRecord = false;  // the last record lacked a Tavrel byte
};

// Applies the records of a side file held in memory to shapes 0, 1, ... while
// there are shapes, announced records and whole records left. A record cut
// short by the end of the bytes is not taken at all. Shapes are untouched
// unless the bytes are a side file.
ObjectFileResult DecodeObjectFile(std::span<const uint8_t> bytes, std::span<Shape> shapes);
// Reads a side file and decodes it into `shapes`; a file that cannot be read,
// or is larger than any side file can be, counts as not a side file.
ObjectFileResult LoadObjectFile(const std::string& path, std::span<Shape> shapes);

// The bytes of a side file holding one record per shape.
std::vector<uint8_t> EncodeObjectFile(std::span<const Shape> shapes);

// Reads the properties of up to n shapes into the document's list. The QBJ
// flag ends up 1 exactly when the file is a side file.
ObjectFileResult ReadObjectFile(Document& doc, const std::string& path, int32_t n);
// Writes the properties of every document shape. False, after telling the
// user, when the file could not be written; a file already there is kept.
bool WriteObjectFile(Document& doc, platform::Platform& ui, const std::string& path);

// Refreshes the shape-properties window; the properties layer installs it.
using RefreshProperties = std::function<void()>;

// Asks for a side file of any name and reads it into the document's shapes.
// A file that is not one clears the QBJ flag and is reported. Modified stays
// as it was. True when a side file was read.
bool ImportObjectFile(Document& doc, platform::Platform& ui, const RefreshProperties& refresh);

}  // namespace qshe
