// qshe-tool sheet export and import: every shape of a file in one palettised
// PNG grid, everything else about them in a JSON file beside it, and back
// again byte for byte.
#include "sheet_command.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>

#include "document/file_io.h"
#include "interchange/bitmap_export.h"
#include "interchange/png_codec.h"
#include "picture_commands.h"
#include "shape_files.h"
#include "shape_json.h"

namespace qshe::tool {
namespace {

using Json = nlohmann::ordered_json;

// Grid cells hold shapes of up to 255 pixels; wider gaps help no one.
constexpr int kMaxPadding = 255;

std::string JsonPathFor(const std::string& sheetPath) {
  return std::filesystem::path(sheetPath).replace_extension(".json").string();
}

struct Grid {
  int columns = 1, rows = 1, cellWidth = 1, cellHeight = 1, padding = 0;
  int Width() const { return columns * cellWidth + (columns - 1) * padding; }
  int Height() const { return rows * cellHeight + (rows - 1) * padding; }
  int X(int i) const { return (i % columns) * (cellWidth + padding); }
  int Y(int i) const { return (i / columns) * (cellHeight + padding); }
};

// Cells as large as the largest shape; by default about as many columns as
// rows, so that the picture stays square-ish for image editors.
Grid MakeGrid(std::span<const Shape> shapes, int columns, int padding) {
  Grid g;
  g.padding = padding;
  for (const Shape& s : shapes) {
    if (!s.HasPixels()) continue;
    g.cellWidth = std::max(g.cellWidth, s.width);
    g.cellHeight = std::max(g.cellHeight, s.height);
  }
  const int n = std::max(1, static_cast<int>(shapes.size()));
  if (columns <= 0) columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
  g.columns = std::clamp(columns, 1, n);
  g.rows = (n + g.columns - 1) / g.columns;
  return g;
}

std::optional<int> ParseCount(const std::string& text, int lo, int hi) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < lo || v > hi) return std::nullopt;
  return static_cast<int>(v);
}

int Export(const std::vector<std::string>& names, int columns, int padding, const std::string& palettePath,
           std::ostream& err) {
  GamePalette palette;
  if (!LoadToolPalette(palettePath, palette, err)) return 1;
  auto doc = std::make_unique<Loaded>();
  if (!Load(names[0], *doc, err)) return 1;
  const auto shapes = doc->shapes();
  const Grid g = MakeGrid(shapes, columns, padding);
  const std::string& sheetPath = names[1];
  const std::string jsonPath = JsonPathFor(sheetPath);
  if (jsonPath == sheetPath) {
    err << "qshe-tool: " << sheetPath << " would be overwritten by its own JSON file; name the sheet .png\n";
    return 1;
  }

  // The sheet in PNG row order is built bottom row first, as the encoder
  // takes it, so every shape row is copied once.
  std::vector<uint8_t> sheet;
  try {
    sheet.assign(static_cast<size_t>(g.Width()) * static_cast<size_t>(g.Height()), 0);
  } catch (const std::bad_alloc&) {
    err << "qshe-tool: not enough memory for a sheet of " << g.Width() << " x " << g.Height() << " pixels\n";
    return 1;
  }
  const size_t stride = static_cast<size_t>(g.Width());
  const bool objectFile = doc->hasObjectFile;
  Json list = Json::array();
  for (int i = 0; i < static_cast<int>(shapes.size()); ++i) {
    const Shape& s = shapes[static_cast<size_t>(i)];
    const int x = g.X(i), y = g.Y(i);
    if (s.HasPixels()) {
      for (int r = 0; r < s.height; ++r) {
        // Shape row r (from the bottom) lies at picture row y + height - 1 - r
        // from the top, which is sheet row Height - 1 - that from the bottom.
        const size_t row = static_cast<size_t>(g.Height() - y - s.height + r);
        std::memcpy(sheet.data() + row * stride + static_cast<size_t>(x),
                    s.pixels.get() + static_cast<size_t>(r) * static_cast<size_t>(s.width),
                    static_cast<size_t>(s.width));
      }
    }
    Json entry = ShapeJson(s, static_cast<size_t>(i), objectFile);
    entry["cell"] = {{"x", x}, {"y", y}, {"width", g.cellWidth}, {"height", g.cellHeight}};
    list.push_back(std::move(entry));
  }
  Json root;
  root["format"] = doc->result.format == ShapeFileFormat::Qs2 ? "QS2" : "QSH";
  root["image"] = std::filesystem::path(sheetPath).filename().string();
  root["layout"] = "grid";
  root["columns"] = g.columns;
  root["rows"] = g.rows;
  root["cellWidth"] = g.cellWidth;
  root["cellHeight"] = g.cellHeight;
  root["padding"] = g.padding;
  root["objectFile"] = objectFile;
  root["shapes"] = std::move(list);

  std::string error;
  auto png = EncodeGamePng(g.Width(), g.Height(), sheet.data(), palette, &error);
  if (!png) {
    err << "qshe-tool: cannot encode " << sheetPath << ": " << error << "\n";
    return 1;
  }
  sheet = {};
  // The picture and its JSON belong together: both are written or neither.
  const std::string text = root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
  const FileToWrite files[] = {{sheetPath, *png},
                               {jsonPath, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}}};
  if (auto failed = WriteFilesTogether(files)) {
    err << "qshe-tool: cannot write " << failed->path << ": " << failed->text << "\n";
    return 1;
  }
  return 0;
}

