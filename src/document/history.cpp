#include "document/history.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace qshe {
namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

constexpr int kWords = kCanvasSize / 8;

Canvas& Base(History& h) {
  if (!h.base) h.base = std::make_unique<Canvas>();
  return *h.base;
}

void Notify(History& h) {
  if (h.changed) h.changed();
}

// ----- pixels -------------------------------------------------------------------

uint8_t* RowAt(Canvas& c, int row) { return c.pixels.data() + row * kCanvasSize; }
const uint8_t* RowAt(const Canvas& c, int row) { return c.pixels.data() + row * kCanvasSize; }

// The smallest rectangle holding every pixel in which the two differ.
std::optional<PixelRect> DifferingRect(const Canvas& a, const Canvas& b) {
  int y1 = -1, y2 = -1;
  uint64_t columns[kWords] = {};
  for (int r = 0; r < kCanvasSize; ++r) {
    const uint8_t* pa = RowAt(a, r);
    const uint8_t* pb = RowAt(b, r);
    if (std::memcmp(pa, pb, kCanvasSize) == 0) continue;
    if (y1 < 0) y1 = r;
    y2 = r;
    for (int i = 0; i < kWords; ++i) {
      uint64_t wa, wb;
      std::memcpy(&wa, pa + 8 * i, 8);
      std::memcpy(&wb, pb + 8 * i, 8);
      columns[i] |= wa ^ wb;
    }
  }
  if (y1 < 0) return std::nullopt;
  uint8_t differs[kCanvasSize];
  std::memcpy(differs, columns, sizeof differs);
  int x1 = 0, x2 = kCanvasSize - 1;
  while (!differs[x1]) ++x1;
  while (!differs[x2]) --x2;
  return PixelRect{static_cast<int16_t>(x1), static_cast<int16_t>(x2), static_cast<int16_t>(y1),
                   static_cast<int16_t>(y2)};
}

void CopyOut(const Canvas& from, const PixelRect& r, uint8_t* out) {
  const size_t w = static_cast<size_t>(r.width());
  for (int y = r.y1; y <= r.y2; ++y, out += w) std::memcpy(out, RowAt(from, y) + r.x1, w);
}

void CopyBetween(const Canvas& from, Canvas& to, const PixelRect& r) {
  const size_t w = static_cast<size_t>(r.width());
  for (int y = r.y1; y <= r.y2; ++y) std::memcpy(RowAt(to, y) + r.x1, RowAt(from, y) + r.x1, w);
}

// The canvas and the base take the held pixels, and the change holds what
// was there. The base equals the canvas as last recorded, so it serves as
// the go-between: three row copies, one per place written.
void ExchangeRect(Canvas& canvas, Canvas& base, const PixelRect& r, uint8_t* held) {
  const size_t w = static_cast<size_t>(r.width());
  for (int y = r.y1; y <= r.y2; ++y, held += w) {
    uint8_t* c = RowAt(canvas, y) + r.x1;
    uint8_t* b = RowAt(base, y) + r.x1;
    std::memcpy(c, held, w);
    std::memcpy(held, b, w);
    std::memcpy(b, c, w);
  }
}

// ----- the list ------------------------------------------------------------------

size_t ToIndex(int32_t i) { return static_cast<size_t>(i); }

void ToggleRange(ShapeList& list, ShapesChange& c) {
  auto slots = list.slots.begin();
  const int32_t end = list.count;
  if (c.inList) {
    c.shapes.resize(ToIndex(c.n));
    for (int32_t k = 0; k < c.n; ++k) c.shapes[ToIndex(k)] = std::move(list.slots[ToIndex(c.at + k)]);
    // The emptied slots go to the end, where they are cleared.
    std::rotate(slots + c.at, slots + c.at + c.n, slots + end);
    for (int32_t i = end - c.n; i < end; ++i) ClearShape(list.slots[ToIndex(i)]);
    list.count -= c.n;
  } else {
    // The n free slots after the document come round to `at`.
    std::rotate(slots + c.at, slots + end, slots + end + c.n);
    for (int32_t k = 0; k < c.n; ++k) list.slots[ToIndex(c.at + k)] = std::move(c.shapes[ToIndex(k)]);
    std::vector<Shape>().swap(c.shapes);
    list.count += c.n;
  }
  c.inList = !c.inList;
}

