#include "tool.h"

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "document/object_file.h"
#include "document/shape_file.h"
#include "picture_commands.h"
#include "shape_files.h"
#include "shape_json.h"
#include "sheet_command.h"

namespace qshe::tool {
namespace {

constexpr const char* kUsage =
    "usage: qshe-tool info [--json] FILE\n"
    "       qshe-tool convert IN OUT   (OUT ending in \"2\" is written as QS2, else QSH;\n"
    "                                   IN's .qbj side file goes beside OUT)\n"
    "       qshe-tool import [--at N] [--replace] [--transparent [auto|none|#rrggbb]]\n"
    "                        [--dither none|ordered|diffusion] [--center] [--palette FILE.pcx]\n"
    "                        SHAPEFILE PICTURE...\n"
    "       qshe-tool collage [--at N] [--replace] [--center] [--match-colours]\n"
    "                         [--transparent auto|none|#rrggbb] [--dither none|ordered|diffusion]\n"
    "                         [--palette FILE.pcx] SHAPEFILE SHEET   (PCX, BMP or PNG)\n"
    "       qshe-tool export [--png] [--shape N]... [--palette FILE.pcx] SHAPEFILE OUTDIR\n"
    "       qshe-tool sheet export [--columns N] [--padding P] [--palette FILE.pcx] SHAPEFILE SHEET.png\n"
    "       qshe-tool sheet import [--palette FILE.pcx] SHEET.png SHAPEFILE\n"
    "                                  (SHEET.json beside SHEET.png holds all but the pixels)\n";

const char* FormatName(ShapeFileFormat f) { return f == ShapeFileFormat::Qs2 ? "QS2" : "QSH"; }

int Info(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
  auto loaded = std::make_unique<Loaded>();
  // Sizes and fields only: the pixels are stepped over, not read.
  if (!Load(path, *loaded, err, false)) return 1;
  const auto& r = loaded->result;
  auto shapes = loaded->shapes();
  const int qs2Flag = r.format == ShapeFileFormat::Qs2 ? 1 : 0;
  const bool qbj = loaded->hasObjectFile;
  if (json) {
    nlohmann::ordered_json j;
    j["file"] = path;
    j["format"] = FormatName(r.format);
    j["count"] = r.count;
    j["qs2Flag"] = qs2Flag;
    j["qbjFlag"] = qbj ? 1 : 0;
    auto& list = j["shapes"] = nlohmann::ordered_json::array();
    for (size_t i = 0; i < shapes.size(); ++i) list.push_back(ShapeJson(shapes[i], i, qbj));
    // A file name need not be valid UTF-8; such bytes are replaced, not refused.
    out << j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
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
  // OUT over IN's side file would lose the properties it was read from.
  if (loaded->hasObjectFile && SamePath(outPath, SideFileToRead(in))) {
    err << "qshe-tool: " << outPath << " is the side file of " << in << "; writing it would lose the object properties\n";
    return 1;
  }
  return WriteShapeFiles(outPath, shapes, loaded->hasObjectFile, err) ? 0 : 1;
}

}  // namespace

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() >= 2 && args[0] == "info") {
    bool json = args[1] == "--json";
    if (args.size() == (json ? 3u : 2u)) return Info(args[json ? 2 : 1], json, out, err);
  } else if (args.size() == 3 && args[0] == "convert") {
    return Convert(args[1], args[2], err);
  } else if (!args.empty() && args[0] == "import") {
    if (auto status = ImportCommand({args.begin() + 1, args.end()}, err)) return *status;
  } else if (!args.empty() && args[0] == "collage") {
    if (auto status = CollageCommand({args.begin() + 1, args.end()}, err)) return *status;
  } else if (!args.empty() && args[0] == "export") {
    if (auto status = ExportCommand({args.begin() + 1, args.end()}, err)) return *status;
  } else if (!args.empty() && args[0] == "sheet") {
    if (auto status = SheetCommand({args.begin() + 1, args.end()}, err)) return *status;
  } else if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  err << kUsage;
  return 2;
}

}  // namespace qshe::tool