// ----- import ----------------------------------------------------------------

// Reading the JSON: the first problem becomes the one line the user sees.
struct Problem {
  std::string text;
};

int Number(const Json& object, const char* name, int lo, int hi, const std::string& where) {
  auto it = object.find(name);
  if (it == object.end()) throw Problem{where + " has no \"" + name + "\""};
  if (!it->is_number_integer() || *it < lo || *it > hi)
    throw Problem{where + ": \"" + name + "\" must be a whole number from " + std::to_string(lo) + " to " +
                  std::to_string(hi) + ", not " + it->dump()};
  return it->get<int>();
}

struct SheetEntry {
  Shape shape;
  int cellX = 0, cellY = 0, cellWidth = 0, cellHeight = 0;
};

struct SheetData {
  ShapeFileFormat format = ShapeFileFormat::Qsh;
  bool objectFile = false;
  std::vector<SheetEntry> entries;
};

// Checks every field before a pixel is read; throws the first Problem.
SheetData ParseSheetJson(const Json& root) {
  if (!root.is_object()) throw Problem{"the top level is not an object"};
  SheetData data;
  auto format = root.find("format");
  if (format == root.end() || !format->is_string() || (*format != "QSH" && *format != "QS2"))
    throw Problem{"\"format\" must be \"QSH\" or \"QS2\""};
  data.format = *format == "QS2" ? ShapeFileFormat::Qs2 : ShapeFileFormat::Qsh;
  auto objectFile = root.find("objectFile");
  if (objectFile != root.end()) {
    if (!objectFile->is_boolean()) throw Problem{"\"objectFile\" must be true or false"};
    data.objectFile = objectFile->get<bool>();
  }
  auto shapes = root.find("shapes");
  if (shapes == root.end() || !shapes->is_array()) throw Problem{"\"shapes\" must be a list"};
  if (shapes->size() > static_cast<size_t>(kShapeListCapacity))
    throw Problem{"it lists " + std::to_string(shapes->size()) + " shapes; a shape file holds at most " +
                  std::to_string(kShapeListCapacity)};
  data.entries.resize(shapes->size());
  for (size_t k = 0; k < shapes->size(); ++k) {
    const Json& e = (*shapes)[k];
    const std::string where = "shape " + std::to_string(k);
    if (!e.is_object()) throw Problem{where + " is not an object"};
    if (Number(e, "index", 0, kShapeListCapacity - 1, where) != static_cast<int>(k))
      throw Problem{where + " has \"index\" " + e["index"].dump() + "; the shapes must be listed as 0, 1, 2, ..."};
    SheetEntry& entry = data.entries[k];
    Shape& s = entry.shape;
    // Larger sizes are refused by name: the file's size fields are one byte.
    auto size = [&](const char* name, const char* word) {
      int v = Number(e, name, 0, 1 << 30, where);
      if (v > 255)
        throw Problem{where + " is " + std::to_string(v) + " pixels " + word +
                      "; a shape file holds at most 255 x 255"};
      return v;
    };
    const int width = size("width", "wide"), height = size("height", "high");
    const int offsetX = Number(e, "offsetX", -128, 127, where);
    const int offsetY = Number(e, "offsetY", -128, 127, where);
    const int replacement = Number(e, "replacement", -32768, 32767, where);
    if (replacement != 0 && data.format == ShapeFileFormat::Qsh)
      throw Problem{where + " has \"replacement\" " + std::to_string(replacement) +
                    ", which a QSH file cannot hold; make \"format\" \"QS2\""};
    auto cell = e.find("cell");
    if (cell == e.end() || !cell->is_object()) throw Problem{where + " has no \"cell\" object"};
    const std::string cellWhere = where + "'s cell";
    entry.cellX = Number(*cell, "x", 0, 1 << 24, cellWhere);
    entry.cellY = Number(*cell, "y", 0, 1 << 24, cellWhere);
    entry.cellWidth = Number(*cell, "width", 0, 1 << 16, cellWhere);
    entry.cellHeight = Number(*cell, "height", 0, 1 << 16, cellWhere);
    // A QS2 file may keep a width without pixels (a height of 0); that needs no room.
    if (width > 0 && height > 0 && (width > entry.cellWidth || height > entry.cellHeight))
      throw Problem{where + " (" + std::to_string(width) + " x " + std::to_string(height) +
                    ") does not fit its cell (" + std::to_string(entry.cellWidth) + " x " +
                    std::to_string(entry.cellHeight) + ")"};
    if (!AllocateShape(s, width, height) && width > 0 && height > 0) throw Problem{"not enough memory"};
    s.offsetX = offsetX;
    s.offsetY = offsetY;
    s.replacement = replacement;
    if (data.objectFile) {
      s.tavrelX = Number(e, "tavrelX", -128, 127, where);
      s.tavrelY = Number(e, "tavrelY", -128, 127, where);
      s.gettable = Number(e, "gettable", 0, 1, where);
      s.sittable = Number(e, "sittable", 0, 1, where);
      s.walkable = Number(e, "walkable", 0, 1, where);
    }
  }
  return data;
}