void Toggle(ShapeList& list, ShapesChange& c) {
  if (c.kind == ShapesChange::Kind::Range) {
    ToggleRange(list, c);
    return;
  }
  for (int32_t k = 0; k < c.n; ++k) std::swap(list.slots[ToIndex(c.at + k)], c.shapes[ToIndex(k)]);
}

void Toggle(ShapeList& list, MoveChange& m) {
  auto slots = list.slots.begin();
  if (m.to < m.from) {
    std::rotate(slots + m.to, slots + m.from, slots + m.from + m.n);
  } else if (m.to > m.from) {
    std::rotate(slots + m.from, slots + m.from + m.n, slots + m.to + m.n);
  }
  std::swap(m.from, m.to);
}

void Toggle(Shape& shape, FieldsChange& f) {
  const ShapeFields now = FieldsOf(shape);
  SetFields(shape, f.fields);
  f.fields = now;
}

void Toggle(DocumentState& state, FlagsChange& f) {
  std::swap(state.qs2Flag, f.qs2Flag);
  std::swap(state.qbjFlag, f.qbjFlag);
}

// ----- memory -----------------------------------------------------------------

size_t ShapeBytes(const Shape& s) { return s.HasPixels() ? static_cast<size_t>(s.PixelCount()) : 0; }

size_t ChangeBytes(const HistoryChange& change) {
  return std::visit(Overloaded{
                        [](const PixelsChange& p) { return p.pixels.capacity(); },
                        [](const ShapesChange& s) {
                          size_t b = s.shapes.capacity() * sizeof(Shape);
                          for (const Shape& shape : s.shapes) b += ShapeBytes(shape);
                          return b;
                        },
                        [](const auto&) { return size_t{0}; },
                    },
                    change);
}

size_t StepBytes(const HistoryStep& s) {
  size_t b = sizeof(HistoryStep) + s.changes.capacity() * sizeof(HistoryChange);
  // Short names live inside the string itself.
  if (s.name.capacity() > 15) b += s.name.capacity() + 1;
  for (const HistoryChange& c : s.changes) b += ChangeBytes(c);
  return b;
}

void Recount(History& h, HistoryStep& step) {
  h.bytes -= step.bytes;
  step.bytes = StepBytes(step);
  h.bytes += step.bytes;
}

// ----- the steps ------------------------------------------------------------

uint64_t StateSerial(const History& h) { return h.position == 0 ? h.baseSerial : h.steps[h.position - 1].serial; }

void DropRedoSteps(History& h) {
  while (h.steps.size() > h.position) {
    h.bytes -= h.steps.back().bytes;
    h.steps.pop_back();
  }
}

// Over the budget the oldest steps go, but never the newest: one step larger
// than the budget is kept alone.
void KeepWithinBudget(History& h) {
  while (h.bytes > h.budget && h.steps.size() > 1 && h.position > 0) {
    h.baseSerial = h.steps.front().serial;
    h.bytes -= h.steps.front().bytes;
    h.steps.pop_front();
    --h.position;
  }
}

void Push(History& h, HistoryStep step) {
  DropRedoSteps(h);
  step.serial = h.nextSerial++;
  step.changes.shrink_to_fit();
  step.bytes = StepBytes(step);
  h.bytes += step.bytes;
  h.steps.push_back(std::move(step));
  h.position = h.steps.size();
  KeepWithinBudget(h);
}

bool Structural(const HistoryChange& c) {
  return std::holds_alternative<ShapesChange>(c) || std::holds_alternative<MoveChange>(c);
}

// Joins the changes of `more` to the newest step. Without list changes the
// first field change of a shape (and of the flags) already holds the values
// from before the whole step, so later ones add nothing.
void MergeIntoNewest(History& h, HistoryStep more) {
  HistoryStep& newest = h.steps.back();
  const bool structural = std::any_of(newest.changes.begin(), newest.changes.end(), Structural) ||
                          std::any_of(more.changes.begin(), more.changes.end(), Structural);
  for (HistoryChange& c : more.changes) {
    if (!structural) {
      bool known = false;
      if (auto* f = std::get_if<FieldsChange>(&c)) {
        known = std::any_of(newest.changes.begin(), newest.changes.end(), [&](const HistoryChange& o) {
          auto* g = std::get_if<FieldsChange>(&o);
          return g && g->index == f->index;
        });
      } else if (std::holds_alternative<FlagsChange>(c)) {
        known = std::any_of(newest.changes.begin(), newest.changes.end(),
                            [](const HistoryChange& o) { return std::holds_alternative<FlagsChange>(o); });
      }
      if (known) continue;
    }
    newest.changes.push_back(std::move(c));
  }
  newest.currentAfter = more.currentAfter;
  Recount(h, newest);
  KeepWithinBudget(h);
}

