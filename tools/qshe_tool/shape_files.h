// Shape files as the tool reads and writes them: with their side files.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "document/file_io.h"
#include "document/shape_file.h"

namespace qshe::tool {

// A loaded file: its shapes live in a table as large as the document's.
struct Loaded {
  std::vector<Shape> table = std::vector<Shape>(kShapeListCapacity);
  LoadResult result;
  bool hasObjectFile = false;  // a side file was read into the shapes
  std::span<const Shape> shapes() const { return {table.data(), static_cast<size_t>(result.count)}; }
};

// Whether two names reach the same file, also when neither exists yet.
bool SamePath(const std::string& a, const std::string& b);

// Reads a shape file and its side file; false (with a line on `err`) when it
// cannot be used. Without `withPixels` the shapes carry no pixel blocks:
// what a summary needs, in little memory whatever the file's size.
bool Load(const std::string& path, Loaded& loaded, std::ostream& err, bool withPixels = true);

// Writes `shapes` to `path` (QS2 when the name ends in "2", else QSH) and,
// with `withSideFile`, their object properties beside it (beside the file a
// link leads to) as a pair: either both files are written or neither
// changes. A name that would be its own side file is refused. False (with a
// line on `err`) on failure.
// A given `format` is written whatever the name.
bool WriteShapeFiles(const std::string& path, std::span<const Shape> shapes, bool withSideFile,
                     std::ostream& err, std::optional<ShapeFileFormat> format = std::nullopt);

}  // namespace qshe::tool
