// New, Open, Save, Save As and Revert, and the moves of the canvas in and out
// of the current shape.
#pragma once

#include <cstdint>
#include <string>

#include "document/canvas.h"
#include "document/document.h"
#include "document/history.h"
#include "document/shape_file.h"
#include "platform/platform.h"

namespace qshe {

// Copies the canvas into shape `index` (after putting down a floating
// selection when `pasteSelection`).
void CommitCanvas(Document& doc, Canvas& canvas, int32_t index, bool pasteSelection);

// Loads shape `index` onto the canvas and makes it current; with `commit`, the
// shape being left takes the canvas and the properties window's values first.
void ShowShape(Document& doc, Canvas& canvas, int32_t index, bool commit, int32_t leaving);

// An empty document: nothing modified, no path, no shapes, both flags off,
// every slot cleared with its replacement set to its own index.
void ResetDocument(Document& doc);

// The unsaved-changes question. True to go on. Yes saves first, and when the
// save does not happen (dialog cancelled, write failed) the answer is false,
// so the caller stops and the work stays open.
bool ConfirmDiscard(Document& doc, Canvas& canvas, platform::Platform& ui);

void NewDocument(Document& doc, Canvas& canvas, platform::Platform& ui);
// The open-file dialog for a shape file, as Open shows it.
platform::FileDialogRequest ShapeFileOpenRequest();
void OpenDocument(Document& doc, Canvas& canvas, platform::Platform& ui);
// Opens a file without asking anything (the command line's file).
void OpenPath(Document& doc, Canvas& canvas, platform::Platform& ui, const std::string& path);
// Open with the file already named (a file dropped on the window): the
// unsaved-changes question, then the file as Open reads it.
void OpenNamedDocument(Document& doc, Canvas& canvas, platform::Platform& ui, const std::string& path);
SaveResult SaveDocument(Document& doc, Canvas& canvas, platform::Platform& ui);
SaveResult SaveDocumentAs(Document& doc, Canvas& canvas, platform::Platform& ui);
// After the question, shape `current` is read again from the document's file
// and replaces the shape (through the history, so an open step keeps the
// shape it replaced, painting included). True when it was replaced.
bool RevertShape(Document& doc, Canvas& canvas, History& history, platform::Platform& ui);

}  // namespace qshe