void UpdateModified(const History& h, Document& doc) {
  doc.state.modified = AtSavedState(h) ? kUnmodified : kModified;
}

// ----- the open step ---------------------------------------------------------

bool Recording(const History& h, const ShapeList& list) {
  return h.open.open && h.open.doc != nullptr && &h.open.doc->list == &list;
}

void NoteFields(OpenStep& o, const ShapeList& list) {
  o.fieldsFrom = 0;
  o.fields.resize(ToIndex(list.count));
  for (int32_t i = 0; i < list.count; ++i) o.fields[ToIndex(i)] = FieldsOf(list.slots[ToIndex(i)]);
}

// Field changes made in place since they were last noted become changes of
// the step, each holding the values from before.
void TakeFieldChanges(OpenStep& o, const ShapeList& list) {
  const int32_t n = static_cast<int32_t>(o.fields.size());
  for (int32_t k = 0; k < n; ++k) {
    const int32_t i = o.fieldsFrom + k;
    if (i < 0 || i >= list.count) continue;
    const ShapeFields now = FieldsOf(list.slots[ToIndex(i)]);
    ShapeFields& noted = o.fields[ToIndex(k)];
    if (now == noted) continue;
    o.step.changes.emplace_back(FieldsChange{i, noted});
    noted = now;
  }
}

// Before the list's structure or images change: the canvas's painting goes
// into the current shape (floating pixels first), so the shapes the change
// moves or keeps are whole; EndStep puts the current shape back on the canvas.
void PrepareListChange(History& h, ShapeList& list) {
  if (!Recording(h, list)) return;
  OpenStep& o = h.open;
  if (!o.committed) {
    CallHook(o.doc->hooks.dropFloatingSelection);
    if (list.current >= 0 && list.current < list.count) CommitCanvasToShape(*o.canvas, list.Current());
    o.committed = true;
  }
  TakeFieldChanges(o, list);
}

void Record(History& h, ShapeList& list, HistoryChange change) {
  if (!Recording(h, list)) return;
  h.open.step.changes.push_back(std::move(change));
  NoteFields(h.open, list);
}

// Puts the current shape on the canvas afresh; the selection does not follow.
void ShowCurrent(History& h, Document& doc, Canvas& canvas) {
  ShapeList& list = doc.list;
  list.current = std::clamp(list.current, 0, std::max(list.count - 1, 0));
  LoadShapeToCanvas(list.Current(), canvas);
  Base(h) = canvas;
  CallHook(doc.hooks.clearSelection);
}

// False when a step is open already: the new one is part of it.
bool OpenFor(History& h, Document& doc, Canvas& canvas, std::string name, uint64_t mergeKey) {
  if (h.open.open) {
    ++h.open.depth;
    return false;
  }
  OpenStep& o = h.open;
  o.open = true;
  o.doc = &doc;
  o.canvas = &canvas;
  // A step joins the newest one only while the newest is still what the
  // document shows and not the state last saved.
  o.merging = mergeKey != 0 && h.position > 0 && h.position == h.steps.size() &&
              h.steps.back().mergeKey == mergeKey && h.steps.back().serial != h.savedSerial;
  o.step.name = std::move(name);
  o.step.mergeKey = mergeKey;
  o.step.currentBefore = doc.list.current;
  o.flags = {doc.state.qs2Flag, doc.state.qbjFlag};
  return true;
}

void CloseOpenStep(History& h) {
  h.open.depth = 0;
  EndStep(h);
}

// ----- undo and redo -----------------------------------------------------------

