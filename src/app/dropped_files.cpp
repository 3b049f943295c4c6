#include "app/dropped_files.h"

#include <algorithm>
#include <cctype>

#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "app/picture_import_routing.h"
#include "app/recovery.h"
#include "app/shape_browser.h"
#include "app/status_line.h"
#include "document/document_commands.h"
#include "interchange/picture_imports.h"

namespace qshe {
namespace {

bool EndsWith(const std::string& path, const char* ending) {
  const std::string e(ending);
  if (path.size() < e.size()) return false;
  return std::equal(e.begin(), e.end(), path.end() - static_cast<std::ptrdiff_t>(e.size()), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

bool IsPictureFileName(const std::string& path) { return EndsWith(path, ".bmp") || EndsWith(path, ".png"); }

bool IsDroppedPicture(const std::string& path) { return IsPictureFileName(path) || IsPictureFile(path); }

std::string ImportedPicturesText(int count) {
  return "Imported " + std::to_string(count) + (count == 1 ? " picture" : " pictures");
}

void ImportDroppedPictures(Editor& e, const std::vector<std::string>& paths) {
  platform::Platform& ui = e.ui();
  ui.window.SetCursor(platform::Cursor::Wait);
  ImportChoice choice;
  choice.mode = ImportMode::AddNew;
  choice.placement = PlacementMode::AfterCurrent;
  BeginEditorStep(e, "Import Pictures");
  // Each takes the colour choices the multiple-picture import remembers.
  const ColorChoice reduction = RememberedImportSettings(e).files;
  const ImportCount count = ImportPictureList(e.history, e.doc, ui.boxes, GameColors(e), paths, choice, reduction);
  EndEditorStep(e);
  CallHook(e.doc.hooks.fillPropertiesWindow);
  RefreshShapeViews(e);
  ui.window.SetCursor(platform::Cursor::Arrow);
  if (count.imported > 0) ShowStatusMessage(e, ImportedPicturesText(count.imported));
}

void OnFilesDropped(Editor& e, const std::vector<std::string>& paths) {
  std::vector<std::string> pictures;
  std::string document;
  for (const std::string& p : paths) {
    if (IsDroppedPicture(p)) {
      pictures.push_back(p);
    } else if (document.empty()) {
      document = p;
    }
  }
  // A document opens instead: pictures dropped with it would land in the
  // document it replaces.
  if (!document.empty()) {
    OpenNamedDocument(e.doc, e.canvas, e.ui(), document);
    RedrawScreen(e);
    PresentWindow(e);
    RefreshShapesWindow(e);
  } else if (pictures.size() == 1) {
    ImportPictureFile(e, pictures.front(), false);
  } else if (!pictures.empty()) {
    ImportDroppedPictures(e, pictures);
  }
  RecoveryAfterCommand(e);
  UpdateStatusLine(e);
}

}  // namespace qshe
