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
  loaded.hasObjectFile = LoadObjectFile(SideFileToRead(path), shapes).isObjectFile;
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

bool Load(const std::string& path, Loaded& loaded, std::ostream& err, bool withPixels) {
  loaded.result = LoadShapeFile(path, loaded.table, withPixels);
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
  const ShapeFileFormat chosen = format.value_or(qs2 ? ShapeFileFormat::Qs2 : ShapeFileFormat::Qsh);
  // Encoded as it is written: a large file is never in memory twice.
  std::vector<FileToWrite> files = {
      {outPath, {}, [shapes, chosen](ByteSink& out) { return WriteShapeFileTo(shapes, chosen, out); }}};
  std::vector<uint8_t> sideBytes;
  if (withSideFile) {
    std::string error;
    auto sidePath = SideFileToWrite(outPath, &error);
    if (!sidePath) {
      err << "qshe-tool: cannot write " << outPath << ": " << error << "\n";
      return false;
    }
    if (SameFile(*sidePath, outPath)) {
      err << "qshe-tool: " << outPath << " would be its own side file; choose a name ending in .qsh or .qs2\n";
      return false;
    }
    sideBytes = EncodeObjectFile(shapes);
    files.push_back({*sidePath, sideBytes});
  }
  // Both temporaries are complete and on the disk before either is renamed,
  // under a lock that keeps another writer's pair from mixing with ours.
  if (auto failure = WriteFilesTogether(files)) {
    err << "qshe-tool: cannot write " << failure->path << ": " << failure->text << "\n";
    return false;
  }
  return true;
}

}  // namespace qshe::tool
