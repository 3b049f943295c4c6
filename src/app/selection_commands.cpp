#include "app/selection_commands.h"

#include <cstring>

#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "interchange/clipboard_bitmap.h"
#include "platform/messages.h"

namespace qshe {
namespace {

bool SelectToolWithSelection(const Editor& e) {
  return e.tools.currentTool == kSelect && SelectionExists(e.selection);
}

bool SameAsRecorded(const Editor& e) {
  const int slot = FindUndoSlot(e.undo, e.undo.position);
  if (slot < 0) return false;
  const CanvasCopy& recorded = (*e.undo.slots)[static_cast<size_t>(slot)];
  return std::memcmp(recorded.data(), e.canvas.pixels.data(), recorded.size()) == 0;
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
  if (SameAsRecorded(e)) return false;
  SaveUndoState(e.undo, e.canvas);
  e.window.canvasChanged = 1;
  return true;
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
  e.doc.state.modified = kModified;
  ShowSelection(e);
}

void DeleteSelection(Editor& e) {
  if (!SelectToolWithSelection(e)) return;
  LiftIfMarked(e);
  // Taking pixels away is unsaved work like any other.
  if (EmptyFloatingPixels(e.selection)) e.doc.state.modified = kModified;
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
  e.doc.state.modified = kModified;
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
    if (!SameAsRecorded(e)) SaveUndoState(e.undo, e.canvas);
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
  const bool changed = rows ? FlipRows(e.canvas) : FlipColumns(e.canvas);
  SaveUndoState(e.undo, e.canvas);
  e.window.canvasChanged = 1;
  // A flip that moved a pixel is unsaved work.
  if (changed) e.doc.state.modified = kModified;
  ShowCanvas(e);
}

}  // namespace qshe