// Game indices for the sheet's pixels. A palettised picture keeps every
// index whose colour table entry is still the exported one, so an edit in
// another program that leaves the palette alone is lossless; any other entry,
// and every pixel of an RGB picture, is matched to the nearest game colour.
// Transparent (alpha 0) and the export colour itself give 0.
class SheetColors {
 public:
  SheetColors(const Picture& picture, const GamePalette& palette) : picture_(picture), palette_(palette) {
    if (!picture.indexed) return;
    const GamePalette exported = ExportedPngPalette(palette);
    for (int k = 0; k < 256; ++k) {
      const uint8_t* c = picture.palette.data() + 3 * k;
      if (!picture.paletteAlpha.empty() && picture.paletteAlpha[static_cast<size_t>(k)] == 0)
        remap_[k] = 0;
      else if (std::memcmp(c, exported.data() + 3 * k, 3) == 0)
        remap_[k] = static_cast<uint8_t>(k);
      else
        remap_[k] = Match(c);
    }
  }

  // Pixel x of picture row y, counted from the top.
  uint8_t At(int x, int y) {
    const uint8_t* row = picture_.Row(picture_.height - 1 - y);
    if (picture_.indexed) return remap_[row[x]];
    const uint8_t* px = row + 4 * x;
    if (picture_.alphaUsed && px[3] == 0) return 0;
    const uint32_t color = static_cast<uint32_t>(px[0]) << 16 | px[1] << 8 | px[2];
    if (color != lastColor_) {
      lastColor_ = color;
      lastIndex_ = Match(px);
    }
    return lastIndex_;
  }

 private:
  uint8_t Match(const uint8_t* c) {
    if (std::memcmp(c, kExportColor0, 3) == 0) return 0;
    // Built on first need: an untouched sheet matches nothing.
    if (!colors_) colors_.emplace(palette_);
    return colors_->Nearest(c[0], c[1], c[2]);
  }

  const Picture& picture_;
  const GamePalette& palette_;
  std::optional<ColorMatcher> colors_;
  uint8_t remap_[256] = {};
  uint32_t lastColor_ = UINT32_MAX;
  uint8_t lastIndex_ = 0;
};

