// qshe-tool export: shapes out as the editor's bitmaps or as PNG pictures.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>

#include "interchange/bitmap_export.h"
#include "picture_commands.h"
#include "shape_files.h"

namespace qshe::tool {

std::optional<int> ExportCommand(const std::vector<std::string>& args, std::ostream& err) {
  bool png = false;
  std::string palettePath;
  std::vector<long> wanted;
  std::vector<std::string> names;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--png") {
      png = true;
    } else if (a == "--shape" && i + 1 < args.size()) {
      char* end = nullptr;
      const std::string& n = args[++i];
      long v = std::strtol(n.c_str(), &end, 10);
      if (n.empty() || *end || v < 0) {
        err << "qshe-tool: --shape needs a shape number, not \"" << n << "\"\n";
        return 2;
      }
      wanted.push_back(v);
    } else if (a == "--palette" && i + 1 < args.size()) {
      palettePath = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return std::nullopt;
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 2) return std::nullopt;
  GamePalette palette;
  if (!LoadToolPalette(palettePath, palette, err)) return 1;
  auto doc = std::make_unique<Loaded>();
  if (!Load(names[0], *doc, err)) return 1;
  auto shapes = doc->shapes();
  for (long v : wanted) {
    if (v >= static_cast<long>(shapes.size())) {
      err << "qshe-tool: " << names[0] << " has no shape " << v << " (it has " << shapes.size() << ")\n";
      return 1;
    }
  }
  if (wanted.empty())
    for (size_t i = 0; i < shapes.size(); ++i) wanted.push_back(static_cast<long>(i));
  std::error_code ec;
  std::filesystem::create_directories(names[1], ec);
  int status = 0;
  for (long v : std::set<long>(wanted.begin(), wanted.end())) {
    const Shape& s = shapes[static_cast<size_t>(v)];
    if (!s.HasPixels()) {
      err << "qshe-tool: shape " << v << " is empty; nothing written for it\n";
      continue;
    }
    const std::string path =
        (std::filesystem::path(names[1]) / ("shape" + std::to_string(v) + (png ? ".png" : ".bmp"))).string();
    if (auto error = WriteShapePicture(path, s, palette)) {
      err << "qshe-tool: cannot write " << path << ": " << *error << "\n";
      status = 1;
    }
  }
  return status;
}

}  // namespace qshe::tool
