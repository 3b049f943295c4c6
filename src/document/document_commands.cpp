#include "document/document_commands.h"

#include <algorithm>
#include <cstring>

#include "platform/messages.h"

namespace qshe {
namespace {

int32_t ClampSlot(int32_t index) { return std::clamp(index, 0, kShapeListCapacity - 1); }

}  // namespace

void CommitCanvas(Document& doc, Canvas& canvas, int32_t index, bool pasteSelection) {
  if (pasteSelection) CallHook(doc.hooks.dropFloatingSelection);
  Shape& shape = doc.list.slots[static_cast<size_t>(ClampSlot(index))];
  // The timer commits every few seconds; only a commit that changes the
  // image counts as a change of the document.
  const int32_t width = shape.width, height = shape.height;
  const PixelBlock before = shape.pixels.Share();
  CommitCanvasToShape(canvas, shape);
  // An empty shape stays empty whatever sizes the commit gives it.
  const Shape& after = shape;
  const bool same = (!before && !after.pixels) ||
                    (after.width == width && after.height == height && before && after.pixels &&
                     before.size() == after.pixels.size() &&
                     std::memcmp(before.get(), after.pixels.get(), before.size()) == 0);
  if (!same) NoteDocumentChange(doc);
}

void ShowShape(Document& doc, Canvas& canvas, int32_t index, bool commit, int32_t leaving) {
  if (commit) {
    CallHook(doc.hooks.recordPainting);
    CommitCanvas(doc, canvas, leaving, true);
    if (doc.hooks.readPropertiesWindow) doc.hooks.readPropertiesWindow(ClampSlot(leaving));
  }
  index = ClampSlot(index);
  LoadShapeToCanvas(doc.list.slots[static_cast<size_t>(index)], canvas);
  CallHook(doc.hooks.clearSelection);
  CallHook(doc.hooks.canvasLoaded);
  doc.list.current = index;
  CallHook(doc.hooks.fillPropertiesWindow);
}

void ResetDocument(Document& doc) {
  NoteDocumentChange(doc);
  doc.state.modified = kUnmodified;
  doc.state.documentPath.clear();
  doc.list.count = 0;
  doc.state.qbjFlag = 0;
  doc.state.qs2Flag = 0;
  doc.state.fileStamp.reset();
  doc.state.sideStamp.reset();
  CallHook(doc.hooks.resetView);
  for (int32_t i = 0; i < kShapeListCapacity; ++i) {
    Shape& s = doc.list.slots[static_cast<size_t>(i)];
    ClearShape(s);
    s.replacement = i;
  }
  CallHook(doc.hooks.documentReset);
}

bool ConfirmDiscard(Document& doc, Canvas& canvas, platform::Platform& ui) {
  // Painting still under way counts as a change like any recorded one.
  CallHook(doc.hooks.recordPainting);
  if (doc.state.modified != kModified) return true;
  platform::Answer answer = ui.boxes.ShowMessageBox(
      {"There are some unsaved changes. Do you want to save them?", platform::kCaption,
       platform::Icon::Question, platform::Buttons::YesNoCancel, platform::Owner::MainWindow});
  switch (answer) {
    case platform::Answer::Yes: return SaveDocument(doc, canvas, ui) == kSaved;
    case platform::Answer::No: return true;
    default: return false;
  }
}

void NewDocument(Document& doc, Canvas& canvas, platform::Platform& ui) {
  if (!ConfirmDiscard(doc, canvas, ui)) return;
  ResetDocument(doc);
  doc.list.count = 20;
  ShowShape(doc, canvas, 0, false, 0);
  ShowDocumentTitle(doc, ui, "new");
  CallHook(doc.hooks.refreshShapeViews);
}

void OpenPath(Document& doc, Canvas& canvas, platform::Platform& ui, const std::string& path) {
  doc.state.modified = kUnmodified;
  doc.list.current = 0;
  ResetDocument(doc);
  int32_t count = ReadShapeFile(doc, ui, path, doc.list.slots);
  // A file that could not be read, or was refused, leaves a document of 20
  // empty shapes, as New would, and the title says so instead of naming a
  // file the document does not come from.
  doc.list.count = count < 0 ? kReadFailedCount : count;
  if (doc.state.documentPath.empty()) ShowDocumentTitle(doc, ui, "new");
  ShowShape(doc, canvas, 0, false, 0);
  if (count >= 0 && !doc.state.documentPath.empty()) CallHook(doc.hooks.documentOpened);
}

namespace {

void OpenChosenPath(Document& doc, Canvas& canvas, platform::Platform& ui, const std::string& path) {
  ui.window.SetCursor(platform::Cursor::Wait);
  OpenPath(doc, canvas, ui, path);
  ui.window.SetCursor(platform::Cursor::Arrow);
  CallHook(doc.hooks.refreshShapeViews);
}

}  // namespace

platform::FileDialogRequest ShapeFileOpenRequest() {
  platform::FileDialogRequest request;
  request.filters = {{"Quorvane Shape Files (*.qsh;*.qs2)", "*.qsh;*.qs2"},
                     {"QSH Files (*.qsh)", "*.qsh"},
                     {"QSH2 Files (*.qs2)", "*.qs2"},
                     {"All Files (*.*)", "*.*"}};
  request.maxLength = 510;
  request.defaultExtension = "qsh";
  request.fileMustExist = true;
  return request;
}

void OpenDocument(Document& doc, Canvas& canvas, platform::Platform& ui) {
  if (!ConfirmDiscard(doc, canvas, ui)) return;
  auto path = ui.files.AskOpenFileName(ShapeFileOpenRequest());
  if (!path || path->empty()) return;
  OpenChosenPath(doc, canvas, ui, *path);
}

void OpenNamedDocument(Document& doc, Canvas& canvas, platform::Platform& ui, const std::string& path) {
  if (path.empty() || !ConfirmDiscard(doc, canvas, ui)) return;
  OpenChosenPath(doc, canvas, ui, path);
}

namespace {

SaveResult Save(Document& doc, Canvas& canvas, platform::Platform& ui, const std::string& path) {
  CommitCanvas(doc, canvas, doc.list.current, true);
  if (doc.hooks.readPropertiesWindow) doc.hooks.readPropertiesWindow(doc.list.current);
  const SaveResult result = SaveShapeFile(doc, ui, path, doc.list.Document());
  if (result == kSaved) CallHook(doc.hooks.documentSaved);
  return result;
}

}  // namespace

SaveResult SaveDocument(Document& doc, Canvas& canvas, platform::Platform& ui) {
  return Save(doc, canvas, ui, doc.state.documentPath);
}

SaveResult SaveDocumentAs(Document& doc, Canvas& canvas, platform::Platform& ui) {
  return Save(doc, canvas, ui, "");
}

bool RevertShape(Document& doc, Canvas& canvas, History& history, platform::Platform& ui) {
  if (!platform::AskYesNo(ui.boxes, "Revert shape from last saved position?")) return false;
  // A read that fails has said why and leaves the shape and the painting on
  // the canvas as they were.
  Shape saved;
  CopyShape(doc.list.Current(), saved);
  if (!ReadOneShape(ui.boxes, saved, doc.state.documentPath, doc.list.current)) return false;
  std::vector<Shape> one;
  one.push_back(std::move(saved));
  ReplaceShapes(history, doc.list, doc.list.current, std::move(one));
  ShowShape(doc, canvas, doc.list.current, false, 0);
  return true;
}

}  // namespace qshe
