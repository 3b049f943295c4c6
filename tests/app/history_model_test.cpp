// The document's history against a model: thousands of random changes of
// every kind through the editor's own events (mouse, keys, menus, dialogs),
// with some undos and redos among them, then undo all and redo all. After
// every event the whole document (shapes, their properties, the flags) is
// compared with the snapshot the test kept for that point of the history,
// and Modified with whether that point is the one last saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "document/history.h"
#include "document/object_file.h"
#include "editor_fixture.h"
#include "interchange/clipboard_bitmap.h"
#include "interchange/import_dialogs.h"
#include "properties/positioning_dialogs.h"
#include "properties/properties_window.h"
#include "properties/shape_dialogs.h"

using namespace qshe;
using platform::Answer;
using qshe::testing::EditorFixture;

namespace {

const std::filesystem::path kAppData = std::filesystem::path(QSHE_TESTS_DIR) / "app" / "data";
const std::filesystem::path kSheets = std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data";

// One shape as the document holds it: the image as a commit would keep it
// (so trimming on a later commit makes no difference), and the fields.
struct ShapeState {
  int32_t width = 0;
  int32_t height = 0;
  uint64_t pixels = 0;  // hash of the bytes
  ShapeFields fields;
  friend bool operator==(const ShapeState&, const ShapeState&) = default;
};

struct DocState {
  std::vector<ShapeState> shapes;
  int32_t qs2Flag = 0;
  int32_t qbjFlag = 0;
  friend bool operator==(const DocState&, const DocState&) = default;
};

uint64_t Hash(const uint8_t* p, size_t n) {
  uint64_t h = 1469598103934665603ull;
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// What committing the shape after loading it gives. A shape whose bottom row
// and rightmost column hold pixels, within 255 x 255, comes back as it is.
ShapeState Normalised(const Shape& shape) {
  if (!shape.HasPixels()) return {1, 0, 0, FieldsOf(shape)};
  const int32_t w = shape.width, h = shape.height;
  const uint8_t* p = shape.pixels.get();
  bool bottom = false, right = false;
  for (int32_t x = 0; x < w && !bottom; ++x) bottom = p[x] != 0;
  for (int32_t y = 0; y < h && !right; ++y) right = p[static_cast<size_t>(y * w + w - 1)] != 0;
  if (w <= 255 && h <= 255 && bottom && right) {
    return {w, h, Hash(p, static_cast<size_t>(w) * static_cast<size_t>(h)), FieldsOf(shape)};
  }
  auto canvas = std::make_unique<Canvas>();
  LoadShapeToCanvas(shape, *canvas);
  Shape s;
  SetFields(s, FieldsOf(shape));
  CommitCanvasToShape(*canvas, s);
  return Normalised(s);
}

// The document as saving it now would write it: the current shape is the
// canvas with any floating pixels on it.
DocState Take(const Editor& e) {
  DocState d;
  d.qs2Flag = e.doc.state.qs2Flag;
  d.qbjFlag = e.doc.state.qbjFlag;
  auto picture = std::make_unique<Canvas>(e.canvas);
  if (IsFloating(e.selection)) StampSelection(e.selection, *picture);
  for (int32_t i = 0; i < e.doc.list.count; ++i) {
    const Shape& record = e.doc.list.slots[static_cast<size_t>(i)];
    if (i != e.doc.list.current) {
      d.shapes.push_back(Normalised(record));
      continue;
    }
    Shape s;
    SetFields(s, FieldsOf(record));
    CommitCanvasToShape(*picture, s);
    d.shapes.push_back(Normalised(s));
  }
  return d;
}

struct HistoryModelTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;
  std::mt19937 rng{20241209};
  std::vector<DocState> states;     // states[i]: the document after i steps
  std::optional<size_t> savedAt;    // the point last saved, while reachable
  size_t steps = 0;                 // UndoCount before the event
  std::string savedPath;
  std::string picturesPattern;
  std::string qbjPath;

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool Chance(int percent) { return Pick(1, 100) <= percent; }
  static int WindowX(int column) { return 184 + column; }
  static int WindowY(int row) { return 263 - row; }

  // A point in the top-left corner of the canvas, where the painting stays,
  // so the shapes stay small.
  int Column() { return Pick(0, 40); }
  int Row() { return Pick(215, 255); }

  void SetUp() override {
    ASSERT_TRUE(Start());
    e.history.budget = size_t{1} << 40;
    savedPath = dir.File("model.qsh");
    // Three small shapes to start with, saved, so Revert has a file to read.
    for (int i = 0; i < 3; ++i) {
      e.canvas.At(i, 255) = static_cast<uint8_t>(20 + i);
      OnCommand(e, kCmdNextShape);
    }
    hp.fileNames = {savedPath};
    OnCommand(e, kCmdSaveAs);
    ASSERT_EQ(e.doc.state.modified, kUnmodified);
    std::filesystem::create_directories(dir.File("pictures"));
    std::filesystem::copy_file(kAppData / "im_pal.bmp", dir.File("pictures/a.bmp"));
    std::filesystem::copy_file(kAppData / "im_pic24.bmp", dir.File("pictures/b.bmp"));
    picturesPattern = dir.File("pictures/*.bmp");
    // Object properties for three shapes.
    std::vector<Shape> objects(3);
    for (int i = 0; i < 3; ++i) {
      objects[static_cast<size_t>(i)].sittable = i % 2;
      objects[static_cast<size_t>(i)].tavrelX = 5 * i - 3;
    }
    qbjPath = dir.File("objects.qbj");
    qshe::testing::WriteBytes(qbjPath, EncodeObjectFile(objects));
    OnCommand(e, kCmdShapeProperties);
    OnCommand(e, kCmdShapePosition);
    OnCommand(e, kCmdTavrelPosition);
    ResetModel();
  }

  void ResetModel() {
    ResetHistory(e.history, e.canvas, e.doc.state.modified != kModified);
    states = {Take(e)};
    savedAt = e.doc.state.modified == kModified ? std::nullopt : std::optional<size_t>(0);
    steps = 0;
  }

  // ----- the events -------------------------------------------------------

  void Stroke() {
    OnCommand(e, Chance(80) ? kCmdPencil : kCmdEraser);
    e.tools.pencilSize = Pick(0, 5);
    const int button = Pick(1, 2);
    OnMouseDown(e, WindowX(Column()), WindowY(Row()), button, false);
    for (int i = Pick(0, 3); i > 0; --i) OnMouseMove(e, WindowX(Column()), WindowY(Row()), false);
    OnMouseUp(e, 0, 0, button);
  }

  void Bucket() {
    OnCommand(e, kCmdBucket);
    // Only on painted pixels, so the fill stays within the painting.
    for (int tries = 0; tries < 20; ++tries) {
      const int c = Column(), r = Row();
      if (e.canvas.At(c, r) == 0) continue;
      OnMouseDown(e, WindowX(c), WindowY(r), Pick(1, 2), false);
      OnMouseUp(e, WindowX(c), WindowY(r), 1);
      return;
    }
  }

  // A drag with the select tool: a new rectangle lifted, or (pressed on a
  // floating one) a move.
  void SelectDrag() {
    OnCommand(e, kCmdSelect);
    const int c = Column(), r = Row();
    OnMouseDown(e, WindowX(c), WindowY(r), 1, false);
    OnMouseMove(e, WindowX(c + Pick(1, 12)), WindowY(r - Pick(1, 12)), false);
    OnMouseUp(e, 0, 0, 1);
  }

  // Then the floating pixels are moved, deleted or cut.
  void SelectionAction() {
    if (!IsFloating(e.selection)) return;
    const SelectionBounds b = Bounds(e.selection);
    const int x = b.minX, y = 255 - b.minY;
    switch (Pick(0, 3)) {
      case 0:
      case 1:
        // Moved, perhaps partly off the canvas.
        OnMouseDown(e, WindowX(x), WindowY(y), 1, false);
        OnMouseMove(e, WindowX(x + Pick(-8, 20)), WindowY(y + Pick(-20, 8)), false);
        OnMouseUp(e, 0, 0, 1);
        break;
      case 2: OnCommand(e, kCmdDelete); break;
      default: OnCommand(e, kCmdCut); break;
    }
  }

  void Paste() {
    IndexBlock block{Pick(1, 6), Pick(1, 6), {}};
    for (int i = 0; i < block.width * block.height; ++i) block.pixels.push_back(static_cast<uint8_t>(Pick(0, 3) * 40));
    hp.clipboard = {};
    hp.clipboard.indices = EncodeIndexBlock(block);
    OnCommand(e, kCmdPaste);
  }

  void PutDownOrKeep() {
    if (Chance(50)) {
      OnCommand(e, kCmdZoomIn);
      OnCommand(e, kCmdZoomOut);
    }
  }

  void AddShapes() {
    OnCommand(e, kCmdAddShapes);
    dlg.Type(kInsertDialog, kInsertCount, std::to_string(Pick(1, 3)));
    dlg.Choose(kInsertDialog, kInsertWhere, Pick(0, 3));
    dlg.Click(kInsertDialog, kInsertAddButton);
  }

  void Swap() {
    OnCommand(e, kCmdSwapWith);
    dlg.Type(kSwapDialog, kSwapNumber, std::to_string(Pick(0, e.doc.list.count - 1)));
    dlg.Click(kSwapDialog, kSwapButton);
  }

  void ImportPictures() {
    OnCommand(e, kCmdImportMultiple);
    dlg.Type(kImportFilesDialog, kFilesPattern, picturesPattern);
    dlg.Choose(kImportFilesDialog, kFilesMode, Pick(0, 1));
    dlg.Choose(kImportFilesDialog, kFilesPlacement, Pick(0, 4));
    if (Chance(30)) dlg.Click(kImportFilesDialog, kFilesCenter);
    dlg.Click(kImportFilesDialog, kFilesImport);
  }

  void ImportCollage() {
    OnCommand(e, kCmdImportCollage);
    dlg.Type(kImportCollageDialog, kCollageFile, (kSheets / "im_sheet.pcx").string());
    dlg.Choose(kImportCollageDialog, kCollageMode, Pick(0, 1));
    dlg.Choose(kImportCollageDialog, kCollagePlacement, Pick(0, 4));
    dlg.Click(kImportCollageDialog, kCollageImport);
  }

  void TypeProperty() {
    static constexpr int kBoxes[] = {kPropOffsetX, kPropOffsetY, kPropReplacement, kPropTavrelX, kPropTavrelY};
    const int box = kBoxes[Pick(0, 4)];
    // Typed digit by digit, sometimes out of range.
    std::string text = Chance(20) ? "-" : "";
    for (int i = Pick(1, 3); i > 0; --i) {
      text += static_cast<char>('0' + Pick(0, 9));
      dlg.Type(kPropertiesDialog, box, text);
    }
  }

  void ClickProperty() {
    static constexpr int kChecks[] = {kPropSittable, kPropGettable, kPropWalkable, kPropQs2Flag, kPropQbjFlag};
    dlg.Click(kPropertiesDialog, kChecks[Pick(0, 4)]);
  }

  void DragPreview() {
    const int window = Chance(50) ? kShapePositionDialog : kTavrelPositionDialog;
    int x = Pick(20, 180), y = Pick(20, 180);
    dlg.Press(window, kPreviewSurface, x, y);
    for (int i = Pick(1, 4); i > 0; --i) {
      x += Pick(-15, 15);
      y += Pick(-15, 15);
      dlg.Drag(window, kPreviewSurface, x, y);
    }
    dlg.Release(window, kPreviewSurface, x, y);
  }

  void Navigate() {
    switch (Pick(0, 3)) {
      case 0: OnCommand(e, kCmdNextShape); break;
      case 1: OnCommand(e, kCmdPreviousShape); break;
      case 2:
        OnCommand(e, kCmdForward8);
        OnTimer(e, kCommitTimer);
        break;
      default:
        OnCommand(e, kCmdJumpWindow);
        dlg.Type(kJumpDialog, kJumpNumber, std::to_string(Pick(0, e.doc.list.count - 1)));
        dlg.Click(kJumpDialog, kJumpButton);
        break;
    }
  }

  // ----- the model ----------------------------------------------------------

  enum class Kind { Change, NoChange, Typing, UndoRedo, Save };

  // After each event: what the history says against what the test kept.
  void Check(Kind kind, const char* what) {
    SCOPED_TRACE(what);
    const size_t n = UndoCount(e.history);
    const DocState now = Take(e);
    switch (kind) {
      case Kind::UndoRedo:
        ASSERT_LT(n, states.size());
        ASSERT_EQ(now, states[n]) << "at step " << n;
        break;
      case Kind::Save:
        // Typed values not stored yet may become a step first.
        if (n == steps) {
          ASSERT_EQ(now, states[n]) << "saving changed the document";
        } else {
          ASSERT_EQ(n, steps + 1);
          states.resize(n);
          states.push_back(now);
        }
        savedAt = n;
        break;
      default:
        if (n == steps) {
          // Nothing recorded: nothing changed, or the typing joined the
          // newest step.
          const bool joined = kind == Kind::Typing && n > 0 && n == e.history.steps.size() &&
                              e.history.steps.back().mergeKey != 0;
          if (joined) {
            states[n] = now;
          } else {
            ASSERT_EQ(now, states[n]) << "a change without a step, at step " << n;
          }
        } else {
          ASSERT_EQ(n, steps + 1) << "one event, one step";
          ASSERT_NE(kind, Kind::NoChange) << "a step without a change";
          states.resize(n);
          states.push_back(now);
          if (savedAt && *savedAt >= n) savedAt.reset();  // that branch is gone
        }
        break;
    }
    steps = n;
    ASSERT_EQ(e.doc.state.modified == kUnmodified, savedAt == n) << "Modified at step " << n;
  }

  void Preset() {
    static constexpr int kPresets[] = {kCmdPresetFloors, kCmdPresetItem, kCmdPresetItem2, kCmdDefaultQs2Numbering};
    hp.answers = {Answer::Yes};
    OnCommand(e, kPresets[Pick(0, 3)]);
  }

  void ColourSwap() {
    e.colors.foreColor = static_cast<uint8_t>(Pick(0, 3) * 40 + 10);
    e.colors.backColor = static_cast<uint8_t>(Pick(0, 3) * 40 + 10);
    OnCommand(e, kCmdForeToBack);
  }

  void SinglePicture() {
    hp.fileNames = {(kAppData / (Chance(50) ? "im_pal.bmp" : "im_pic24.bmp")).string()};
    OnCommand(e, kCmdImportSingle);
  }

  void Remove() {
    hp.answers = {Chance(90) ? Answer::Yes : Answer::No};
    OnCommand(e, kCmdRemoveShape);
  }

  void RunRandomEvent() {
    const int roll = Pick(0, 99);
    const bool crowded = e.doc.list.count > 30;
    struct Event {
      int upTo;
      Kind kind;
      const char* name;
      void (HistoryModelTest::*run)();
    };
    const Event events[] = {
        {14, Kind::Change, "stroke", &HistoryModelTest::Stroke},
        {18, Kind::Change, "bucket", &HistoryModelTest::Bucket},
        {26, Kind::Change, "selection", &HistoryModelTest::SelectDrag},
        {30, Kind::Change, "paste", &HistoryModelTest::Paste},
        {32, Kind::Change, "flip", &HistoryModelTest::Flip},
        {34, Kind::Change, "forecolor to backcolor", &HistoryModelTest::ColourSwap},
        {36, Kind::Change, "revert", &HistoryModelTest::Revert},
        {38, Kind::Change, "single picture", &HistoryModelTest::SinglePicture},
        {crowded ? 39 : 43, Kind::Change, "add shapes", &HistoryModelTest::AddShapes},
        {48, Kind::Change, "remove shape", &HistoryModelTest::Remove},
        {52, Kind::Change, "swap", &HistoryModelTest::Swap},
        {crowded ? 52 : 54, Kind::Change, "multiple pictures", &HistoryModelTest::ImportPictures},
        {crowded ? 52 : 56, Kind::Change, "collage", &HistoryModelTest::ImportCollage},
        {57, Kind::Change, "qbj import", &HistoryModelTest::ImportQbj},
        {59, Kind::Change, "preset", &HistoryModelTest::Preset},
        {67, Kind::Typing, "typing", &HistoryModelTest::TypeProperty},
        {72, Kind::Change, "properties click", &HistoryModelTest::ClickProperty},
        {77, Kind::Change, "preview drag", &HistoryModelTest::DragPreview},
        {85, Kind::NoChange, "navigation", &HistoryModelTest::Navigate},
        {87, Kind::Save, "save", &HistoryModelTest::Save},
        {94, Kind::UndoRedo, "undo", &HistoryModelTest::UndoOnce},
        {100, Kind::UndoRedo, "redo", &HistoryModelTest::RedoOnce},
    };
    for (const Event& event : events) {
      if (roll >= event.upTo) continue;
      (this->*event.run)();
      Check(event.kind, event.name);
      if (event.run == &HistoryModelTest::SelectDrag && !HasFatalFailure()) {
        SelectionAction();
        Check(Kind::Change, "selection moved, deleted or cut");
        if (HasFatalFailure()) return;
        PutDownOrKeep();
        Check(Kind::NoChange, "put down");
      }
      return;
    }
  }

  void Flip() { OnCommand(e, Chance(50) ? kCmdFlipHorizontal : kCmdFlipVertical); }
  void Revert() {
    hp.answers = {Answer::Yes};
    OnCommand(e, kCmdRevertShape);
  }
  void ImportQbj() {
    hp.fileNames = {qbjPath};
    OnCommand(e, kCmdImportQbj);
  }
  void Save() { OnCommand(e, kCmdSave); }
  void UndoOnce() { OnCommand(e, kCmdUndo); }
  void RedoOnce() { OnCommand(e, kCmdRedo); }
};

TEST_F(HistoryModelTest, ThousandsOfRandomChangesUndoAndRedoToEverySnapshot) {
  for (int event = 0; event < 2500; ++event) {
    SCOPED_TRACE("event " + std::to_string(event));
    RunRandomEvent();
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(states.size(), 300u);
  // Back to the start ...
  while (CanUndo(e.history)) {
    OnCommand(e, kCmdUndo);
    Check(Kind::UndoRedo, "undo all");
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(UndoCount(e.history), 0u);
  // ... and forward to the end.
  while (CanRedo(e.history)) {
    OnCommand(e, kCmdRedo);
    Check(Kind::UndoRedo, "redo all");
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(UndoCount(e.history) + 1, states.size());
  EXPECT_EQ(e.history.bytes, [&] {
    size_t sum = 0;
    for (const HistoryStep& s : e.history.steps) sum += s.bytes;
    return sum;
  }());
}

}  // namespace
