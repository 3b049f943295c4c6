#include "app/history_commands.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <utility>

#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "app/commands.h"
#include "app/selection_commands.h"
#include "document/history.h"

namespace qshe {
namespace {

// No more than a terabyte, so the byte count cannot overflow.
constexpr long long kLargestBudgetMegabytes = 1 << 20;

// The canvas with the floating pixels stamped on a copy, or the canvas itself.
const Canvas& Picture(Editor& e, std::unique_ptr<Canvas>& copy) {
  if (!IsFloating(e.selection)) return e.canvas;
  copy = std::make_unique<Canvas>(e.canvas);
  StampSelection(e.selection, *copy);
  return *copy;
}

const char* StrokeName(int tool) {
  switch (tool) {
    case kPencil: return "Pencil";
    case kEraser: return "Eraser";
    case kBucket: return "Paint Bucket";
    case kLineTool: return "Line";
    case kRectangleTool: return "Rectangle";
    case kEllipseTool: return "Ellipse";
    case kSelect: return "Move Selection";
    default: return "Painting";
  }
}

void StepThroughHistory(Editor& e, bool undo) {
  // The stroke under way is a step of its own, so this takes back the
  // stroke and not the step before it.
  if (e.tools.dragTool != -1) ToolMouseUp(e);
  // The canvas may be loaded afresh, and floating pixels do not follow.
  PutDownSelection(e);
  RecordPendingPainting(e);
  const bool moved = undo ? Undo(e.history, e.doc, e.canvas) : Redo(e.history, e.doc, e.canvas);
  if (moved) {
    // The positioning windows see the canvas at the next commit.
    e.window.canvasChanged = 1;
    CallHook(e.doc.hooks.fillPropertiesWindow);
  }
  RefreshShapeViews(e);
}

}  // namespace

size_t HistoryBudget(platform::SettingsStore& settings) {
  auto text = settings.ReadText(platform::SettingsRoot::CurrentUser, kEditorSettingsKey, kHistoryBudgetValue);
  if (!text || text->empty()) return kDefaultHistoryBudget;
  char* end = nullptr;
  errno = 0;
  const long long megabytes = std::strtoll(text->c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || megabytes < 1 || megabytes > kLargestBudgetMegabytes) return kDefaultHistoryBudget;
  return static_cast<size_t>(megabytes) << 20;
}

bool RecordCanvasStep(Editor& e, const std::string& name) {
  std::unique_ptr<Canvas> copy;
  return RecordPainting(e.history, e.doc, Picture(e, copy), name);
}

void RecordPendingPainting(Editor& e) { RecordCanvasStep(e, StrokeName(e.tools.dragTool)); }

void BeginEditorStep(Editor& e, std::string name, uint64_t mergeKey) {
  if (!e.history.open.open) RecordPendingPainting(e);
  BeginStep(e.history, e.doc, e.canvas, std::move(name), mergeKey);
}

void BeginShapeFieldsStep(Editor& e, int32_t index, std::string name, uint64_t mergeKey) {
  if (!e.history.open.open) RecordPendingPainting(e);
  BeginShapeStep(e.history, e.doc, e.canvas, index, std::move(name), mergeKey);
}

bool EndEditorStep(Editor& e) {
  const bool reloads = e.history.open.committed && e.history.open.depth == 0;
  const bool kept = EndStep(e.history);
  // The canvas holds the current shape as it was committed.
  if (reloads) e.window.canvasChanged = 0;
  return kept;
}

uint64_t MergeKey(MergeKind kind, uint32_t a, uint32_t b) {
  return static_cast<uint64_t>(kind) << 56 | static_cast<uint64_t>(a & 0xFFFFFF) << 32 | b;
}

void UndoCommand(Editor& e) { StepThroughHistory(e, true); }
void RedoCommand(Editor& e) { StepThroughHistory(e, false); }

void UpdateHistoryMenu(Editor& e) {
  platform::MenuBar& menus = e.desktop.menus;
  const History& h = e.history;
  menus.SetMenuEnabled(kCmdUndo, CanUndo(h));
  menus.SetMenuEnabled(kCmdRedo, CanRedo(h));
  menus.SetMenuTip(kCmdUndo, CanUndo(h) ? "Undo " + UndoName(h) : "Nothing to undo");
  menus.SetMenuTip(kCmdRedo, CanRedo(h) ? "Redo " + RedoName(h) : "Nothing to redo");
}

}  // namespace qshe
