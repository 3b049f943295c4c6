#include "interchange/import_dialogs.h"

#include "interchange/bitmap_import.h"

namespace qshe {

using K = platform::ControlKind;
using platform::kCancelButton;
using platform::kNoControl;

const std::vector<std::string>& ImportModeNames() {
  static const std::vector<std::string> names = {"Add new shapes", "Replace old shapes"};
  return names;
}

const std::vector<std::string>& PlacementModeNames() {
  static const std::vector<std::string> names = {"Starting from current shape", "After current shape",
                                                 "Before current shape", "To the beginning", "To the end"};
  return names;
}

const std::vector<std::string>& SheetColorNames() {
  static const std::vector<std::string> names = {"game colours (as stored)", "Match to the game palette"};
  return names;
}

const platform::DialogResource& ImportFilesDialog() {
  static const platform::DialogResource resource{
      kImportFilesDialog,
      "Import Files",
      232,
      242,
      {
          {kNoControl, K::GroupBox, "File definition", 6, 3, 220, 61, {}},
          {kNoControl, K::Label,
           "Insert file(s) from (may contain wildcards ? and *, ie. c:\\quorvpatch\\patch*.bmp)", 22, 16, 162,
           25, {}},
          {kFilesPattern, K::Edit, "", 28, 42, 166, 12, {}},
          {kFilesBrowse, K::Button, "...", 193, 42, 15, 12, {}},
          {kNoControl, K::GroupBox, "Import definitions", 6, 67, 220, 65, {}},
          {kFilesMode, K::DropDownList, "", 28, 80, 182, 84, ImportModeNames()},
          {kNoControl, K::Label, "Paste the imported shape(s)", 28, 101, 97, 8, {}},
          {kFilesPlacement, K::DropDownList, "", 27, 111, 182, 78, PlacementModeNames()},
          {kNoControl, K::GroupBox, "Misc", 6, 135, 220, 76, {}},
          {kNoControl, K::Label, "Transparency:", 28, 149, 56, 8, {}},
          {kFilesTransparency, K::DropDownList, "", 86, 147, 66, 60, TransparencyNames()},
          {kFilesColor, K::Edit, "", 156, 147, 54, 12, {}},
          {kNoControl, K::Label, "Colours:", 28, 166, 56, 8, {}},
          {kFilesMethod, K::DropDownList, "", 86, 164, 124, 60, ColorMethodNames()},
          {kFilesCenter, K::CheckBox, "&Set the position coordinates to center the image(s)", 28, 183, 186, 13,
           {}},
          {kFilesImport, K::DefaultButton, "&Import", 122, 221, 50, 14, {}},
          {kCancelButton, K::Button, "&Cancel", 176, 221, 50, 14, {}},
      }};
  return resource;
}

const platform::DialogResource& ImportCollageDialog() {
  static const platform::DialogResource resource{
      kImportCollageDialog,
      "Import picture collage",
      232,
      209,
      {
          {kNoControl, K::GroupBox, "File", 6, 3, 219, 61, {}},
          {kNoControl, K::Label, "Import this file (a \"Pellory Scan\" -styled sheet: PCX, BMP or PNG):", 22, 16,
           166, 25, {}},
          {kCollageFile, K::Edit, "", 28, 42, 166, 12, {}},
          {kCollageBrowse, K::Button, "...", 193, 42, 15, 12, {}},
          {kNoControl, K::GroupBox, "Import definitions", 6, 67, 219, 65, {}},
          {kCollageMode, K::DropDownList, "", 28, 80, 182, 84, ImportModeNames()},
          {kNoControl, K::Label, "Paste the imported shape(s)", 28, 101, 97, 8, {}},
          {kCollagePlacement, K::DropDownList, "", 27, 111, 182, 78, PlacementModeNames()},
          {kNoControl, K::GroupBox, "Misc", 6, 135, 219, 44, {}},
          {kNoControl, K::Label, "Sheet colours:", 28, 149, 56, 8, {}},
          {kCollageSheetColors, K::DropDownList, "", 86, 147, 124, 40, SheetColorNames()},
          {kCollageCenter, K::CheckBox, "&Force position coordinates to center the image(s)", 28, 162, 186, 13, {}},
          {kCollageImport, K::DefaultButton, "&Import", 121, 188, 50, 14, {}},
          {kCancelButton, K::Button, "&Cancel", 175, 188, 50, 14, {}},
      }};
  return resource;
}

namespace {

bool IsFiles(int dialog) { return dialog == kImportFilesDialog; }

}  // namespace

void ShowImportDialog(platform::DialogHost& host, int dialog, const ImportSettings& settings) {
  if (!host.DialogExists(dialog)) {
    host.CreateDialog(IsFiles(dialog) ? ImportFilesDialog() : ImportCollageDialog());
    if (IsFiles(dialog)) {
      const ColorChoice& c = settings.files;
      host.SetListSelection(dialog, kFilesTransparency, static_cast<int>(c.transparency));
      host.SetItemText(dialog, kFilesColor, HexColor(c.color));
      host.SetItemEnabled(dialog, kFilesColor, c.transparency == Transparency::ThisColor);
      host.SetListSelection(dialog, kFilesMethod, static_cast<int>(c.method));
    } else {
      host.SetListSelection(dialog, kCollageSheetColors, settings.matchSheet ? 1 : 0);
    }
  }
  host.ShowDialog(dialog);
}

ImportChoice ReadImportChoice(platform::DialogHost& host, int dialog) {
  const bool files = IsFiles(dialog);
  const int mode = host.ListSelection(dialog, files ? kFilesMode : kCollageMode);
  const int placement = host.ListSelection(dialog, files ? kFilesPlacement : kCollagePlacement);
  ImportChoice choice;
  if (mode == static_cast<int>(ImportMode::ReplaceOld)) choice.mode = ImportMode::ReplaceOld;
  if (placement > 0 && placement < static_cast<int>(PlacementModeNames().size()))
    choice.placement = static_cast<PlacementMode>(placement);
  choice.center = host.ItemChecked(dialog, files ? kFilesCenter : kCollageCenter);
  return choice;
}

ColorChoice ReadFilesColorChoice(platform::DialogHost& host, const ColorChoice& before) {
  ColorChoice c = before;
  const int transparency = host.ListSelection(kImportFilesDialog, kFilesTransparency);
  const int method = host.ListSelection(kImportFilesDialog, kFilesMethod);
  c.transparency = transparency > 0 && transparency < static_cast<int>(TransparencyNames().size())
                       ? static_cast<Transparency>(transparency)
                       : Transparency::Automatic;
  c.method = method > 0 && method < static_cast<int>(ColorMethodNames().size()) ? static_cast<ColorMethod>(method)
                                                                                : ColorMethod::Nearest;
  if (auto color = ParseHexColor(host.ItemText(kImportFilesDialog, kFilesColor))) c.color = *color;
  return c;
}

bool ReadSheetMatch(platform::DialogHost& host) { return host.ListSelection(kImportCollageDialog, kCollageSheetColors) == 1; }

void OnImportColorControl(platform::DialogHost& host, int dialog, const platform::DialogNotification& n) {
  if (dialog != kImportFilesDialog) return;
  const bool keyed = host.ListSelection(dialog, kFilesTransparency) == static_cast<int>(Transparency::ThisColor);
  if (n.control == kFilesTransparency && n.event == platform::DialogEvent::SelectionChanged) {
    host.SetItemEnabled(dialog, kFilesColor, keyed);
  }
  if (n.control == kFilesTransparency || n.control == kFilesColor) {
    const bool bad = keyed && !ParseHexColor(host.ItemText(dialog, kFilesColor));
    host.SetItemWarning(dialog, kFilesColor, bad ? ColorChoiceProblem(host, dialog, kFilesColor, kFilesTransparency) : "");
  }
}

std::string ReadImportPath(platform::DialogHost& host, int dialog) {
  // Whole: a path is as long as the file system allows.
  return host.ItemText(dialog, IsFiles(dialog) ? kFilesPattern : kCollageFile);
}

void BrowseImportFile(platform::DialogHost& host, platform::FileDialogs& files, int dialog) {
  platform::FileDialogRequest request;
  if (IsFiles(dialog)) {
    request.filters = PictureOpenFilters();
    request.defaultExtension = "bmp";
    request.title = "Choose a picture to import";
  } else {
    request.filters = {{"Sheets (*.pcx *.bmp *.png)", "*.pcx;*.bmp;*.png"},
                       {"Pellory Scan PCX files (*.pcx)", "*.pcx"},
                       {"All Files (*.*)", "*.*"}};
    request.defaultExtension = "pcx";
    request.title = "Choose a picture collage to import";
  }
  request.firstFilter = 0;
  request.maxLength = 510;
  request.fileMustExist = true;
  request.hideReadOnly = true;
  request.owner = platform::Owner::ActiveWindow;
  auto chosen = files.AskOpenFileName(request);
  if (chosen) host.SetItemText(dialog, IsFiles(dialog) ? kFilesPattern : kCollageFile, *chosen);
}

}  // namespace qshe