void Apply(History& h, Document& doc, Canvas& canvas, HistoryStep& step, bool forward) {
  ShapeList& list = doc.list;
  Canvas& base = Base(h);
  // The canvas holds shape `onCanvas` until a list change needs the shapes
  // whole; then it is committed and shown afresh afterwards.
  bool canvasHeld = true;
  int32_t onCanvas = list.current;
  auto leaveCanvas = [&] {
    if (!canvasHeld) return;
    if (onCanvas >= 0 && onCanvas < list.count) CommitCanvasToShape(canvas, list.slots[ToIndex(onCanvas)]);
    canvasHeld = false;
  };
  auto show = [&](int32_t index) {
    list.current = index;
    ShowCurrent(h, doc, canvas);
    onCanvas = list.current;
    canvasHeld = true;
  };
  auto visit = [&](HistoryChange& change) {
    std::visit(Overloaded{
                   [&](PixelsChange& p) {
                     if (!canvasHeld || onCanvas != p.shape) {
                       leaveCanvas();
                       show(p.shape);
                     }
                     ExchangeRect(canvas, base, p.rect, p.pixels.data());
                   },
                   [&](ShapesChange& s) {
                     leaveCanvas();
                     Toggle(list, s);
                   },
                   [&](MoveChange& m) {
                     leaveCanvas();
                     Toggle(list, m);
                   },
                   [&](FieldsChange& f) { Toggle(list.slots[ToIndex(f.index)], f); },
                   [&](FlagsChange& f) { Toggle(doc.state, f); },
               },
               change);
  };
  if (forward) {
    for (HistoryChange& c : step.changes) visit(c);
  } else {
    for (auto c = step.changes.rbegin(); c != step.changes.rend(); ++c) visit(*c);
  }
  const int32_t target =
      std::clamp(forward ? step.currentAfter : step.currentBefore, 0, std::max(list.count - 1, 0));
  if (canvasHeld && onCanvas != target) leaveCanvas();
  if (canvasHeld) {
    list.current = target;
  } else {
    show(target);
  }
  Recount(h, step);
}

}  // namespace

History::History() = default;

void ResetHistory(History& h, const Canvas& canvas, bool saved) {
  h.steps.clear();
  h.position = 0;
  h.bytes = 0;
  h.open = OpenStep{};
  h.baseSerial = h.nextSerial++;
  h.savedSerial = saved ? h.baseSerial : kNeverSaved;
  Base(h) = canvas;
  ++h.changeCount;
  Notify(h);
}

void SetPaintingBase(History& h, const Canvas& canvas) { Base(h) = canvas; }

void MarkSaved(History& h) { h.savedSerial = StateSerial(h); }

bool AtSavedState(const History& h) { return StateSerial(h) == h.savedSerial; }

bool CanUndo(const History& h) { return h.position > 0; }
bool CanRedo(const History& h) { return h.position < h.steps.size(); }
std::string UndoName(const History& h) { return CanUndo(h) ? h.steps[h.position - 1].name : std::string(); }
std::string RedoName(const History& h) { return CanRedo(h) ? h.steps[h.position].name : std::string(); }
size_t UndoCount(const History& h) { return h.position; }
size_t RedoCount(const History& h) { return h.steps.size() - h.position; }

bool RecordPainting(History& h, Document& doc, const Canvas& picture, std::string name) {
  Canvas& base = Base(h);
  const std::optional<PixelRect> rect = DifferingRect(picture, base);
  if (!rect) return false;
  PixelsChange change{doc.list.current, *rect, {}};
  change.pixels.resize(static_cast<size_t>(rect->width()) * static_cast<size_t>(rect->height()));
  CopyOut(base, *rect, change.pixels.data());
  CopyBetween(picture, base, *rect);
  if (h.open.open) {
    // Part of the step being recorded (floating pixels put down before a list change).
    h.open.step.changes.emplace_back(std::move(change));
    return true;
  }
  HistoryStep step;
  step.name = std::move(name);
  step.currentBefore = step.currentAfter = doc.list.current;
  step.changes.emplace_back(std::move(change));
  Push(h, std::move(step));
  MarkModified(doc);
  ++h.changeCount;
  Notify(h);
  return true;
}

void BeginStep(History& h, Document& doc, Canvas& canvas, std::string name, uint64_t mergeKey) {
  if (OpenFor(h, doc, canvas, std::move(name), mergeKey)) NoteFields(h.open, doc.list);
}

