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

const platform::DialogResource& ImportFilesDialog() {
  static const platform::DialogResource resource{
      kImportFilesDialog,
      "Import Files",
      232,
      210,
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
          {kNoControl, K::GroupBox, "Misc", 6, 135, 220, 44, {}},
          {kFilesTransparent, K::CheckBox, "&Automatically convert the background transparent", 28, 147, 186, 9,
           {}},
          {kFilesCenter, K::CheckBox, "&Set the position coordinates to center the image(s)", 28, 160, 186, 13,
           {}},
          {kFilesImport, K::DefaultButton, "&Import", 122, 189, 50, 14, {}},
          {kCancelButton, K::Button, "&Cancel", 176, 189, 50, 14, {}},
      }};
  return resource;
}

const platform::DialogResource& ImportCollageDialog() {
  static const platform::DialogResource resource{
      kImportCollageDialog,
      "Import picture collage",
      232,
      191,
      {
          {kNoControl, K::GroupBox, "File", 6, 3, 219, 61, {}},
          {kNoControl, K::Label, "Import this file (The file may only be \"Pellory Scan\" -styled PCX-file):", 22,
           16, 166, 25, {}},
          {kCollageFile, K::Edit, "", 28, 42, 166, 12, {}},
          {kCollageBrowse, K::Button, "...", 193, 42, 15, 12, {}},
          {kNoControl, K::GroupBox, "Import definitions", 6, 67, 219, 65, {}},
          {kCollageMode, K::DropDownList, "", 28, 80, 182, 84, ImportModeNames()},
          {kNoControl, K::Label, "Paste the imported shape(s)", 28, 101, 97, 8, {}},
          {kCollagePlacement, K::DropDownList, "", 27, 111, 182, 78, PlacementModeNames()},
          {kNoControl, K::GroupBox, "Misc", 6, 135, 219, 26, {}},
          {kCollageCenter, K::CheckBox, "&Force position coordinates to center the image(s)", 28, 144, 186, 13, {}},
          {kCollageImport, K::DefaultButton, "&Import", 121, 170, 50, 14, {}},
          {kCancelButton, K::Button, "&Cancel", 175, 170, 50, 14, {}},
      }};
  return resource;
}

namespace {

bool IsFiles(int dialog) { return dialog == kImportFilesDialog; }

}  // namespace

void ShowImportDialog(platform::DialogHost& host, int dialog) {
  if (!host.DialogExists(dialog)) {
    host.CreateDialog(IsFiles(dialog) ? ImportFilesDialog() : ImportCollageDialog());
    if (IsFiles(dialog)) host.SetItemChecked(dialog, kFilesTransparent, true);
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

bool ReadTransparency(platform::DialogHost& host) { return host.ItemChecked(kImportFilesDialog, kFilesTransparent); }

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
    request.filters = {{"Pellory Scan PCX files (*.pcx)", "*.pcx"}, {"All Files (*.*)", "*.*"}};
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
