#include "app/selection_commands.h"

#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "interchange/clipboard_bitmap.h"
#include "platform/messages.h"

namespace qshe {
namespace {

bool SelectToolWithSelection(const Editor& e) {
  return e.tools.currentTool == kSelect && SelectionExists(e.selection);
}

void ShowSelection(Editor& e) {
  DrawSelectionOverlay(e);
  PaintCanvasArea(e);
}

// Cut and Delete of a rectangle that was only marked take the canvas
// pixels under it, as they would from a lifted one.
void LiftIfMarked(Editor& e) {
  if (e.selection.floating == 1) return;
  LiftSelection(e.selection, e.canvas);
  e.window.canvasChanged = 1;
}

}  // namespace

bool PutDownSelection(Editor& e) {
  Selection& s = e.selection;
  if (!IsFloating(s)) return false;
  StampSelection(s, e.canvas);
  ClearSelection(s);
  // The pixels fill the hole they were lifted from: the canvas now differs
  // from what was committed, but not from what the history saw, unless the
  // selection moved since (a move not recorded yet is recorded here).
  e.window.canvasChanged = 1;
  return RecordCanvasStep(e, "Put Down Selection");
}

void CopySelection(Editor& e) {
  if (!SelectToolWithSelection(e)) return;
  const SelectionBounds b = Bounds(e.selection);
  IndexBlock block{b.width(), b.height(), SelectionPixels(e.selection, e.canvas)};
  platform::ClipboardContent content;
  content.bitmap = IndicesToClipboardBitmap(block, e.window.gamePalette);
  content.indices = EncodeIndexBlock(block);
  e.desktop.clipboard.PutClipboard(content);
}

void CutSelection(Editor& e) {
  if (!SelectToolWithSelection(e)) return;
  CopySelection(e);
  LiftIfMarked(e);
  EmptyFloatingPixels(e.selection);
  RecordCanvasStep(e, "Cut");
  ShowSelection(e);
}

void DeleteSelection(Editor& e) {
  if (!SelectToolWithSelection(e)) return;
  LiftIfMarked(e);
  EmptyFloatingPixels(e.selection);
  RecordCanvasStep(e, "Delete Selection");
  ShowSelection(e);
}

void PasteClipboard(Editor& e) {
  // A drag under way ends first, as for Select All: a rubber band or a moving
  // selection would otherwise go on over the pasted pixels.
  ToolMouseUp(e);
  platform::ClipboardContent content = e.desktop.clipboard.GetClipboard();
  std::string why = content.problem;
  // Another window of the editor leaves its exact indices beside the picture;
  // another program's PNG or BMP goes through our own readers.
  std::optional<IndexBlock> block = DecodeIndexBlock(content.indices);
  if (!block && !content.file.empty()) block = ClipboardFileToIndices(content.file, GameColors(e), &why);
  if (!block && !content.bitmap.empty()) block = ClipboardBitmapToIndices(content.bitmap, GameColors(e), &why);
  if (!block) {
    // No picture at all is nothing to tell; a picture that cannot be taken is.
    if (!why.empty()) platform::ShowError(e.ui().boxes, "The picture on the clipboard can not be pasted. " + why);
    return;
  }
  PutDownSelection(e);
  FloatPixels(e.selection, block->width, block->height, block->pixels.data());
  RecordCanvasStep(e, "Paste");
  SetToolState(e, kSelect, e.view.backgroundType, e.tools.pencilSize);
  RedrawScreen(e);
  PresentWindow(e);
}

void SelectAll(Editor& e) {
  ToolMouseUp(e);
  SetToolState(e, kSelect, e.view.backgroundType, e.tools.pencilSize);
  UpdateToolCursor(e, e.window.lastMouseX, e.window.lastMouseY, false);
  Selection& s = e.selection;
  if (IsFloating(s)) {
    // Into the canvas first, so that the whole canvas is lifted with it.
    StampSelection(s, e.canvas);
    RecordCanvasStep(e, "Put Down Selection");
  }
  s.rect = {0, kCanvasSize - 1, 0, kCanvasSize - 1};
  s.state = kRectangle;
  s.floating = 0;
  LiftSelection(s, e.canvas);
  RenderCanvasView(e);
  ShowSelection(e);
}

void FlipCanvas(Editor& e, bool rows) {
  PutDownSelection(e);
  if (rows ? FlipRows(e.canvas) : FlipColumns(e.canvas)) {
    RecordCanvasStep(e, rows ? "Flip Horizontal" : "Flip Vertical");
    e.window.canvasChanged = 1;
  }
  ShowCanvas(e);
}

}  // namespace qshe
