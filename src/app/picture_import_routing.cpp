#include "app/picture_import_routing.h"

#include "app/canvas_routing.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "app/status_line.h"
#include "document/file_io.h"
#include "interchange/bitmap_import.h"
#include "interchange/bmp_codec.h"
#include "interchange/picture_commands.h"
#include "interchange/png_codec.h"
#include "platform/messages.h"

namespace qshe {
namespace {

// The picture goes onto the canvas as one step: undoable, and committed by
// the timer so the positioning windows show it. The same picture again
// changes nothing and leaves nothing unsaved.
void PutPicture(Editor& e, const PictureImport& state) {
  const int32_t modified = e.doc.state.modified;
  PutOnCanvas(e.canvas, state.result, state.picture.width, state.picture.height);
  e.doc.state.modified = kModified;
  CallHook(e.doc.hooks.clearSelection);
  if (!RecordCanvasStep(e, "Import Picture")) e.doc.state.modified = modified;
  e.window.canvasChanged = 1;
  ShowStatusMessage(e, ImportedPicturesText(1));
  ShowCanvas(e);
}

void Repaint(Editor& e) {
  UpdatePictureResult(e.pictureImport, GameColors(e), e.view.backgroundType);
  PaintPicturePreviews(e.desktop.dialogs, e.pictureImport, e.window.gamePalette);
}

}  // namespace

ImportSettings& RememberedImportSettings(Editor& e) {
  ReadImportSettings(e.ui().settings, e.importSettings);
  return e.importSettings;
}

bool IsPictureFile(const std::string& path) {
  auto head = ReadFilePrefix(path, 8);
  return head && (IsBmp(head->bytes()) || IsPng(head->bytes()));
}

void ImportPictureCommand(Editor& e, bool alwaysShow) {
  if (auto path = AskPictureToImport(e.ui())) ImportPictureFile(e, *path, alwaysShow);
}

void ImportPictureFile(Editor& e, const std::string& path, bool alwaysShow) {
  platform::Platform& ui = e.ui();
  const ImportSettings& settings = RememberedImportSettings(e);
  PictureImport& state = e.pictureImport;
  ui.window.SetCursor(platform::Cursor::Wait);
  PictureImport read;
  const bool ok = ReadPictureForImport(read, ui.boxes, path);
  ui.window.SetCursor(platform::Cursor::Arrow);
  if (!ok) return;  // said why; the window, if open, keeps its picture
  // A window still open keeps the choices it shows; otherwise the
  // remembered ones.
  if (!e.desktop.dialogs.DialogVisible(kImportPictureDialog)) {
    state.choice = settings.picture;
    state.alwaysUse = settings.alwaysUse;
  }
  state.path = std::move(read.path);
  state.picture = std::move(read.picture);
  if (settings.alwaysUse && !alwaysShow) {
    e.desktop.dialogs.HideDialog(kImportPictureDialog);
    state.result = ReduceColors(state.picture, GameColors(e), state.choice);
    PutPicture(e, state);
    return;
  }
  ShowImportPictureWindow(e.desktop.dialogs, state);
  Repaint(e);
}

void OnImportPictureWindowEvent(Editor& e, const platform::DialogNotification& n) {
  platform::DialogHost& host = e.desktop.dialogs;
  PictureImport& state = e.pictureImport;
  switch (OnImportPictureEvent(host, state, n)) {
    case PictureWindowOutcome::ChoiceChanged: Repaint(e); break;
    case PictureWindowOutcome::Import: {
      // A colour that cannot be read keeps the window open to put it right.
      const std::string problem = ColorChoiceProblem(host, kImportPictureDialog, kPictureColor, kPictureTransparency);
      if (!problem.empty()) {
        platform::ShowError(e.ui().boxes, problem);
        return;
      }
      UpdatePictureResult(state, GameColors(e), e.view.backgroundType);
      ImportSettings& settings = RememberedImportSettings(e);
      settings.picture = state.choice;
      settings.alwaysUse = state.alwaysUse;
      WriteImportSettings(e.ui().settings, settings);
      host.HideDialog(kImportPictureDialog);
      PutPicture(e, state);
      break;
    }
    case PictureWindowOutcome::Cancel: host.HideDialog(kImportPictureDialog); break;
    case PictureWindowOutcome::Nothing: break;
  }
}

void EndShapeImport(Editor& e, const ImportCount& count) {
  EndEditorStep(e);
  // The count and perhaps the current shape's picture have changed.
  CallHook(e.doc.hooks.fillPropertiesWindow);
  RefreshShapeViews(e);
  if (count.imported > 0) ShowStatusMessage(e, ImportedPicturesText(count.imported));
}

void RefreshImportPictureWindow(Editor& e) {
  if (!e.desktop.dialogs.DialogVisible(kImportPictureDialog) || e.pictureImport.path.empty()) return;
  Repaint(e);
}

}  // namespace qshe
