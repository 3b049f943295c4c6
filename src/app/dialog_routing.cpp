#include "app/dialog_routing.h"

#include <string>

#include "app/animation_window.h"
#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/help_window.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "app/onion_commands.h"
#include "app/picture_import_routing.h"
#include "app/position_windows.h"
#include "app/shape_browser.h"
#include "app/status_line.h"
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
  if (*k > 0) {
    ShapeList& list = e.doc.list;
    BeginEditorStep(e, *k == 1 ? std::string("Add 1 Shape") : "Add " + std::to_string(*k) + " Shapes");
    if (auto place = PlaceAddedShapes(list, e.ui().boxes, *k, InsertPlace(host))) {
      InsertShapes(e.history, list, place->at, std::vector<Shape>(static_cast<size_t>(*k)));
      list.current = place->current;
    }
    EndEditorStep(e);
  }
  host.HideDialog(kInsertDialog);
  // The canvas keeps its picture; the current shape's number may have moved.
  RefreshShapeViews(e);
  CallHook(e.doc.hooks.fillPropertiesWindow);
}

void SwapShapes(Editor& e) {
  platform::DialogHost& host = e.desktop.dialogs;
  ShapeList& list = e.doc.list;
  auto k = TypedShapeNumber(host, kSwapDialog, kSwapNumber, list);
  if (!k) {
    platform::ShowError(e.ui().boxes, kNoSuchShape);
    return;
  }
  // The current shape keeps its number and shows the picture that came
  // from shape k.
  if (*k != list.current) {
    BeginEditorStep(e, "Swap Shape " + std::to_string(list.current) + " With " + std::to_string(*k));
    ExchangeShapes(e.history, list, list.current, *k);
    EndEditorStep(e);
  }
  RefreshShapeViews(e);
  CallHook(e.doc.hooks.fillPropertiesWindow);
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

// Import of either dialog: one step however many shapes it adds or
// replaces. The painting not yet committed goes into the current shape
// first, so showing it afresh afterwards loses nothing.
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
  const bool files = dialog == kImportFilesDialog;
  BeginEditorStep(e, files ? "Import Pictures" : "Import Picture Collage");
  ImportCount count;
  if (files) {
    count = ImportPictureFiles(e.history, e.doc, ui.boxes, GameColors(e), path, choice, settings.files);
  } else {
    // The window offers the sheet's colours only; a matched sheet takes the
    // nearest colours and its background as transparent.
    SheetColors colors;
    colors.match = settings.matchSheet;
    count = ImportCollage(e.history, e.doc, e.display, e.window.buffers.sheet, ui.boxes, path, choice, colors,
                          GameColors(e));
  }
  EndShapeImport(e, count);
  host.HideDialog(dialog);
  ui.window.SetCursor(platform::Cursor::Arrow);
}

// "Position X of Shape 12", "QBJ Properties", ...
std::string PropertiesStepName(const DialogNotification& n, int32_t shape) {
  const std::string of = " of Shape " + std::to_string(shape);
  if (n.event != DialogEvent::EditChanged && n.event != DialogEvent::Clicked) return "Shape Properties" + of;
  switch (n.control) {
    case kPropOffsetX: return "Position X" + of;
    case kPropOffsetY: return "Position Y" + of;
    case kPropReplacement: return "Replacement Number" + of;
    case kPropTavrelX: return "Tavrel Pos X" + of;
    case kPropTavrelY: return "Tavrel Pos Y" + of;
    case kPropSittable: return "Sittable" + of;
    case kPropGettable: return "Gettable" + of;
    case kPropWalkable: return "Walkable" + of;
    case kPropQs2Flag: return "QS2 Properties";
    case kPropQbjFlag: return "QBJ Properties";
    default: return "Shape Properties" + of;
  }
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
    case kAnimationDialog: ShowAnimationWindow(e); return;
    case kHelpDialog: ShowHelpWindow(e); return;
    case kShapesDialog: ShowShapesWindow(e); return;
    default: return;
  }
  host.ShowDialog(dialog);
}

void OnDialogEvent(Editor& e, const DialogNotification& n) {
  platform::DialogHost& host = e.desktop.dialogs;
  switch (n.dialog) {
    case kPropertiesDialog: {
      // Each box of each shape is a step; the digits typed into one join it.
      const int32_t shape = e.doc.list.current;
      const bool typing = n.event == DialogEvent::EditChanged;
      BeginShapeFieldsStep(e, shape, PropertiesStepName(n, shape),
                           typing ? MergeKey(MergeKind::PropertiesBox, static_cast<uint32_t>(n.control),
                                             static_cast<uint32_t>(shape))
                                  : 0);
      const PropertiesOutcome outcome = OnPropertiesNotification(host, e.properties, e.doc, n);
      EndEditorStep(e);
      // A typed offset or Tavrel position shows in the previews at once.
      if (outcome == PropertiesOutcome::ShapeChanged) {
        RefreshPositionWindows(e);
        RefreshOnionSkin(e);
      }
      break;
    }
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
    case kAnimationDialog: OnAnimationWindowEvent(e, n); break;
    case kPositionSettingsDialog:
      if (Clicked(n, kBackdropBrowse)) BrowseBackdropFile(host, e.ui().files);
      if (Clicked(n, kBackdropOk)) ApplyBackdropSettings(e);
      if (IsClose(n)) host.HideDialog(n.dialog);
      break;
    case kHelpDialog:
      if (IsClose(n)) host.HideDialog(n.dialog);
      break;
    case kShapesDialog: OnShapesWindowEvent(e, n); break;
    default: break;
  }
  UpdateStatusLine(e);
}

}  // namespace qshe
