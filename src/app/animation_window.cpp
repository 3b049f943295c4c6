#include "app/animation_window.h"

#include <algorithm>

#include "app/canvas_routing.h"
#include "document/document_commands.h"
#include "properties/animation.h"
#include "properties/positioning.h"
#include "properties/properties_window.h"

namespace qshe {
namespace {

using platform::DialogEvent;

bool Open(Editor& e) {
  return !e.window.failed && e.desktop.dialogs.DialogVisible(kAnimationDialog);
}

// A document that lost shapes keeps the range inside it; the boxes show
// what plays.
void KeepRange(Editor& e) {
  AnimationWindow& w = e.animation;
  const AnimationRange kept = KeepRangeInDocument(w.player.range, e.doc.list.count);
  if (kept == w.player.range) return;
  w.player.range = kept;
  w.player.position = std::clamp(w.player.position, 0, FrameCount(kept) - 1);
  FillAnimationWindow(e.desktop.dialogs, w);
}

void DrawAndPaint(Editor& e) {
  AnimationWindow& w = e.animation;
  KeepRange(e);
  DrawAnimationFrame(e.display, w,
                     {e.helperShapes, e.backdropShape, e.doc.list.Document(), e.view.backgroundType});
  PreviewDisplay pd{e.desktop.dialogs, e.display, e.desktop.surface, e.window.palette};
  PaintPreviewPicture(pd, kAnimationDialog, kAnimationPicture, w.buffer, w.palette);
}

// The clock runs while the window is open and playing, at the period to the
// next frame; otherwise it is stopped and costs nothing.
void RunClock(Editor& e) {
  AnimationWindow& w = e.animation;
  platform::WindowControl& control = e.desktop.control;
  if (!w.player.playing || !Open(e)) {
    if (w.clock != 0) control.StopTimer(kAnimationTimer);
    w.clock = 0;
    return;
  }
  const int32_t interval = FrameInterval(w.settings.speed, w.player.tick);
  if (interval == w.clock) return;
  control.StartTimer(kAnimationTimer, interval);
  w.clock = interval;
}

// The frame being edited shows its latest painting; a floating selection
// stays floating.
void CommitForPreview(Editor& e) {
  if (e.window.canvasChanged != 1) return;
  CommitCanvas(e.doc, e.canvas, e.doc.list.current, false);
  ShowPropertiesSize(e.desktop.dialogs, e.properties, e.doc);
}

}  // namespace

void ShowAnimationWindow(Editor& e) {
  if (e.window.failed) return;
  platform::DialogHost& host = e.desktop.dialogs;
  AnimationWindow& w = e.animation;
  if (!host.DialogExists(kAnimationDialog)) {
    host.CreateDialog(AnimationDialog());
    // Its own palette in the colours the main window has now, as the
    // positioning previews have.
    if (platform::WindowSurface* surface = host.ItemSurface(kAnimationDialog, kAnimationPicture)) {
      w.palette = surface->palettes().CreatePalette(e.display.logicalPalette);
    }
  }
  if (!w.settingsRead) {
    ReadAnimationSettings(e.ui().settings, w.settings);
    w.settingsRead = true;
  }
  CommitForPreview(e);
  const ShapeList& list = e.doc.list;
  std::optional<AnimationRange> selected;
  if (w.selectedRange) selected = w.selectedRange();
  SetAnimationRange(w.player, KeepRangeInDocument(selected ? *selected : DefaultAnimationRange(list.current, list.count),
                                                  list.count));
  w.player.playing = true;
  w.player.tick = 0;
  FillAnimationWindow(host, w);
  host.ShowDialog(kAnimationDialog);
  DrawAndPaint(e);
  RunClock(e);
}

void OnAnimationWindowEvent(Editor& e, const platform::DialogNotification& n) {
  AnimationWindow& w = e.animation;
  platform::DialogHost& host = e.desktop.dialogs;
  if (n.event == DialogEvent::Activated) {
    CommitForPreview(e);
    RefreshPositionWindows(e);
    return;
  }
  const AnimationChange change = OnAnimationNotification(host, w, e.doc.list.count, n);
  if (change.close) {
    host.HideDialog(kAnimationDialog);
    w.player.playing = false;
    ShowAnimationState(host, w);
  }
  if (change.settings) WriteAnimationSettings(e.ui().settings, w.settings);
  if (change.frame && Open(e)) DrawAndPaint(e);
  RunClock(e);
}

void AnimationTick(Editor& e) {
  AnimationWindow& w = e.animation;
  if (w.player.playing && Open(e)) {
    AdvanceFrame(w.player, w.settings.order);
    w.player.tick = (w.player.tick + 1) % KeepAnimationSpeed(w.settings.speed);
    DrawAndPaint(e);
    ShowAnimationFrameText(e.desktop.dialogs, w);
  }
  RunClock(e);
}

void RefreshAnimationWindow(Editor& e) {
  if (Open(e)) DrawAndPaint(e);
}

}  // namespace qshe
