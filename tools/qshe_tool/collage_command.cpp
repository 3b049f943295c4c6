// qshe-tool collage: every framed picture of a contact sheet into its own
// shape, all or nothing.
#include <memory>

#include "display/virtual_buffer.h"
#include "document/file_io.h"
#include "interchange/bitmap_import.h"
#include "interchange/bmp_codec.h"
#include "interchange/png_codec.h"
#include "interchange/picture_imports.h"
#include "picture_commands.h"
#include "shape_files.h"

namespace qshe::tool {
namespace {

// What the import would tell the user; for the tool, every one is a failure.
class CollectedMessages : public platform::MessageBoxes {
 public:
  std::vector<std::string> texts;
  platform::Answer ShowMessageBox(const platform::MessageBoxRequest& request) override {
    texts.push_back(request.text);
    return platform::Answer::Ok;
  }
};

}  // namespace

std::optional<int> CollageCommand(const std::vector<std::string>& args, std::ostream& err) {
  std::optional<int> at;
  ImportChoice choice;
  SheetColors colors;  // the background transparent, as always
  bool ditherGiven = false;
  std::optional<int> bad;
  std::string palettePath;
  std::vector<std::string> names;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--at" && i + 1 < args.size()) {
      if (!(at = ParseAtOption(args[++i], err))) return 2;
    } else if (a == "--replace") {
      choice.mode = ImportMode::ReplaceOld;
    } else if (a == "--center") {
      choice.center = true;
    } else if (a == "--match-colours") {
      colors.match = true;
    } else if (a == "--palette" && i + 1 < args.size()) {
      palettePath = args[++i];
    } else if (ParseColorOption(args, i, colors.colors, ditherGiven, bad, err)) {
      if (bad) return bad;
    } else if (a.size() > 1 && a[0] == '-' && names.empty()) {
      return std::nullopt;
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 2) return std::nullopt;
  if (ditherGiven && !colors.match) {
    err << "qshe-tool: --dither needs --match-colours; a sheet in game colours keeps its indices\n";
    return 2;
  }
  const std::string& shapePath = names[0];
  const std::string& sheetPath = names[1];

  // The game palette: what colours are matched to, and what colour a stored
  // index shows for --transparent #rrggbb.
  GamePalette palette{};
  // A PCX sheet in game colours needs none, as it never did; a BMP or PNG
  // sheet may have no colour table and be matched whatever the options.
  auto head = ReadFilePrefix(sheetPath, 8);
  const bool pictureSheet = head && (IsBmp(head->bytes()) || IsPng(head->bytes()));
  const bool needPalette = colors.match || pictureSheet || colors.colors.transparency == Transparency::ThisColor;
  if ((needPalette || !palettePath.empty()) && !LoadToolPalette(palettePath, palette, err)) return 1;
  const ColorMatcher matcher(palette);

  auto loaded = std::make_unique<Loaded>();
  const std::optional<int> first = LoadImportTarget(shapePath, at, *loaded, err);
  if (!first) return 1;

  // The editor's own import, on a document made of the file: the first shape
  // goes to `first` and the rest follow it.
  auto doc = std::make_unique<Document>();
  doc->list.slots = std::move(loaded->table);
  doc->list.count = loaded->result.count;
  doc->list.current = *first;
  choice.placement = PlacementMode::StartingFromCurrent;
  auto display = std::make_unique<DisplayState>();
  InitDisplay(*display);
  const int sheet = AllocBuffer(*display, kSheetWidth, kSheetHeight);
  CollectedMessages messages;
  History history;  // nothing is undone here; the import only goes through it
  const ImportCount n = ImportCollage(history, *doc, *display, sheet, messages, sheetPath, choice, colors,
                                      matcher);
  for (const std::string& text : messages.texts) err << "qshe-tool: " << text << "\n";
  if (!messages.texts.empty()) return 1;
  if (n.imported == 0) {
    err << "qshe-tool: " << sheetPath << " holds no framed pictures\n";
    return 1;
  }
  return WriteShapeFiles(shapePath, doc->list.Document(), loaded->hasObjectFile, err) ? 0 : 1;
}

}  // namespace qshe::tool