void BeginShapeStep(History& h, Document& doc, Canvas& canvas, int32_t index, std::string name,
                    uint64_t mergeKey) {
  if (!OpenFor(h, doc, canvas, std::move(name), mergeKey)) return;
  OpenStep& o = h.open;
  if (index < 0 || index >= doc.list.count) return;
  o.fieldsFrom = index;
  o.fields.push_back(FieldsOf(doc.list.slots[ToIndex(index)]));
}

bool EndStep(History& h) {
  OpenStep& o = h.open;
  if (!o.open) return false;
  if (o.depth > 0) {
    --o.depth;
    return false;
  }
  Document& doc = *o.doc;
  TakeFieldChanges(o, doc.list);
  if (o.flags.qs2Flag != doc.state.qs2Flag || o.flags.qbjFlag != doc.state.qbjFlag) {
    o.step.changes.emplace_back(o.flags);
  }
  if (o.committed) ShowCurrent(h, doc, *o.canvas);
  o.step.currentAfter = doc.list.current;
  HistoryStep step = std::move(o.step);
  const bool merging = o.merging;
  h.open = OpenStep{};
  if (step.changes.empty()) return false;
  if (merging) {
    MergeIntoNewest(h, std::move(step));
  } else {
    Push(h, std::move(step));
  }
  MarkModified(doc);
  ++h.changeCount;
  Notify(h);
  return true;
}

void InsertShapes(History& h, ShapeList& list, int32_t at, std::vector<Shape> shapes) {
  const int32_t n = std::min(static_cast<int32_t>(shapes.size()), kShapeListCapacity - list.count);
  if (n <= 0) return;
  shapes.resize(ToIndex(n));
  PrepareListChange(h, list);
  ShapesChange change{ShapesChange::Kind::Range, false, std::clamp(at, 0, list.count), n, std::move(shapes)};
  Toggle(list, change);
  Record(h, list, std::move(change));
}

void RemoveShapes(History& h, ShapeList& list, int32_t at, int32_t n) {
  if (at < 0 || n <= 0 || at + n > list.count) return;
  PrepareListChange(h, list);
  ShapesChange change{ShapesChange::Kind::Range, true, at, n, {}};
  Toggle(list, change);
  Record(h, list, std::move(change));
}

void ReplaceShapes(History& h, ShapeList& list, int32_t at, std::vector<Shape> shapes) {
  const int32_t n = static_cast<int32_t>(shapes.size());
  if (at < 0 || n <= 0 || at + n > list.count) return;
  PrepareListChange(h, list);
  ShapesChange change{ShapesChange::Kind::Replace, true, at, n, std::move(shapes)};
  Toggle(list, change);
  Record(h, list, std::move(change));
}

void MoveShapes(History& h, ShapeList& list, int32_t from, int32_t n, int32_t to) {
  if (n <= 0 || from < 0 || to < 0 || from + n > list.count || to + n > list.count || from == to) return;
  PrepareListChange(h, list);
  MoveChange change{from, n, to};
  Toggle(list, change);
  Record(h, list, change);
}

void ExchangeShapes(History& h, ShapeList& list, int32_t a, int32_t b) {
  if (a == b || a < 0 || b < 0 || a >= list.count || b >= list.count) return;
  const int32_t lo = std::min(a, b), hi = std::max(a, b);
  MoveShapes(h, list, hi, 1, lo);      // the later shape goes before the earlier ...
  MoveShapes(h, list, lo + 1, 1, hi);  // ... which then takes its place
}

bool Undo(History& h, Document& doc, Canvas& canvas) {
  if (h.open.open) CloseOpenStep(h);
  if (!CanUndo(h)) return false;
  Apply(h, doc, canvas, h.steps[h.position - 1], false);
  --h.position;
  UpdateModified(h, doc);
  NoteDocumentChange(doc);
  ++h.changeCount;
  Notify(h);
  return true;
}

bool Redo(History& h, Document& doc, Canvas& canvas) {
  if (h.open.open) CloseOpenStep(h);
  if (!CanRedo(h)) return false;
  Apply(h, doc, canvas, h.steps[h.position], true);
  ++h.position;
  UpdateModified(h, doc);
  NoteDocumentChange(doc);
  ++h.changeCount;
  Notify(h);
  return true;
}

}  // namespace qshe