// Fills the shapes from their cells; throws a Problem for drawing outside a
// shape's size, which would otherwise be lost without a word.
void ReadCells(SheetData& data, const Picture& picture, const GamePalette& palette) {
  SheetColors colors(picture, palette);
  for (size_t k = 0; k < data.entries.size(); ++k) {
    SheetEntry& e = data.entries[k];
    Shape& s = e.shape;
    const int w = s.HasPixels() ? s.width : 0, h = s.HasPixels() ? s.height : 0;
    for (int y = 0; y < e.cellHeight; ++y) {
      for (int x = 0; x < e.cellWidth; ++x) {
        const uint8_t v = colors.At(e.cellX + x, e.cellY + y);
        if (x < w && y < h) {
          s.pixels[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = v;
        } else if (v != 0) {
          throw Problem{"shape " + std::to_string(k) + " has pixels outside its " + std::to_string(s.width) + " x " +
                        std::to_string(s.height) + " in its cell (at " + std::to_string(e.cellX + x) + ", " +
                        std::to_string(e.cellY + y) + "); make its \"width\" and \"height\" larger"};
        }
      }
    }
  }
}

// The JSON, read and checked: every field before a pixel is looked at.
std::string ParseSheet(std::span<const uint8_t> json, const std::string& jsonName, SheetData& data) {
  try {
    data = ParseSheetJson(Json::parse(json.begin(), json.end()));
  } catch (const Json::exception& e) {
    return jsonName + " is not JSON: " + e.what();
  } catch (const Problem& p) {
    return jsonName + ": " + p.text;
  }
  return {};
}

// The most pixels a sheet of these cells may have. Any grid of n cells of
// at most 255 x 255 with up to 255 pixels between them fits in twice n
// squares of 510 pixels (its last row may be nearly empty); a picture may
// also have grown to 4096 x 4096 in another program. The JSON comes with the
// picture and is trusted no further than that.
int64_t SheetPixelLimit(const SheetData& data) {
  const int64_t cells = std::max<int64_t>(1, static_cast<int64_t>(data.entries.size()));
  const int64_t square = 255 + kMaxPadding;
  return std::max<int64_t>(int64_t{4096} * 4096, 2 * cells * square * square);
}

// Checks a picture's size, from its header, against the cells: nothing is
// decoded for a picture that is too large or lacks a cell.
std::string CheckSheetSize(const SheetData& data, int64_t width, int64_t height, const std::string& jsonName,
                           const std::string& sheetName) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width * height > SheetPixelLimit(data)) {
    const size_t n = data.entries.size();
    return sheetName + " is " + size + " pixels, far larger than a sheet of " + std::to_string(n) +
           (n == 1 ? " shape" : " shapes") + " can be (as " + jsonName + " describes it)";
  }
  for (size_t k = 0; k < data.entries.size(); ++k) {
    const SheetEntry& e = data.entries[k];
    if (e.cellX + e.cellWidth > width || e.cellY + e.cellHeight > height)
      return sheetName + " (" + size + ") lacks the cell of shape " + std::to_string(k) + " at " +
             std::to_string(e.cellX) + ", " + std::to_string(e.cellY) + " (" + std::to_string(e.cellWidth) + " x " +
             std::to_string(e.cellHeight) + ")";
  }
  return {};
}

DecodedSheet Failed(std::string problem) {
  DecodedSheet out;
  out.problem = std::move(problem);
  return out;
}

// Decodes a picture whose size has passed CheckSheetSize and cuts the shapes.
DecodedSheet CutSheet(SheetData& data, std::span<const uint8_t> png, const GamePalette& palette,
                      const std::string& jsonName, const std::string& sheetName) {
  PictureResult decoded;
  try {
    decoded = DecodePng(png, 1 << 24, SheetPixelLimit(data));
  } catch (const std::bad_alloc&) {
    return Failed("not enough memory to read " + sheetName);
  }
  if (decoded.error == PictureError::TooBig)
    return Failed(sheetName + " is far larger than the sheet " + jsonName + " describes");
  if (!decoded.ok()) return Failed(PictureErrorMessage(decoded, sheetName));
  const Picture& picture = decoded.picture;
  if (std::string problem = CheckSheetSize(data, picture.width, picture.height, jsonName, sheetName); !problem.empty())
    return Failed(problem);
  try {
    ReadCells(data, picture, palette);
  } catch (const Problem& p) {
    return Failed(sheetName + ": " + p.text);
  }
  DecodedSheet out;
  out.format = data.format;
  out.objectFile = data.objectFile;
  out.shapes.resize(data.entries.size());
  for (size_t k = 0; k < out.shapes.size(); ++k) out.shapes[k] = std::move(data.entries[k].shape);
  return out;
}

// A JSON file holds a few hundred bytes a shape; this leaves ample room for
// any layout of 5000 of them.
constexpr uint64_t kMaxSheetJsonBytes = uint64_t{16} << 20;
// Enough of a PNG to know its size.
constexpr size_t kPngHeaderBytes = 24;

// The largest PNG file a picture of this size can be: 16-bit RGBA stored
// without compression, with the chunks the reader keeps aside.
uint64_t SheetFileLimit(int64_t width, int64_t height) {
  const auto raw = static_cast<uint64_t>(height) * (1 + 8 * static_cast<uint64_t>(width));
  return raw + raw / 64 + (uint64_t{4} << 20) + 65536;
}

