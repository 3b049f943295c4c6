#include "app/dropped_files.h"

#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "app/picture_import_routing.h"
#include "app/recovery.h"
#include "app/shape_browser.h"
#include "app/status_line.h"
#include "document/document_commands.h"
#include "document/file_io.h"
#include "interchange/picture_imports.h"

namespace qshe {

bool IsPictureFileName(const std::string& path) {
  return EndsWithNoCase(path, ".bmp") || EndsWithNoCase(path, ".png");
}

bool IsDroppedPicture(const std::string& path) { return IsPictureFileName(path) || IsPictureFile(path); }

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
  EndShapeImport(e, count);
  ui.window.SetCursor(platform::Cursor::Arrow);
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
