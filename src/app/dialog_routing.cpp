#include "app/dialog_routing.h"

#include <string>

#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/picture_import_routing.h"
#include "app/position_windows.h"
#include "document/document_commands.h"
#include "interchange/import_dialogs.h"
#include "interchange/picture_imports.h"
#include "platform/messages.h"
#include "properties/positioning.h"
#include "properties/properties_window.h"
#include "properties/shape_dialogs.h"

namespace qshe {
namespace {

using platform::DialogEvent;
using platform::DialogNotification;

constexpr const char* kNoSuchShape = "No such shape.";

void InsertShapes(Editor& e) {
  platform::DialogHost& host = e.desktop.dialogs;
  auto k = InsertCount(host);
  if (!k) {
    // Nothing is added; the dialog stays so the number can be put right.
    platform::ShowError(e.ui().boxes, "Add 0 to " + std::to_string(kMaxInsertCount) + " shapes at a time.");
    return;
  }
  if (*k > 0 && AddShapes(e.doc.list, e.ui().boxes, *k, InsertPlace(host))) {
    e.doc.state.modified = kModified;
  }
  host.HideDialog(kInsertDialog);
  // The canvas keeps its picture; the current shape's number may have moved.
  RefreshShapeViews(e);
  CallHook(e.doc.hooks.fillPropertiesWindow);
}

void SwapShapes(Editor& e) {
  platform::DialogHost& host = e.desktop.dialogs;
  ShapeList& list = e.doc.list;
  CommitCanvas(e.doc, e.canvas, list.current, true);
  auto k = TypedShapeNumber(host, kSwapDialog, kSwapNumber, list);
  if (!k) {
    platform::ShowError(e.ui().boxes, kNoSuchShape);
    return;
  }
  if (*k != list.current) {
    SwapShapes(list, list.current, *k);
    e.doc.state.modified = kModified;
  }
  ShowShape(e.doc, e.canvas, list.current, false, 0);
  RefreshShapeViews(e);
  host.HideDialog(kSwapDialog);
}

void JumpTo(Editor& e) {
  auto k = TypedShapeNumber(e.desktop.dialogs, kJumpDialog, kJumpNumber, e.doc.list);
  if (!k) {
    platform::ShowError(e.ui().boxes, kNoSuchShape);
    return;
  }
  // The dialog stays open for the next jump.
  ShowShape(e.doc, e.canvas, *k, true, e.doc.list.current);
  RedrawScreen(e);
  PresentWindow(e);
  RefreshPositionWindows(e);
}

// Import of either dialog. The painting not yet committed goes into the
// current shape first, so reloading the canvas afterwards loses nothing.
void RunImport(Editor& e, int dialog) {
  platform::DialogHost& host = e.desktop.dialogs;
  platform::Platform& ui = e.ui();
  // A colour that cannot be read keeps the dialog open to put it right.
  if (dialog == kImportFilesDialog) {
    const std::string problem = ColorChoiceProblem(host, dialog, kFilesColor, kFilesTransparency);
    if (!problem.empty()) {
      platform::ShowError(ui.boxes, problem);
      return;
    }
  }
  ImportSettings& settings = RememberedImportSettings(e);
  if (dialog == kImportFilesDialog) {
    settings.files = ReadFilesColorChoice(host, settings.files);
  } else {
    settings.matchSheet = ReadSheetMatch(host);
  }
  WriteImportSettings(ui.settings, settings);
  ui.window.SetCursor(platform::Cursor::Wait);
  const ImportChoice choice = ReadImportChoice(host, dialog);
  const std::string path = ReadImportPath(host, dialog);
  CommitCanvas(e.doc, e.canvas, e.doc.list.current, true);
  e.window.canvasChanged = 0;
  if (dialog == kImportFilesDialog) {
    ImportPictureFiles(e.doc, e.canvas, ui.boxes, GameColors(e), path, choice, settings.files);
  } else {
    // The window offers the sheet's colours only; matched sheets take the
    // nearest colours and their background as transparent.
    SheetColors colors;
    colors.match = settings.matchSheet;
    ImportCollage(e.doc, e.display, e.window.buffers.sheet, ui.boxes, path, choice, colors, GameColors(e));
  }
  ShowShape(e.doc, e.canvas, e.doc.list.current, false, 0);
  // The count and perhaps the current shape's picture have changed.
  RefreshShapeViews(e);
  host.HideDialog(dialog);
  ui.window.SetCursor(platform::Cursor::Arrow);
}

bool IsClose(const DialogNotification& n) {
  return n.event == DialogEvent::Close || (n.event == DialogEvent::Clicked && n.control == platform::kCancelButton);
}

bool Clicked(const DialogNotification& n, int control) {
  return n.event == DialogEvent::Clicked && n.control == control;
}

}  // namespace

void ShowModelessDialog(Editor& e, int dialog) {
  platform::DialogHost& host = e.desktop.dialogs;
  switch (dialog) {
    case kPropertiesDialog: ShowPropertiesWindow(host, e.properties, e.doc); return;
    case kInsertDialog: host.CreateDialog(InsertShapesDialog()); break;
    case kSwapDialog: host.CreateDialog(SwapShapesDialog()); break;
    case kJumpDialog:
      host.CreateDialog(JumpToDialog());
      host.SetItemText(kJumpDialog, kJumpNumber, std::to_string(e.doc.list.current));
      break;
    case kImportFilesDialog:
    case kImportCollageDialog: ShowImportDialog(host, dialog, RememberedImportSettings(e)); return;
    case kShapePositionDialog:
    case kTavrelPositionDialog: ShowPositionWindow(e, dialog); return;
    case kPositionSettingsDialog: host.CreateDialog(PositionSettingsDialog()); break;
    default: return;
  }
  host.ShowDialog(dialog);
}

void OnDialogEvent(Editor& e, const DialogNotification& n) {
  platform::DialogHost& host = e.desktop.dialogs;
  switch (n.dialog) {
    case kPropertiesDialog:
      // A typed offset or Tavrel position shows in the previews at once.
      if (OnPropertiesNotification(host, e.properties, e.doc, n) == PropertiesOutcome::ShapeChanged) {
        RefreshPositionWindows(e);
      }
      break;
    case kInsertDialog:
      if (Clicked(n, kInsertAddButton)) InsertShapes(e);
      if (IsClose(n)) host.HideDialog(n.dialog);
      break;
    case kSwapDialog:
      if (Clicked(n, kSwapButton)) SwapShapes(e);
      if (IsClose(n)) host.HideDialog(n.dialog);
      break;
    case kJumpDialog:
      if (Clicked(n, kJumpButton)) JumpTo(e);
      if (IsClose(n)) host.HideDialog(n.dialog);
      break;
    case kImportFilesDialog:
    case kImportCollageDialog:
      if (Clicked(n, n.dialog == kImportFilesDialog ? kFilesBrowse : kCollageBrowse)) {
        BrowseImportFile(host, e.ui().files, n.dialog);
      }
      if (Clicked(n, n.dialog == kImportFilesDialog ? kFilesImport : kCollageImport)) RunImport(e, n.dialog);
      OnImportColorControl(host, n.dialog, n);
      if (IsClose(n)) host.HideDialog(n.dialog);
      break;
    case kImportPictureDialog: OnImportPictureWindowEvent(e, n); break;
    case kShapePositionDialog:
    case kTavrelPositionDialog: OnPositionWindowEvent(e, n); break;
    case kPositionSettingsDialog:
      if (Clicked(n, kBackdropBrowse)) BrowseBackdropFile(host, e.ui().files);
      if (Clicked(n, kBackdropOk)) ApplyBackdropSettings(e);
      if (IsClose(n)) host.HideDialog(n.dialog);
      break;
    default: break;
  }
}

}  // namespace qshe
