#include "interchange/picture_commands.h"

#include "document/document_commands.h"
#include "interchange/bitmap_export.h"
#include "interchange/bitmap_import.h"

namespace qshe {

bool ImportSinglePicture(Document& doc, Canvas& canvas, platform::Platform& ui, const ColorMatcher& colors) {
  auto chosen = AskPictureToImport(ui);
  return chosen && ImportPictureFile(doc, canvas, ui, colors, *chosen);
}

std::optional<std::string> AskPictureToImport(platform::Platform& ui) {
  platform::FileDialogRequest request;
  request.filters = PictureOpenFilters();
  request.firstFilter = 0;
  request.title = "Import a picture onto the canvas";
  request.defaultExtension = "bmp";
  request.maxLength = 510;
  request.fileMustExist = true;
  request.hideReadOnly = true;
  return ui.files.AskOpenFileName(request);
}

bool ImportPictureFile(Document& doc, Canvas& canvas, platform::Platform& ui, const ColorMatcher& colors,
                       const std::string& path) {
  ui.window.SetCursor(platform::Cursor::Wait);
  bool loaded = LoadBitmapFile(doc, canvas, ui.boxes, colors, path, true, -1);
  ui.window.SetCursor(platform::Cursor::Arrow);
  return loaded;
}

bool ExportShapeAsBitmap(Document& doc, Canvas& canvas, platform::Platform& ui, const GamePalette& palette) {
  CommitCanvas(doc, canvas, doc.list.current, true);
  return SaveShapeBitmap(ui, palette, doc.list.Current(), doc.list.current, {});
}

}  // namespace qshe