std::string ReadProblemText(const ReadProblem& problem) {
  return problem.kind == ReadFailure::TooLarge ? "it is " + std::to_string(problem.size) + " bytes long, too large"
                                                : problem.text;
}

int Import(const std::vector<std::string>& names, const std::string& palettePath, std::ostream& err) {
  const std::string& sheetPath = names[0];
  const std::string& shapePath = names[1];
  const std::string jsonPath = JsonPathFor(sheetPath);
  GamePalette palette;
  if (!LoadToolPalette(palettePath, palette, err)) return 1;
  ReadProblem problem;
  auto text = ReadWholeFile(jsonPath, kMaxSheetJsonBytes, &problem);
  if (!text) {
    err << "qshe-tool: cannot read " << jsonPath << ": " << ReadProblemText(problem) << "\n";
    return 1;
  }
  SheetData data;
  if (std::string failed = ParseSheet(text->bytes(), jsonPath, data); !failed.empty()) {
    err << "qshe-tool: " << failed << "\n";
    return 1;
  }
  text.reset();
  // The picture's size from its header first: a picture too large for its
  // cells is refused before the file is read.
  auto head = ReadFilePrefix(sheetPath, kPngHeaderBytes, &problem);
  if (!head) {
    err << "qshe-tool: cannot read " << sheetPath << ": " << ReadProblemText(problem) << "\n";
    return 1;
  }
  int64_t width = 0, height = 0;
  if (!IsPng(head->bytes())) {
    err << "qshe-tool: " << sheetPath << " is not a PNG picture\n";
    return 1;
  }
  if (!ReadPngSize(head->bytes(), width, height)) {
    err << "qshe-tool: " << sheetPath << " is damaged: it ends inside its header\n";
    return 1;
  }
  if (std::string failed = CheckSheetSize(data, width, height, jsonPath, sheetPath); !failed.empty()) {
    err << "qshe-tool: " << failed << "\n";
    return 1;
  }
  auto png = ReadWholeFile(sheetPath, SheetFileLimit(width, height), &problem);
  if (!png) {
    err << "qshe-tool: cannot read " << sheetPath << ": " << ReadProblemText(problem) << "\n";
    return 1;
  }
  DecodedSheet sheet = CutSheet(data, png->bytes(), palette, jsonPath, sheetPath);
  png.reset();
  if (!sheet.problem.empty()) {
    err << "qshe-tool: " << sheet.problem << "\n";
    return 1;
  }
  return WriteShapeFiles(shapePath, sheet.shapes, sheet.objectFile, err, sheet.format) ? 0 : 1;
}

}  // namespace

DecodedSheet DecodeSheet(std::span<const uint8_t> json, std::span<const uint8_t> png, const GamePalette& palette,
                         const std::string& jsonName, const std::string& sheetName) {
  SheetData data;
  if (std::string problem = ParseSheet(json, jsonName, data); !problem.empty()) return Failed(problem);
  if (!IsPng(png)) return Failed(sheetName + " is not a PNG picture");
  int64_t width = 0, height = 0;
  if (ReadPngSize(png, width, height)) {
    if (std::string problem = CheckSheetSize(data, width, height, jsonName, sheetName); !problem.empty())
      return Failed(problem);
  }
  return CutSheet(data, png, palette, jsonName, sheetName);
}

std::optional<int> SheetCommand(const std::vector<std::string>& args, std::ostream& err) {
  if (args.empty() || (args[0] != "export" && args[0] != "import")) return std::nullopt;
  const bool exporting = args[0] == "export";
  int columns = 0, padding = 0;
  std::string palettePath;
  std::vector<std::string> names;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (exporting && (a == "--columns" || a == "--padding") && i + 1 < args.size()) {
      const bool isColumns = a == "--columns";
      auto v = isColumns ? ParseCount(args[++i], 1, kShapeListCapacity) : ParseCount(args[++i], 0, kMaxPadding);
      if (!v) {
        err << "qshe-tool: " << a << " needs a number from " << (isColumns ? 1 : 0) << " to "
            << (isColumns ? kShapeListCapacity : kMaxPadding) << "\n";
        return 2;
      }
      (isColumns ? columns : padding) = *v;
    } else if (a == "--palette" && i + 1 < args.size()) {
      palettePath = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return std::nullopt;
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 2) return std::nullopt;
  return exporting ? Export(names, columns, padding, palettePath, err) : Import(names, palettePath, err);
}

}  // namespace qshe::tool
