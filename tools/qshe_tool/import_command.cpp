// qshe-tool import: one new or replaced shape per picture, all or nothing.
#include <cstdlib>
#include <memory>

#include "document/file_io.h"
#include "interchange/bitmap_import.h"
#include "picture_commands.h"
#include "shape_files.h"

namespace qshe::tool {

std::optional<int> ParseAtOption(const std::string& text, std::ostream& err) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < 0 || v >= kShapeListCapacity) {
    err << "qshe-tool: --at needs a shape number from 0 to " << kShapeListCapacity - 1 << "\n";
    return std::nullopt;
  }
  return static_cast<int>(v);
}

bool ParseColorOption(const std::vector<std::string>& args, size_t& i, ColorChoice& choice, bool& ditherGiven,
                      std::optional<int>& status, std::ostream& err) {
  const std::string& a = args[i];
  if (a == "--transparent") {
    if (i + 1 >= args.size()) {
      choice.transparency = Transparency::Automatic;
      return true;
    }
    const std::string& value = args[i + 1];
    if (ParseTransparencyWord(value, choice)) {
      ++i;
    } else if (!value.empty() && value[0] == '#') {
      err << "qshe-tool: --transparent takes auto, none or a colour as #rrggbb, not " << value << "\n";
      status = 2;
    } else {
      choice.transparency = Transparency::Automatic;  // the flag alone
    }
    return true;
  }
  if (a == "--dither") {
    auto method = i + 1 < args.size() ? ParseDitherWord(args[i + 1]) : std::nullopt;
    if (!method) {
      err << "qshe-tool: --dither takes none, ordered or diffusion\n";
      status = 2;
      return true;
    }
    ++i;
    choice.method = *method;
    ditherGiven = true;
    return true;
  }
  return false;
}

std::optional<int> LoadImportTarget(const std::string& shapePath, std::optional<int> at, Loaded& loaded,
                                    std::ostream& err) {
  const bool exists = FileExists(shapePath);
  if (exists && !Load(shapePath, loaded, err)) return std::nullopt;
  if (!exists) loaded.result.count = 0;
  const int count = loaded.result.count;
  const int first = at ? *at : count;
  if (first > count) {
    err << "qshe-tool: " << shapePath << " has " << count << " shapes; --at " << first << " lies past its end\n";
    return std::nullopt;
  }
  return first;
}

std::optional<int> ImportCommand(const std::vector<std::string>& args, std::ostream& err) {
  std::optional<int> at;
  bool replace = false, center = false, ditherGiven = false;
  // Without --transparent no pixel becomes transparent, as always.
  ColorChoice colors{Transparency::None, {}, ColorMethod::Nearest};
  std::optional<int> bad;
  std::string palettePath;
  std::vector<std::string> names;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--at" && i + 1 < args.size()) {
      if (!(at = ParseAtOption(args[++i], err))) return 2;
    } else if (a == "--palette" && i + 1 < args.size()) {
      palettePath = args[++i];
    } else if (a == "--replace") {
      replace = true;
    } else if (ParseColorOption(args, i, colors, ditherGiven, bad, err)) {
      if (bad) return bad;
    } else if (a == "--center") {
      center = true;
    } else if (a.size() > 1 && a[0] == '-' && names.empty()) {
      return std::nullopt;
    } else {
      names.push_back(a);
    }
  }
  if (names.size() < 2) return std::nullopt;
  const std::string shapePath = names[0];

  GamePalette palette;
  if (!LoadToolPalette(palettePath, palette, err)) return 1;
  const ColorMatcher matcher(palette);

  auto doc = std::make_unique<Loaded>();
  const std::optional<int> start = LoadImportTarget(shapePath, at, *doc, err);
  if (!start) return 1;
  const int count = doc->result.count, first = *start;

  // Every picture is read and matched before anything changes.
  const int pictures = static_cast<int>(names.size()) - 1;
  std::vector<Shape> made(static_cast<size_t>(pictures));
  bool failed = false;
  for (int k = 0; k < pictures; ++k) {
    const std::string& name = names[static_cast<size_t>(k) + 1];
    PictureFile file = ReadPictureFile(name);
    Shape& s = made[static_cast<size_t>(k)];
    if (!file.opened) {
      err << "qshe-tool: cannot read " << name << ": " << file.openError << "\n";
    } else if (!file.result.ok()) {
      err << "qshe-tool: " << PictureErrorMessage(file.result, name) << "\n";
    } else if (!PictureToShape(file.result.picture, matcher, colors, s)) {
      err << "qshe-tool: not enough memory for " << name << "\n";
    } else if (FindOversizedShape(std::span<const Shape>(&s, 1))) {
      err << "qshe-tool: " << name << " is " << s.width << " x " << s.height
          << " pixels; a shape file holds at most 255 x 255\n";
    } else {
      if (center) CenterOffsets(s);
      continue;
    }
    failed = true;
  }
  if (failed) return 1;

  const int total = replace ? std::max(count, first + pictures) : count + pictures;
  if (total > kShapeListCapacity) {
    err << "qshe-tool: " << shapePath << " would hold " << total << " shapes; the limit is " << kShapeListCapacity
        << "\n";
    return 1;
  }
  std::vector<Shape>& table = doc->table;
  if (!replace) {
    // Make room: shapes from `first` on move up by the number of pictures.
    for (int i = count - 1; i >= first; --i) std::swap(table[static_cast<size_t>(i)], table[static_cast<size_t>(i + pictures)]);
  }
  for (int k = 0; k < pictures; ++k) table[static_cast<size_t>(first + k)] = std::move(made[static_cast<size_t>(k)]);
  return WriteShapeFiles(shapePath, std::span<const Shape>(table.data(), static_cast<size_t>(total)),
                         doc->hasObjectFile, err)
             ? 0
             : 1;
}

}  // namespace qshe::tool
