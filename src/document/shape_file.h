// QSH and QS2 shape files: encoding, decoding, and the load and save
// operations the document commands use.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/file_io.h"
#include "platform/platform.h"

namespace qshe {

enum class ShapeFileFormat { Qsh, Qs2 };

// The largest file either format can be: 5000 shapes of 255 x 255 pixels
// with their headers (QS2's are the larger). Anything longer is refused
// before it is read.
inline constexpr uint64_t kMaxShapeFileBytes = 16 + 5000 * (6 + 255 * 255);

// ----- decoding without side effects ---------------------------------------

enum class LoadStatus {
  Ok,
  CannotOpen,  // the file could not be opened or read
  Encrypted,   // a QS2 file whose body is enciphered
  Damaged,     // shorter than its header or than the records it announces
  TooMany,     // announces more shapes than the table holds
};

struct LoadResult {
  LoadStatus status = LoadStatus::CannotOpen;
  ShapeFileFormat format = ShapeFileFormat::Qsh;
  int32_t count = 0;   // shapes read (valid when status is Ok)
  std::string detail;  // what is wrong, for Damaged, TooMany and CannotOpen
};

// Decodes a whole shape file held in memory into table slots 0..count-1.
// The table is changed only when the result is Ok.
LoadResult DecodeShapeFile(std::span<const uint8_t> bytes, std::span<Shape> table);
// Decodes shapes as they are read. Without `withPixels` the shapes keep
// their sizes and fields but no pixel blocks (a summary of a large file
// costs no more memory than a small one).
LoadResult DecodeShapes(ByteStream& in, std::span<Shape> table, bool withPixels);
// Reads and decodes a file, a piece at a time; the table is changed only
// when the result is Ok. A directory, a device, a FIFO and a file larger
// than any shape file can be are Damaged, with the reason.
LoadResult LoadShapeFile(const std::string& path, std::span<Shape> table, bool withPixels = true);

// ----- encoding --------------------------------------------------------------

// The index of the first shape wider or taller than the formats can store, or
// nothing when all fit.
std::optional<int32_t> FindOversizedShape(std::span<const Shape> shapes);
// The bytes of a file holding `shapes`. Callers check FindOversizedShape first.
std::vector<uint8_t> EncodeShapeFile(std::span<const Shape> shapes, ShapeFileFormat format);
// The same bytes into a sink as they are made; false when the sink failed.
bool WriteShapeFileTo(std::span<const Shape> shapes, ShapeFileFormat format, ByteSink& out);
uint64_t ShapeFileSize(std::span<const Shape> shapes, ShapeFileFormat format);
// The user-facing text for a shape that is too large to save.
std::string OversizedShapeMessage(const Shape& shape, int32_t index);

// ----- the document operations ---------------------------------------------

// Returned by ReadShapeFile for a file that cannot be opened or is enciphered.
inline constexpr int32_t kReadFailedCount = 20;
// Returned by ReadShapeFile for a damaged file (after telling the user).
inline constexpr int32_t kReadRefused = -1;

// Reads a QSH or QS2 file into `table` from slot 0 and returns the number of
// shapes read. A file that cannot be opened gives kReadFailedCount without a
// message; an enciphered one the same with a message; a damaged one
// kReadRefused with a message naming the file. Only on success are the table,
// the path, the title, the QS2 flag and the object properties touched.
int32_t ReadShapeFile(Document& doc, platform::Platform& ui, const std::string& path,
                      std::span<Shape> table);

// Reads shape n of a file into `target`, which is left as it was on failure.
bool ReadOneShape(platform::MessageBoxes& boxes, Shape& target, const std::string& path, int32_t n);

enum SaveResult : int32_t { kSaved = 0, kSaveCancelled = 1, kSaveFailed = 2 };

// Picks the format from the name and the QS2 flag, asks for a name when
// `path` is empty, and writes.
SaveResult SaveShapeFile(Document& doc, platform::Platform& ui, const std::string& path,
                         std::span<const Shape> shapes);
// Write one format; on success the document is unmodified, titled and named
// after the path, and its object properties are written beside it.
bool WriteQshFile(Document& doc, platform::Platform& ui, const std::string& path,
                  std::span<const Shape> shapes);
bool WriteQs2File(Document& doc, platform::Platform& ui, const std::string& path,
                  std::span<const Shape> shapes);

// The name of the object-properties side file that goes with a shape file:
// ".qsh" and ".qs2" become ".qbj". Empty for a path too short to have one.
std::string ObjectFileName(const std::string& path);
// The side file a save of `path` writes: beside the file a link leads to,
// not beside the link. Nothing, with the reason, for a link that leads nowhere.
std::optional<std::string> SideFileToWrite(const std::string& path, std::string* error = nullptr);
// The side file an open of `path` reads: the one a save writes, or, when
// there is none, one an earlier save left beside the link.
std::string SideFileToRead(const std::string& path);
// The QS2 name the save offers for a QSH name.
std::string Qs2NameFor(const std::string& path);

// The question Save asks before it overwrites a file of the document that
// another program changed since it was opened or last saved.
inline std::string ChangedOnDiskQuestion(const std::string& name) {
  return name + " was changed by another program since it was opened. Overwrite it?";
}
// Notes the shape file and its side file as they are now, as the document's own.
void StampDocumentFiles(Document& doc, const std::string& path);

// Puts a document name in the window title through the document's hook.
void ShowDocumentTitle(Document& doc, platform::Platform& ui, const std::string& name);

}  // namespace qshe
