// The open document: its shape list and the state that goes with it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "document/file_io.h"
#include "document/shape.h"

namespace qshe {

inline constexpr int32_t kModified = 1;
inline constexpr int32_t kUnmodified = -1;

struct DocumentState {
  std::string documentPath;       // empty for a new document
  int32_t modified = kUnmodified;  // kModified or kUnmodified
  int32_t qs2Flag = 0;             // carries replacement numbers
  int32_t qbjFlag = 0;             // carries object properties
  // The shape file and its side file as this document last read or wrote
  // them. Save asks before it overwrites one another program has changed
  // since; nothing known (a new document) asks nothing.
  std::optional<FileStamp> fileStamp;
  std::optional<FileStamp> sideStamp;
};

// What the document commands ask of the layers above them. Each hook is
// installed by the layer that owns the work; an empty hook does nothing.
struct DocumentHooks {
  // The properties window: write its fields into a shape / show the current one.
  std::function<void(int32_t index)> readPropertiesWindow;
  std::function<void()> fillPropertiesWindow;
  // The selection: put a floating selection down on the canvas / forget it.
  std::function<void()> dropFloatingSelection;
  std::function<void()> clearSelection;
  // Before the canvas changes hands: painting not yet recorded becomes a
  // step of the history.
  std::function<void()> recordPainting;
  // The canvas was loaded afresh from a shape: painting is measured from here.
  std::function<void()> canvasLoaded;
  // The document was emptied (New, Open): its history goes with it.
  std::function<void()> documentReset;
  // The document was written to its file.
  std::function<void()> documentSaved;
  // A shape file was read into the document (documentPath names it).
  std::function<void()> documentOpened;
  // The canvas view goes back to no magnification and origin (0, 0).
  std::function<void()> resetView;
  // Slider, counter and the two positioning windows show the document anew.
  std::function<void()> refreshShapeViews;
};

// Runs a hook when one is installed.
inline void CallHook(const std::function<void()>& hook) {
  if (hook) hook();
}

struct Document {
  ShapeList list;
  DocumentState state;
  // Goes up by one or more with every change of the shapes, their fields,
  // the flags, the name or the saved state, and never down: whoever noted it
  // knows without looking at any byte whether the document changed since.
  uint64_t changeCount = 0;
  // Shows a document name ("new" or a path) in the window title. The shell
  // installs its own; without one the title is set plainly.
  std::function<void(const std::string& name)> showTitle;
  DocumentHooks hooks;
};

// Every operation that changes the document calls one of these.
inline void NoteDocumentChange(Document& doc) { ++doc.changeCount; }
inline void MarkModified(Document& doc) {
  doc.state.modified = kModified;
  ++doc.changeCount;
}

inline constexpr const char* kTitlePrefix = "Quorvane QSH Editor 1.04 -- [";

}  // namespace qshe
