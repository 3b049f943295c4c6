#include "tool.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "document/file_io.h"
#include "document/object_file.h"
#include "document/shape_file.h"

namespace qshe::tool {
namespace {

constexpr const char* kUsage =
    "usage: qshe-tool info [--json] FILE\n"
    "       qshe-tool convert IN OUT   (OUT ending in \"2\" is written as QS2, else QSH;\n"
    "                                   IN's .qbj side file goes beside OUT)\n";

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  return out + "\"";
}

// Whether two names reach the same file, also when neither exists yet.
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

const char* FormatName(ShapeFileFormat f) { return f == ShapeFileFormat::Qs2 ? "QS2" : "QSH"; }

// A loaded file: its shapes live in a table as large as the document's.
struct Loaded {
  std::vector<Shape> table = std::vector<Shape>(kShapeListCapacity);
  LoadResult result;
  bool hasObjectFile = false;  // a side file was read into the shapes
  std::span<const Shape> shapes() const { return {table.data(), static_cast<size_t>(result.count)}; }
};

// The side file, as the editor reads it on opening: one record per shape read.
void LoadSideFile(const std::string& path, Loaded& loaded) {
  if (path.size() < 2) return;
  std::span<Shape> shapes(loaded.table.data(), static_cast<size_t>(loaded.result.count));
  loaded.hasObjectFile = LoadObjectFile(ObjectFileName(path), shapes).isObjectFile;
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

int Info(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
  auto loaded = std::make_unique<Loaded>();
  if (!Load(path, *loaded, err)) return 1;
  const auto& r = loaded->result;
  auto shapes = loaded->shapes();
  const int qs2Flag = r.format == ShapeFileFormat::Qs2 ? 1 : 0;
  const bool qbj = loaded->hasObjectFile;
  if (json) {
    out << "{\"file\": " << JsonString(path) << ", \"format\": \"" << FormatName(r.format)
        << "\", \"count\": " << r.count << ", \"qs2Flag\": " << qs2Flag
        << ", \"qbjFlag\": " << (qbj ? 1 : 0) << ", \"shapes\": [";
    for (size_t i = 0; i < shapes.size(); ++i) {
      const Shape& s = shapes[i];
      out << (i ? ", " : "") << "{\"index\": " << i << ", \"width\": " << s.width
          << ", \"height\": " << s.height << ", \"offsetX\": " << s.offsetX
          << ", \"offsetY\": " << s.offsetY << ", \"replacement\": " << s.replacement;
      if (qbj) {
        out << ", \"tavrelX\": " << s.tavrelX << ", \"tavrelY\": " << s.tavrelY
            << ", \"gettable\": " << s.gettable << ", \"sittable\": " << s.sittable
            << ", \"walkable\": " << s.walkable;
      }
      out << "}";
    }
    out << "]}\n";
    return 0;
  }
  out << "file: " << path << "\nformat: " << FormatName(r.format) << "\nshapes: " << r.count << "\n";
  out << "qs2Flag: " << qs2Flag << "\nqbjFlag: " << (qbj ? 1 : 0) << "\n";
  out << "index  width height offsetX offsetY replacement"
      << (qbj ? " tavrelX tavrelY gettable sittable walkable" : "") << "\n";
  for (size_t i = 0; i < shapes.size(); ++i) {
    const Shape& s = shapes[i];
    char line[160];
    int at = std::snprintf(line, sizeof line, "%5zu  %5d %6d %7d %7d %11d", i, s.width, s.height,
                           s.offsetX, s.offsetY, s.replacement);
    if (qbj) {
      std::snprintf(line + at, sizeof line - static_cast<size_t>(at), " %7d %7d %8d %8d %8d",
                    s.tavrelX, s.tavrelY, s.gettable, s.sittable, s.walkable);
    }
    out << line << "\n";
  }
  return 0;
}

int Convert(const std::string& in, const std::string& outPath, std::ostream& err) {
  auto loaded = std::make_unique<Loaded>();
  if (!Load(in, *loaded, err)) return 1;
  auto shapes = loaded->shapes();
  if (auto big = FindOversizedShape(shapes)) {
    err << "qshe-tool: " << OversizedShapeMessage(shapes[static_cast<size_t>(*big)], *big) << "\n";
    return 1;
  }
  const bool qs2 = !outPath.empty() && outPath.back() == '2';
  auto bytes = EncodeShapeFile(shapes, qs2 ? ShapeFileFormat::Qs2 : ShapeFileFormat::Qsh);
  if (!loaded->hasObjectFile) {
    if (auto error = WriteFileAtomically(outPath, bytes)) {
      err << "qshe-tool: cannot write " << outPath << ": " << *error << "\n";
      return 1;
    }
    return 0;
  }
  const std::string sidePath = ObjectFileName(outPath);
  if (sidePath.empty()) {
    err << "qshe-tool: " << outPath << " is too short a name to have a side file beside it\n";
    return 1;
  }
  // Names that would make one file stand for two: OUT over its own side file,
  // or OUT over IN's side file.
  if (SamePath(sidePath, outPath)) {
    err << "qshe-tool: " << outPath << " would be its own side file; choose a name ending in .qsh or .qs2\n";
    return 1;
  }
  if (SamePath(outPath, ObjectFileName(in))) {
    err << "qshe-tool: " << outPath << " is the side file of " << in << "; writing it would lose the object properties\n";
    return 1;
  }
  // The side file goes first so that OUT is only written when both can be;
  // should OUT then fail, the side file that was there is put back. One that
  // is there but cannot be read back could not be put back, so it is not
  // replaced at all.
  std::error_code ec;
  const bool sideExisted = std::filesystem::exists(std::filesystem::symlink_status(sidePath, ec));
  std::string readError;
  auto oldSide = sideExisted ? ReadWholeFile(sidePath, &readError) : std::nullopt;
  if (sideExisted && !oldSide) {
    err << "qshe-tool: cannot write " << sidePath << ": the file there cannot be read to keep it ("
        << readError << ")\n";
    return 1;
  }
  if (auto error = WriteFileAtomically(sidePath, EncodeObjectFile(shapes))) {
    err << "qshe-tool: cannot write " << sidePath << ": " << *error << "\n";
    return 1;
  }
  if (auto error = WriteFileAtomically(outPath, bytes)) {
    err << "qshe-tool: cannot write " << outPath << ": " << *error << "\n";
    if (oldSide) {
      WriteFileAtomically(sidePath, oldSide->bytes());
    } else {
      std::filesystem::remove(sidePath, ec);  // ours alone: nothing was there before
    }
    return 1;
  }
  return 0;
}

}  // namespace

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() >= 2 && args[0] == "info") {
    bool json = args[1] == "--json";
    if (args.size() == (json ? 3u : 2u)) return Info(args[json ? 2 : 1], json, out, err);
  } else if (args.size() == 3 && args[0] == "convert") {
    return Convert(args[1], args[2], err);
  } else if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  err << kUsage;
  return 2;
}

}  // namespace qshe::tool
