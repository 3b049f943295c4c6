#include "shape_files.h"

#include <filesystem>

#include "document/file_io.h"
#include "document/object_file.h"

namespace qshe::tool {

// The side file, as the editor reads it on opening: one record per shape read.
namespace {

void LoadSideFile(const std::string& path, Loaded& loaded) {
  if (path.size() < 2) return;
  std::span<Shape> shapes(loaded.table.data(), static_cast<size_t>(loaded.result.count));
  loaded.hasObjectFile = LoadObjectFile(ObjectFileName(path), shapes).isObjectFile;
}

}  // namespace

bool SamePath(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
  fs::path ca = fs::weakly_canonical(a, ec);
  if (ec) return a == b;
  fs::path cb = fs::weakly_canonical(b, ec);
  if (ec) return a == b;
  return ca == cb;
}

bool Load(const std::string& path, Loaded& loaded, std::ostream& err) {
  loaded.result = LoadShapeFile(path, loaded.table);
  switch (loaded.result.status) {
    case LoadStatus::Ok: LoadSideFile(path, loaded); return true;
    case LoadStatus::CannotOpen:
      err << "qshe-tool: cannot read " << path << ": " << loaded.result.detail << "\n";
      return false;
    case LoadStatus::Encrypted:
      err << "qshe-tool: " << path << " is an encrypted QS2 file and can not be loaded\n";
      return false;
    case LoadStatus::Damaged:
    case LoadStatus::TooMany:
      err << "qshe-tool: " << path << ": " << loaded.result.detail << "\n";
      return false;
  }
  return false;
}

bool WriteShapeFiles(const std::string& outPath, std::span<const Shape> shapes, bool withSideFile,
                     std::ostream& err, std::optional<ShapeFileFormat> format) {
  const bool qs2 = !outPath.empty() && outPath.back() == '2';
  auto bytes = EncodeShapeFile(shapes, format.value_or(qs2 ? ShapeFileFormat::Qs2 : ShapeFileFormat::Qsh));
  if (!withSideFile) {
    if (auto error = WriteFileAtomically(outPath, bytes)) {
      err << "qshe-tool: cannot write " << outPath << ": " << *error << "\n";
      return false;
    }
    return true;
  }
  const std::string sidePath = ObjectFileName(outPath);
  if (sidePath.empty()) {
    err << "qshe-tool: " << outPath << " is too short a name to have a side file beside it\n";
    return false;
  }
  if (SamePath(sidePath, outPath)) {
    err << "qshe-tool: " << outPath << " would be its own side file; choose a name ending in .qsh or .qs2\n";
    return false;
  }
  // The side file goes first so that OUT is only written when both can be;
  // should OUT then fail, the side file that was there is put back.
  Previous oldSide;
  if (!KeepPrevious(sidePath, oldSide, err)) return false;
  if (auto error = WriteFileAtomically(sidePath, EncodeObjectFile(shapes))) {
    err << "qshe-tool: cannot write " << sidePath << ": " << *error << "\n";
    return false;
  }
  if (auto error = WriteFileAtomically(outPath, bytes)) {
    err << "qshe-tool: cannot write " << outPath << ": " << *error << "\n";
    PutBack(sidePath, oldSide);
    return false;
  }
  return true;
}

bool KeepPrevious(const std::string& path, Previous& previous, std::ostream& err) {
  std::error_code ec;
  previous.existed = std::filesystem::exists(std::filesystem::symlink_status(path, ec));
  if (!previous.existed) return true;
  std::string error;
  previous.bytes = ReadWholeFile(path, &error);
  if (previous.bytes) return true;
  err << "qshe-tool: cannot write " << path << ": the file there cannot be read to keep it (" << error
      << ")\n";
  return false;
}

void PutBack(const std::string& path, const Previous& previous) {
  std::error_code ignored;
  if (previous.bytes) {
    WriteFileAtomically(path, previous.bytes->bytes());
  } else if (!previous.existed) {
    std::filesystem::remove(path, ignored);  // ours alone: nothing was there before
  }
}

}  // namespace qshe::tool
