#include "app/commands.h"

#include <set>
#include <string>
#include <vector>

#include "app/canvas_routing.h"
#include "app/color_panel.h"
#include "app/command_table.h"
#include "app/dialog_routing.h"
#include "app/help_window.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "app/navigation.h"
#include "app/onion_commands.h"
#include "app/picture_import_routing.h"
#include "app/program_dir.h"
#include "app/recent_files.h"
#include "app/recovery.h"
#include "app/selection_commands.h"
#include "app/shape_browser.h"
#include "app/status_line.h"
#include "app/title_slider.h"
#include "app/view_commands.h"
#include "document/document_commands.h"
#include "document/object_file.h"
#include "document/presets.h"
#include "interchange/import_dialogs.h"
#include "interchange/picture_commands.h"
#include "platform/messages.h"
#include "properties/properties_window.h"
#include "properties/shape_dialogs.h"

namespace qshe {
namespace {

// Commands whose work is in place. The WALL preset has no values, so its
// entry stays greyed: an entry that does nothing should look so.
const std::set<int>& Available() {
  static const std::set<int> ids = {
      kCmdNew,          kCmdOpen,          kCmdSave,         kCmdSaveAs,        kCmdExit,
      kCmdRevertShape,  kCmdRemoveShape,   kCmdNextShape,    kCmdPreviousShape, kCmdForward8,
      kCmdBackward8,    kCmdImportQbj,     kCmdPresetFloors, kCmdPresetItem,    kCmdPresetItem2,
      kCmdDefaultQs2Numbering, kCmdChangeBackground, kCmdChangePencilSize, kCmdHelp, kCmdAbout,
      kCmdPencil,       kCmdEraser,        kCmdHand,         kCmdEyedropper,    kCmdSelect,
      kCmdBucket,       kCmdUndo,          kCmdRedo,
      kCmdAllColors,    kCmdQuorvaneColors, kCmdBadgeColor,  kCmdBootColors,    kCmdBracerColors,
      kCmdCapeColors,   kCmdEyeColor,      kCmdFurColors,    kCmdHairColors,    kCmdMarkingColors,
      kCmdTrouserColors, kCmdVestColors,   kCmdForeToBack,
      kCmdZoomIn,       kCmdZoomOut,       kCmdCenterView,   kCmdSecondView,    kCmdGridWhileZooming,
      kCmdPanLeft,      kCmdPanRight,      kCmdPanUp,        kCmdPanDown,
      kCmdShapeProperties, kCmdAddShapes,  kCmdSwapWith,     kCmdJumpWindow,
      kCmdImportSingle, kCmdExportBitmap, kCmdImportMultiple, kCmdImportCollage,
      kCmdImportSingleWithSettings,
      kCmdWindowScale1, kCmdWindowScale2,  kCmdWindowScale3, kCmdWindowScale4,  kCmdWindowLarger,
      kCmdWindowSmaller, kCmdShapePosition, kCmdTavrelPosition, kCmdPositionSettings,
      kCmdCut,          kCmdCopy,          kCmdPaste,        kCmdSelectAll,     kCmdDelete,
      kCmdFlipHorizontal, kCmdFlipVertical,
      kCmdLine,         kCmdRectangle,     kCmdEllipse,      kCmdFilledRectangles, kCmdFilledEllipses,
      kCmdCancelFigure,
      kCmdAnimation,    kCmdOnionSkin,     kCmdOnionPrevious, kCmdOnionNext,    kCmdOnionBoth,
      kCmdFirstShape,   kCmdLastShape,     kCmdClearRecent,
      kCmdShapesWindow, kCmdDuplicateShape, kCmdExportSelected,
  };
  return ids;
}

// After New and Open everything is shown afresh.
void ShowWholeDocument(Editor& e) {
  RedrawScreen(e);
  PresentWindow(e);
  RefreshShapesWindow(e);
}

void MoveBy(Editor& e, int step) {
  int target = MoveTarget(e.doc.list.current, e.doc.list.count, step);
  ShowShape(e.doc, e.canvas, target, true, e.doc.list.current);
  RefreshShapeViews(e);
}

void ChooseTool(Editor& e, int tool) {
  ToolMouseUp(e);
  SwitchFigureFormIfCurrent(e.tools, tool);
  SetToolState(e, tool, e.view.backgroundType, e.tools.pencilSize);
  ToolMouseMove(e, e.window.lastMouseX, e.window.lastMouseY, false);
}

// Filled Rectangles and Filled Ellipses: the other form, and the tool that
// draws it.
void ChooseOtherForm(Editor& e, int tool) {
  ToolMouseUp(e);
  bool& filled = tool == kRectangleTool ? e.tools.filledRectangle : e.tools.filledEllipse;
  filled = !filled;
  SetToolState(e, tool, e.view.backgroundType, e.tools.pencilSize);
  ToolMouseMove(e, e.window.lastMouseX, e.window.lastMouseY, false);
}

// A view command from the menu or a key ends as the toolbar's do: the
// buttons drawn as they now stand and the whole window presented.
void RunViewCommand(Editor& e, void (*command)(Editor&)) {
  command(e);
  DrawAllToolButtons(e);
  PresentWindow(e);
}

void ScaleWindow(Editor& e, int scale, int step) {
  if (e.window.scaleWindow) e.window.scaleWindow(scale, step);
}

void About(Editor& e) {
  e.ui().boxes.ShowMessageBox(
      {"QSH Editor 1.04\n\nAn editor for the shape files of Quorvane: QSH and QS2 files with their "
       "QBJ object properties.\n\nThe tools, keys and files are described in \"" + HelpPath(e) +
           "\" (Help > Help...).",
       platform::kCaption, platform::Icon::Information, platform::Buttons::Ok, platform::Owner::MainWindow});
}

void RevertCurrentShape(Editor& e) {
  BeginEditorStep(e, "Revert Shape " + std::to_string(e.doc.list.current));
  const bool reverted = RevertShape(e.doc, e.canvas, e.history, e.ui());
  EndEditorStep(e);
  ShowCanvas(e);
  RefreshPositionWindows(e);
  // A revert that failed leaves what was typed alone.
  if (reverted) CallHook(e.doc.hooks.fillPropertiesWindow);
}

// A No changes nothing, not even the painting not yet committed; a Yes takes
// the shape away (its painting with it, so Undo brings both back) and shows
// the next one. The only shape of a document is emptied instead.
void RemoveCurrentShape(Editor& e) {
  if (!platform::AskYesNo(e.ui().boxes, "Permanently remove this shape?")) return;
  ShapeList& list = e.doc.list;
  const int32_t index = list.current;
  BeginEditorStep(e, "Remove Shape " + std::to_string(index));
  if (list.count > 1) {
    RemoveShapes(e.history, list, index, 1);
  } else {
    ReplaceShapes(e.history, list, index, std::vector<Shape>(1));
  }
  if (list.current >= list.count) list.current = 0;
  EndEditorStep(e);
  RefreshShapeViews(e);
  CallHook(e.doc.hooks.fillPropertiesWindow);
}

// The QBJ import, the presets and the QS2 numbering change fields and flags
// in place: each is one step.
template <typename Command>
void FieldsCommand(Editor& e, const char* name, Command command) {
  BeginEditorStep(e, name);
  command();
  EndEditorStep(e);
}

}  // namespace

const ColorMatcher& GameColors(Editor& e) {
  if (e.window.colorMatcher.palette() != e.window.gamePalette) e.window.colorMatcher = ColorMatcher(e.window.gamePalette);
  return e.window.colorMatcher;
}

int MoveTarget(int current, int count, int step) {
  if (count < 1) return 0;
  int target = (current + step) % count;
  return target < 0 ? target + count : target;
}

void RefreshShapeViews(Editor& e) {
  ShowCanvas(e);
  DrawShapeSlider(e);
  PresentShapeSlider(e);
  RefreshPositionWindows(e);
  RefreshShapesWindow(e);
}

bool CommandAvailable(int menuId) { return Available().count(menuId) != 0; }

void UpdateMenuAvailability(Editor& e) {
  for (int id : MenuCommandIds()) e.desktop.menus.SetMenuEnabled(id, CommandAvailable(id));
  UpdateHistoryMenu(e);
}

void RunButtonCommand(Editor& e, int button) {
  switch (button) {
    case 6: CenterView(e); break;
    case 7: SecondView(e); break;
    case 8: ZoomIn(e); break;
    case 9: ZoomOut(e); break;
    case 19: MoveBy(e, 1); break;
    case 20: MoveBy(e, -1); break;
    case 21: MoveBy(e, 8); break;
    case 22: MoveBy(e, -8); break;
    default: break;
  }
}

void RunCommand(Editor& e, int identifier) {
  // The recent files come and go with the list; they are not in the table.
  const int recent = (identifier & 0xFFFF) - kCmdRecentFile0;
  if (recent >= 0 && recent < static_cast<int>(kMaxRecentFiles)) {
    OpenRecentFile(e, static_cast<size_t>(recent));
    ShowWholeDocument(e);
    return;
  }
  auto id = MenuIdFor(identifier);
  if (!id || !CommandAvailable(*id)) return;
  platform::Platform& ui = e.ui();
  // Imported object properties and presets move the figure too.
  auto refresh = [&e] {
    CallHook(e.doc.hooks.fillPropertiesWindow);
    RefreshPositionWindows(e);
  };
  switch (*id) {
    case kCmdNew:
      NewDocument(e.doc, e.canvas, ui);
      ShowWholeDocument(e);
      break;
    case kCmdOpen:
      OpenDocument(e.doc, e.canvas, ui);
      ShowWholeDocument(e);
      break;
    case kCmdSave: SaveDocument(e.doc, e.canvas, ui); break;
    case kCmdSaveAs: SaveDocumentAs(e.doc, e.canvas, ui); break;
    case kCmdImportSingle: ImportPictureCommand(e, false); break;
    case kCmdImportSingleWithSettings: ImportPictureCommand(e, true); break;
    case kCmdExportBitmap: ExportShapeAsBitmap(e.doc, e.canvas, ui, e.window.gamePalette); break;
    case kCmdExit:
      if (ConfirmDiscard(e.doc, e.canvas, ui)) {
        DiscardRecovery(e);
        e.desktop.control.Quit(0);
      }
      break;
    case kCmdRevertShape: RevertCurrentShape(e); break;
    case kCmdRemoveShape:
      // Several shapes selected in the Shapes window go together.
      if (TargetShapes(e).size() > 1) {
        RemoveShapesCommand(e);
      } else {
        RemoveCurrentShape(e);
      }
      break;
    case kCmdDuplicateShape: DuplicateShapesCommand(e); break;
    case kCmdExportSelected: ExportSelectedCommand(e); break;
    case kCmdNextShape: MoveBy(e, 1); break;
    case kCmdPreviousShape: MoveBy(e, -1); break;
    case kCmdForward8: MoveBy(e, 8); break;
    case kCmdBackward8: MoveBy(e, -8); break;
    case kCmdFirstShape: GoToShape(e, 0); break;
    case kCmdLastShape: GoToShape(e, e.doc.list.count - 1); break;
    case kCmdClearRecent: ClearRecentFiles(e); break;
    case kCmdImportQbj:
      FieldsCommand(e, "Import QBJ File", [&] { ImportObjectFile(e.doc, ui, refresh); });
      break;
    case kCmdPresetFloors:
      FieldsCommand(e, "Default FLOORS.QSH Properties",
                    [&] { PresetCommand(e.doc, ui.boxes, Preset::Floors, refresh); });
      break;
    case kCmdPresetItem:
      FieldsCommand(e, "Default ITEM.QSH Properties", [&] { PresetCommand(e.doc, ui.boxes, Preset::Item, refresh); });
      break;
    case kCmdPresetItem2:
      FieldsCommand(e, "Default ITEM2.QSH Properties",
                    [&] { PresetCommand(e.doc, ui.boxes, Preset::Item2, refresh); });
      break;
    case kCmdDefaultQs2Numbering:
      FieldsCommand(e, "Default QS2 Numbering", [&] { DefaultQS2NumberingCommand(e.doc, ui.boxes, refresh); });
      break;
    case kCmdPencil: ChooseTool(e, kPencil); break;
    case kCmdEraser: ChooseTool(e, kEraser); break;
    case kCmdHand: ChooseTool(e, kHand); break;
    case kCmdEyedropper: ChooseTool(e, kEyedropper); break;
    case kCmdSelect: ChooseTool(e, kSelect); break;
    case kCmdBucket: ChooseTool(e, kBucket); break;
    case kCmdLine: ChooseTool(e, kLineTool); break;
    case kCmdRectangle: ChooseTool(e, kRectangleTool); break;
    case kCmdEllipse: ChooseTool(e, kEllipseTool); break;
    case kCmdFilledRectangles: ChooseOtherForm(e, kRectangleTool); break;
    case kCmdFilledEllipses: ChooseOtherForm(e, kEllipseTool); break;
    case kCmdCancelFigure: CancelFigure(e); break;
    case kCmdUndo: UndoCommand(e); break;
    case kCmdRedo: RedoCommand(e); break;
    case kCmdCut: CutSelection(e); break;
    case kCmdCopy: CopySelection(e); break;
    case kCmdPaste: PasteClipboard(e); break;
    case kCmdSelectAll: SelectAll(e); break;
    case kCmdDelete: DeleteSelection(e); break;
    case kCmdFlipHorizontal: FlipCanvas(e, true); break;
    case kCmdFlipVertical: FlipCanvas(e, false); break;
    case kCmdZoomIn: RunViewCommand(e, ZoomIn); break;
    case kCmdZoomOut: RunViewCommand(e, ZoomOut); break;
    case kCmdCenterView: RunViewCommand(e, CenterView); break;
    case kCmdSecondView: RunViewCommand(e, SecondView); break;
    case kCmdChangeBackground:
      // Shows the toolbar with the new background itself.
      SetBackground(e, (e.view.backgroundType + 1) % 3);
      PresentWindow(e);
      break;
    case kCmdGridWhileZooming: ToggleGrid(e); break;
    case kCmdPanLeft: PanView(e, -1, 0); break;
    case kCmdPanRight: PanView(e, 1, 0); break;
    case kCmdPanUp: PanView(e, 0, 1); break;
    case kCmdPanDown: PanView(e, 0, -1); break;
    case kCmdChangePencilSize:
      SetToolState(e, e.tools.currentTool, e.view.backgroundType, (e.tools.pencilSize + 1) % 6);
      break;
    case kCmdShapeProperties: ShowModelessDialog(e, kPropertiesDialog); break;
    case kCmdAddShapes: ShowModelessDialog(e, kInsertDialog); break;
    case kCmdSwapWith: ShowModelessDialog(e, kSwapDialog); break;
    case kCmdJumpWindow: ShowModelessDialog(e, kJumpDialog); break;
    case kCmdImportMultiple: ShowModelessDialog(e, kImportFilesDialog); break;
    case kCmdImportCollage: ShowModelessDialog(e, kImportCollageDialog); break;
    case kCmdShapePosition: ShowModelessDialog(e, kShapePositionDialog); break;
    case kCmdTavrelPosition: ShowModelessDialog(e, kTavrelPositionDialog); break;
    case kCmdPositionSettings: ShowModelessDialog(e, kPositionSettingsDialog); break;
    case kCmdAnimation: ShowModelessDialog(e, kAnimationDialog); break;
    case kCmdOnionSkin: ToggleOnionSkin(e); break;
    case kCmdOnionPrevious: ChooseOnionSides(e, kOnionPrevious); break;
    case kCmdOnionNext: ChooseOnionSides(e, kOnionNext); break;
    case kCmdOnionBoth: ChooseOnionSides(e, kOnionBoth); break;
    case kCmdShapesWindow: ShowModelessDialog(e, kShapesDialog); break;
    case kCmdHelp: ShowHelp(e); break;
    case kCmdAbout: About(e); break;
    case kCmdWindowScale1:
    case kCmdWindowScale2:
    case kCmdWindowScale3:
    case kCmdWindowScale4: ScaleWindow(e, *id - kCmdWindowScale1 + 1, 0); break;
    case kCmdWindowLarger: ScaleWindow(e, 0, 1); break;
    case kCmdWindowSmaller: ScaleWindow(e, 0, -1); break;
    case kCmdBadgeColor: SetForeColorAndShow(e, 11); break;
    case kCmdEyeColor: SetForeColorAndShow(e, 50); break;
    case kCmdForeToBack: ForecolorToBackcolor(e); break;
    case kCmdAllColors:
    case kCmdQuorvaneColors:
    case kCmdBootColors:
    case kCmdBracerColors:
    case kCmdCapeColors:
    case kCmdFurColors:
    case kCmdHairColors:
    case kCmdMarkingColors:
    case kCmdTrouserColors:
    case kCmdVestColors: ChooseColorSet(e, *id); break;
    default: break;
  }
}

}  // namespace qshe
