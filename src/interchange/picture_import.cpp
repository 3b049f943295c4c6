#include "interchange/picture_import.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "editing/canvas_view.h"
#include "interchange/bitmap_import.h"
#include "platform/messages.h"

namespace qshe {

using K = platform::ControlKind;
using platform::DialogEvent;

const std::vector<std::string>& TransparencyNames() {
  static const std::vector<std::string> names = {"Automatic", "None", "This colour"};
  return names;
}

const std::vector<std::string>& ColorMethodNames() {
  static const std::vector<std::string> names = {"Nearest colour", "Ordered dither", "Error diffusion"};
  return names;
}

namespace {

constexpr int kLargeLeft = kPreviewMargin + kSmallPreviewSide + kPreviewMargin;
constexpr int kWindowWidth = kLargeLeft + kLargePreviewSide + kPreviewMargin;
constexpr int kWindowHeight = kPreviewMargin + kLargePreviewSide + kPreviewMargin;
// The choices' column, below the small preview.
constexpr int kColumn = kPreviewMargin;
constexpr int kColumnWidth = kSmallPreviewSide;
constexpr int kChoicesTop = kPreviewMargin + kSmallPreviewSide + 10;
constexpr int kCheckerCell = 8;

constexpr const char* kColorHint = "Type the colour as #rrggbb, or click it in a preview.";

std::string FileName(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

template <typename E>
E FromList(int position, int count) {
  return static_cast<E>(position > 0 && position < count ? position : 0);
}

// One preview: `side` x `side` pixels of the canvas view's background with
// the result at its top-left corner, each pixel a zoom x zoom block.
void DrawPreview(const PictureImport& state, int side, int zoom, int32_t background, std::vector<uint8_t>& image) {
  image.assign(static_cast<size_t>(side) * static_cast<size_t>(side), kPlainBackground);
  for (int top = 0; top < side; ++top) {
    uint8_t* row = image.data() + static_cast<size_t>(side - 1 - top) * static_cast<size_t>(side);
    if (background == 1) {
      for (int x = 0; x < side; ++x) row[x] = ((x / kCheckerCell + top / kCheckerCell) & 1) ? kCheckerDark : kCheckerLight;
    } else if (background == 2) {
      std::memset(row, kContrastBackground, static_cast<size_t>(side));
    }
  }
  const int w = state.picture.width, h = state.picture.height;
  if (state.result.size() < static_cast<size_t>(w) * static_cast<size_t>(h)) return;
  for (int top = 0; top < h && top * zoom < side; ++top) {
    const uint8_t* from = state.result.data() + static_cast<size_t>(h - 1 - top) * static_cast<size_t>(w);
    for (int k = 0; k < zoom && top * zoom + k < side; ++k) {
      uint8_t* row = image.data() + static_cast<size_t>(side - 1 - (top * zoom + k)) * static_cast<size_t>(side);
      for (int x = 0; x < w && x * zoom < side; ++x) {
        if (from[x] == 0) continue;
        for (int d = 0; d < zoom && x * zoom + d < side; ++d) row[x * zoom + d] = from[x];
      }
    }
  }
}

void Present(platform::DialogHost& host, int control, const std::vector<uint8_t>& image, int side,
             const std::array<uint8_t, 1024>& table) {
  platform::WindowSurface* surface = host.ItemSurface(kImportPictureDialog, control);
  if (!surface || image.size() < static_cast<size_t>(side) * static_cast<size_t>(side)) return;
  platform::IndexedImage shown{side, side, side, image.data(), table.data(), platform::ColorUsage::RgbColors};
  const platform::Rect all{0, side - 1, 0, side - 1};
  surface->Present(shown, all, all);
}

std::string InfoText(const PictureImport& state) {
  if (state.path.empty()) return {};
  return FileName(state.path) + ": " + std::to_string(state.picture.width) + " x " +
         std::to_string(state.picture.height) + " pixels.\nAutomatic: " + AutomaticRuleText(state.picture) + ".";
}

// The colour that "This colour" starts from when none was typed: the one
// the picture's bottom-right pixel shows.
platform::Rgb CornerColor(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  const size_t i = static_cast<size_t>(picture.width) - 1;
  const uint8_t* c =
      picture.indexed ? picture.palette.data() + 3 * picture.pixels[i] : picture.pixels.data() + 4 * i;
  return {c[0], c[1], c[2]};
}

}  // namespace

const platform::DialogResource& ImportPictureDialog() {
  static const platform::DialogResource resource{
      kImportPictureDialog,
      "Import picture",
      kWindowWidth,
      kWindowHeight,
      {
          {kPictureSmall, K::Surface, "", kPreviewMargin, kPreviewMargin, kSmallPreviewSide, kSmallPreviewSide, {}},
          {kPictureLarge, K::Surface, "", kLargeLeft, kPreviewMargin, kLargePreviewSide, kLargePreviewSide, {}},
          {kPictureTransparencyLabel, K::Label, "Transparency:", kColumn, kChoicesTop, kColumnWidth, 15, {}},
          {kPictureTransparency, K::DropDownList, "", kColumn, kChoicesTop + 18, 140, 24, TransparencyNames()},
          {kPictureColor, K::Edit, "", kColumn + 146, kChoicesTop + 18, kColumnWidth - 146, 24, {}},
          {kPictureMethodLabel, K::Label, "Colours:", kColumn, kChoicesTop + 50, kColumnWidth, 15, {}},
          {kPictureMethod, K::DropDownList, "", kColumn, kChoicesTop + 68, kColumnWidth, 24, ColorMethodNames()},
          {kPictureAlways, K::CheckBox, "&Always use these settings", kColumn, kChoicesTop + 102, kColumnWidth, 20,
           {}},
          {kPictureInfo, K::Label, "", kColumn, kChoicesTop + 128, kColumnWidth, 78, {}},
          {kPictureImport, K::DefaultButton, "&Import", kColumn + kColumnWidth - 164, kWindowHeight - 8 - 26, 78, 26,
           {}},
          {platform::kCancelButton, K::Button, "&Cancel", kColumn + kColumnWidth - 78, kWindowHeight - 8 - 26, 78,
           26, {}},
      },
      true};
  return resource;
}

void ReadImportSettings(platform::SettingsStore& store, ImportSettings& settings) {
  if (settings.read) return;
  settings.read = true;
  const auto root = platform::SettingsRoot::CurrentUser;
  auto read = [&](const char* name) { return store.ReadText(root, kImportSettingsKey, name); };
  auto choice = [&](const char* transparency, const char* colour, const char* dither, ColorChoice& c) {
    if (auto v = read(colour)) {
      if (auto rgb = ParseHexColor(*v)) c.color = *rgb;
    }
    if (auto v = read(transparency)) {
      ColorChoice parsed = c;
      if (ParseTransparencyWord(*v, parsed)) c = parsed;
    }
    if (auto v = read(dither)) {
      if (auto m = ParseDitherWord(*v)) c.method = *m;
    }
  };
  choice("Transparency", "Colour", "Dither", settings.picture);
  choice("FilesTransparency", "FilesColour", "FilesDither", settings.files);
  settings.alwaysUse = read("AlwaysUse").value_or("0") == "1";
  settings.matchSheet = read("SheetColours").value_or("stored") == "match";
}

void WriteImportSettings(platform::SettingsStore& store, const ImportSettings& settings) {
  const auto root = platform::SettingsRoot::CurrentUser;
  auto write = [&](const char* name, const std::string& value) { store.WriteText(root, kImportSettingsKey, name, value); };
  write("Transparency", TransparencyWord(settings.picture));
  write("Colour", HexColor(settings.picture.color));
  write("Dither", DitherWord(settings.picture.method));
  write("AlwaysUse", settings.alwaysUse ? "1" : "0");
  write("FilesTransparency", TransparencyWord(settings.files));
  write("FilesColour", HexColor(settings.files.color));
  write("FilesDither", DitherWord(settings.files.method));
  write("SheetColours", settings.matchSheet ? "match" : "stored");
}

bool ReadPictureForImport(PictureImport& state, platform::MessageBoxes& boxes, const std::string& path) {
  PictureFile file = ReadPictureFile(path);
  if (!file.opened) {
    platform::ShowError(boxes, "Can not read the picture: " + file.openError + " (" + path + ")");
    return false;
  }
  if (!file.result.ok()) {
    platform::ShowError(boxes, PictureErrorMessage(file.result, path));
    return false;
  }
  state.path = path;
  state.picture = std::move(file.result.picture);
  state.result.clear();
  return true;
}

void UpdatePictureResult(PictureImport& state, const ColorMatcher& colors, int32_t background) {
  state.result = ReduceColors(state.picture, colors, state.choice);
  DrawPreview(state, kSmallPreviewSide, 1, background, state.small);
  DrawPreview(state, kLargePreviewSide, 2, background, state.large);
}

void PaintPicturePreviews(platform::DialogHost& host, const PictureImport& state, const GamePalette& palette) {
  std::array<uint8_t, 1024> table{};
  for (size_t i = 0; i < 256; ++i) {
    table[4 * i] = palette[3 * i + 2];
    table[4 * i + 1] = palette[3 * i + 1];
    table[4 * i + 2] = palette[3 * i];
  }
  Present(host, kPictureSmall, state.small, kSmallPreviewSide, table);
  Present(host, kPictureLarge, state.large, kLargePreviewSide, table);
}

void ShowImportPictureWindow(platform::DialogHost& host, const PictureImport& state) {
  const int d = kImportPictureDialog;
  host.CreateDialog(ImportPictureDialog());
  host.SetDialogTitle(d, "Import picture - " + FileName(state.path));
  host.SetListSelection(d, kPictureTransparency, static_cast<int>(state.choice.transparency));
  host.SetListSelection(d, kPictureMethod, static_cast<int>(state.choice.method));
  host.SetItemText(d, kPictureColor, HexColor(state.choice.color));
  host.SetItemWarning(d, kPictureColor, {});
  host.SetItemEnabled(d, kPictureColor, state.choice.transparency == Transparency::ThisColor);
  host.SetItemChecked(d, kPictureAlways, state.alwaysUse);
  host.SetItemText(d, kPictureInfo, InfoText(state));
  host.ShowDialog(d);
}

std::optional<platform::Rgb> PreviewColorAt(const PictureImport& state, int control, int x, int y) {
  const int zoom = control == kPictureLarge ? 2 : 1;
  if (x < 0 || y < 0) return std::nullopt;
  const int column = x / zoom, top = y / zoom;
  const Picture& p = state.picture;
  if (column >= p.width || top >= p.height) return std::nullopt;
  const size_t i = static_cast<size_t>(p.height - 1 - top) * static_cast<size_t>(p.width) + static_cast<size_t>(column);
  const uint8_t* c = p.indexed ? p.palette.data() + 3 * p.pixels[i] : p.pixels.data() + 4 * i;
  return platform::Rgb{c[0], c[1], c[2]};
}

PictureWindowOutcome OnImportPictureEvent(platform::DialogHost& host, PictureImport& state,
                                          const platform::DialogNotification& n) {
  const int d = kImportPictureDialog;
  if (n.event == DialogEvent::Close || (n.event == DialogEvent::Clicked && n.control == platform::kCancelButton))
    return PictureWindowOutcome::Cancel;
  if (n.event == DialogEvent::Clicked && n.control == kPictureImport) return PictureWindowOutcome::Import;
  if (n.event == DialogEvent::Clicked && n.control == kPictureAlways) {
    state.alwaysUse = host.ItemChecked(d, kPictureAlways);
    return PictureWindowOutcome::Nothing;
  }
  const ColorChoice before = state.choice;
  if (n.event == DialogEvent::SelectionChanged && n.control == kPictureTransparency) {
    const int count = static_cast<int>(TransparencyNames().size());
    state.choice.transparency = FromList<Transparency>(host.ListSelection(d, kPictureTransparency), count);
    const bool keyed = state.choice.transparency == Transparency::ThisColor;
    host.SetItemEnabled(d, kPictureColor, keyed);
    if (keyed && !ParseHexColor(host.ItemText(d, kPictureColor))) {
      // Nothing usable typed yet: the colour in the picture's corner.
      state.choice.color = CornerColor(state.picture);
      host.SetItemText(d, kPictureColor, HexColor(state.choice.color));
    }
    if (keyed) host.SetItemWarning(d, kPictureColor, {});
  } else if (n.event == DialogEvent::SelectionChanged && n.control == kPictureMethod) {
    state.choice.method = FromList<ColorMethod>(host.ListSelection(d, kPictureMethod),
                                                static_cast<int>(ColorMethodNames().size()));
  } else if (n.event == DialogEvent::EditChanged && n.control == kPictureColor) {
    if (state.choice.transparency != Transparency::ThisColor) return PictureWindowOutcome::Nothing;
    auto color = ParseHexColor(host.ItemText(d, kPictureColor));
    host.SetItemWarning(d, kPictureColor, color ? std::string() : kColorHint);
    if (color) state.choice.color = *color;
  } else if (n.event == DialogEvent::MouseDown && n.button == 1 &&
             (n.control == kPictureSmall || n.control == kPictureLarge)) {
    auto color = PreviewColorAt(state, n.control, n.x, n.y);
    if (!color) return PictureWindowOutcome::Nothing;
    state.choice.transparency = Transparency::ThisColor;
    state.choice.color = *color;
    host.SetListSelection(d, kPictureTransparency, static_cast<int>(Transparency::ThisColor));
    host.SetItemEnabled(d, kPictureColor, true);
    host.SetItemWarning(d, kPictureColor, {});
    host.SetItemText(d, kPictureColor, HexColor(*color));
  }
  return state.choice == before ? PictureWindowOutcome::Nothing : PictureWindowOutcome::ChoiceChanged;
}

std::string ColorChoiceProblem(platform::DialogHost& host, int dialog, int colorControl, int listControl) {
  if (host.ListSelection(dialog, listControl) != static_cast<int>(Transparency::ThisColor)) return {};
  return ParseHexColor(host.ItemText(dialog, colorControl)) ? std::string() : kColorHint;
}

}  // namespace qshe
