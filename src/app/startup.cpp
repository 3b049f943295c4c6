#include "app/startup.h"

#include "app/canvas_routing.h"
#include "app/color_panel.h"
#include "app/command_table.h"
#include "app/commands.h"
#include "app/dialog_routing.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "app/onion_commands.h"
#include "app/preferences.h"
#include "app/program_dir.h"
#include "app/recent_files.h"
#include "app/recovery.h"
#include "app/selection_commands.h"
#include "app/shape_browser.h"
#include "app/status_line.h"
#include "app/title_slider.h"
#include "app/view_commands.h"
#include "document/document_commands.h"
#include "document/shape_file.h"

namespace qshe {

void InstallHooks(Editor& e) {
  e.doc.showTitle = [&e](const std::string& name) { SetDocumentTitle(e, name); };
  e.doc.hooks.resetView = [&e] { ResetView(e); };
  e.doc.hooks.canvasLoaded = [&e] { SetPaintingBase(e.history, e.canvas); };
  e.doc.hooks.recordPainting = [&e] { RecordPendingPainting(e); };
  // New and Open start the history afresh; a restored copy does so itself.
  e.doc.hooks.documentReset = [&e] { ResetHistory(e.history, e.canvas, true); };
  e.doc.hooks.documentSaved = [&e] {
    MarkSaved(e.history);
    NoteRecentFile(e, e.doc.state.documentPath);
    ShowStatusMessage(e, SavedDocumentText(e.doc.list.count, e.doc.state.documentPath));
  };
  e.doc.hooks.documentOpened = [&e] { NoteRecentFile(e, e.doc.state.documentPath); };
  // Several shapes selected in the Shapes window are what the animation
  // plays, from the first of them to the last.
  e.animation.selectedRange = [&e]() -> std::optional<AnimationRange> {
    const std::vector<int32_t> selected = BrowserSelectedShapes(e);
    if (selected.size() < 2) return std::nullopt;
    return AnimationRange{selected.front(), selected.back()};
  };
  e.history.changed = [&e] {
    UpdateHistoryMenu(e);
    // Every step changes the document the Shapes window shows.
    RefreshShapesWindow(e);
  };
  e.doc.hooks.dropFloatingSelection = [&e] {
    // The commit that asks for it takes the pixels into the shape at once,
    // so the timer has nothing more to commit.
    const int32_t changed = e.window.canvasChanged;
    PutDownSelection(e);
    e.window.canvasChanged = changed;
  };
  // What belongs to the picture on the canvas: the selection, and the end
  // of the last stroke that a Shift+click would go on from.
  e.doc.hooks.clearSelection = [&e] {
    ClearSelection(e.selection);
    e.tools.strokeEndKnown = false;
  };
  e.doc.hooks.refreshShapeViews = [&e] { RefreshShapeViews(e); };
  e.doc.hooks.readPropertiesWindow = [&e](int32_t index) {
    // Typed values not stored yet are a change like any other.
    BeginShapeFieldsStep(e, index, "Shape Properties of Shape " + std::to_string(index));
    ReadPropertiesWindow(e.desktop.dialogs, e.properties, e.doc, index);
    EndEditorStep(e);
  };
  e.doc.hooks.fillPropertiesWindow = [&e] { FillPropertiesWindow(e.desktop.dialogs, e.properties, e.doc); };
  e.desktop.dialogs.SetDialogListener([&e](const platform::DialogNotification& n) { OnDialogEvent(e, n); });
  // The bars keep these through InitScrollBars.
  e.horizontalBar.onScroll = [&e] { ScrollHorizontally(e); };
  e.verticalBar.onScroll = [&e] { ScrollVertically(e); };
}

bool StartEditor(Editor& e, const std::string& programDir, const std::vector<std::string>& arguments) {
  e.paths.programDir = programDir;
  e.paths.commandLineFile = CommandLineFile(arguments);
  e.history.budget = HistoryBudget(e.ui().settings);
  InstallHooks(e);
  e.ui().window.SetCursor(platform::Cursor::Wait);
  SetDocumentTitle(e, "new");
  e.desktop.menus.BuildMenus(MainMenu(), MainAccelerators());
  UpdateMenuAvailability(e);
  ShowOnionChecks(e);
  LoadRecentFiles(e);
  if (!SetUpDisplay(e)) return false;
  SetColorSet(e, -1, 0, 236, kCmdQuorvaneColors);

  // The helper shapes: toolbar buttons, scroll-bar parts, digits and figures.
  std::string helpers = LocateSupportFile("qshe.qsh", e.paths.programDir, e.ui().settings);
  ReadShapeFile(e.doc, e.ui(), helpers, e.helperShapes);

  PlaceToolButtons(e);
  InitScrollBars(e);
  if (e.paths.commandLineFile.empty()) {
    NewDocument(e.doc, e.canvas, e.ui());
  } else {
    OpenPath(e.doc, e.canvas, e.ui(), e.paths.commandLineFile);
  }
  StartRecovery(e);
  RedrawScreen(e);
  PresentWindow(e);
  SetToolState(e, kPencil, 0, 0);
  RestoreViewPreferences(e);
  UpdateStatusLine(e);
  e.desktop.control.StartTimer(kCommitTimer, 4000);
  e.desktop.control.StartTimer(kScrollTimer, 80);
  e.ui().window.SetCursor(platform::Cursor::Arrow);
  return true;
}

}  // namespace qshe
