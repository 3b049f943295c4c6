#include "app/position_windows.h"

#include "app/canvas_routing.h"
#include "app/history_commands.h"
#include "document/document_commands.h"
#include "properties/positioning.h"

namespace qshe {
namespace {

using platform::DialogEvent;

PreviewDisplay Display(Editor& e) {
  return {e.desktop.dialogs, e.display, e.desktop.surface, e.window.palette};
}

PreviewScene Scene(Editor& e) {
  return {e.helperShapes, e.backdropShape, e.doc.list.Current(), e.view.backgroundType};
}

PositionWindow& WindowOf(Editor& e, int dialog) {
  return dialog == kTavrelPositionDialog ? e.positioning.tavrel : e.positioning.shape;
}

}  // namespace

void RefreshPositionWindows(Editor& e) {
  if (e.window.failed) return;
  PreviewDisplay pd = Display(e);
  const PreviewScene scene = Scene(e);
  RefreshPositionWindow(pd, e.positioning.shape, scene);
  RefreshPositionWindow(pd, e.positioning.tavrel, scene);
}

void ShowPositionWindow(Editor& e, int dialog) {
  if (e.window.failed) return;
  PreviewDisplay pd = Display(e);
  PositionWindow& window = WindowOf(e, dialog);
  OpenPositionWindow(pd, window);
  RefreshPositionWindow(pd, window, Scene(e));
}

void OnPositionWindowEvent(Editor& e, const platform::DialogNotification& n) {
  platform::DialogHost& host = e.desktop.dialogs;
  switch (n.event) {
    case DialogEvent::Close: host.HideDialog(n.dialog); return;
    case DialogEvent::Activated:
      // The preview shows the painting not yet committed; a floating
      // selection stays floating.
      if (e.window.canvasChanged == 1) {
        CommitCanvas(e.doc, e.canvas, e.doc.list.current, false);
        ShowPropertiesSize(host, e.properties, e.doc);
      }
      RefreshPositionWindows(e);
      return;
    default: {
      PositionWindow& window = WindowOf(e, n.dialog);
      // One drag, press to release, is one step: every move joins it.
      const bool dragStep = n.event == DialogEvent::MouseMove && window.dragging == 1;
      if (dragStep) {
        const bool tavrel = n.dialog == kTavrelPositionDialog;
        const int32_t shape = e.doc.list.current;
        BeginShapeFieldsStep(e, shape,
                             (tavrel ? "Tavrel Position of Shape " : "Position of Shape ") + std::to_string(shape),
                             MergeKey(tavrel ? MergeKind::TavrelDrag : MergeKind::ShapeDrag, 0, window.drags));
      }
      const bool moved = OnPositionMouse(window, e.doc, n);
      if (dragStep) EndEditorStep(e);
      if (moved) {
        // Both previews show the shape at its offsets.
        RefreshPositionWindows(e);
        CallHook(e.doc.hooks.fillPropertiesWindow);
      }
      return;
    }
  }
}

void ApplyBackdropSettings(Editor& e) {
  // A file that cannot give the shape keeps the dialog open to put the name
  // or number right; the previews keep the backdrop they had.
  if (!ApplyPositionSettings(e.desktop.dialogs, e.ui().boxes, e.backdropShape)) return;
  RefreshPositionWindows(e);
  e.desktop.dialogs.HideDialog(kPositionSettingsDialog);
}

}  // namespace qshe
