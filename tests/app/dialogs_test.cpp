// The properties, insert, swap and jump dialogs on the scripted desktop,
// driven as the user drives them: typing, clicking, closing.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "app/command_table.h"
#include "app/commands.h"
#include "app/dialog_routing.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "document/document_commands.h"
#include "editor_fixture.h"
#include "interchange/bmp_builder.h"
#include "interchange/import_dialogs.h"
#include "properties/properties_window.h"
#include "properties/shape_dialogs.h"

using namespace qshe;
using platform::Answer;
using qshe::testing::EditorFixture;
using qshe::testing::ReadBytes;
using qshe::testing::WriteBytes;

namespace {

struct DialogsTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;

  void SetUp() override { ASSERT_TRUE(Start()); }
  Shape& S(int i) { return e.doc.list.slots[static_cast<size_t>(i)]; }
  std::string Text(int dialog, int control) { return dlg.Item(dialog, control).text; }
  std::string Warning(int control) { return dlg.Item(kPropertiesDialog, control).warning; }
  void TypeProperty(int control, const std::string& text) { dlg.Type(kPropertiesDialog, control, text); }
  // A shape with one row of pixels, so the canvas shows something of it.
  void Paint(int i, uint8_t colour) {
    AllocateShape(S(i), 2, 1);
    S(i).pixels[0] = S(i).pixels[1] = colour;
  }
  void ShowCurrent() { ShowShape(e.doc, e.canvas, e.doc.list.current, false, 0); }
};

}  // namespace

TEST_F(DialogsTest, TypedOffsetsAreStoredAtOnceAndOutOfRangeOnesAreMarkedAndStoredAsZero) {
  OnCommand(e, kCmdShapeProperties);
  ASSERT_TRUE(dlg.DialogVisible(kPropertiesDialog));
  EXPECT_EQ(dlg.Find(kPropertiesDialog)->title, "Shape 0 properties");
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetX), "0");
  EXPECT_EQ(e.doc.state.modified, kUnmodified);  // filling is not editing

  TypeProperty(kPropOffsetX, "-");
  EXPECT_EQ(S(0).offsetX, 0);
  EXPECT_EQ(Warning(kPropOffsetX), "");  // a sign alone is a number being typed
  TypeProperty(kPropOffsetX, "-5");
  EXPECT_EQ(S(0).offsetX, -5);
  EXPECT_EQ(e.doc.state.modified, kModified);

  // 200 is out of range: 0 is stored, not 127, and the box says so.
  TypeProperty(kPropOffsetY, "200");
  EXPECT_EQ(S(0).offsetY, 0);
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetY), "200");
  EXPECT_EQ(Warning(kPropOffsetY), "Allowed: -127 to 127. Stored as 0.");
  TypeProperty(kPropOffsetY, "12abc");
  EXPECT_EQ(S(0).offsetY, 12);
  EXPECT_NE(Warning(kPropOffsetY), "");
  for (auto [text, stored] : {std::pair{"127", 127}, {"-127", -127}, {"-128", 0}, {"99999999999", 0}}) {
    TypeProperty(kPropOffsetY, text);
    EXPECT_EQ(S(0).offsetY, stored) << text;
  }
  // The timer's commit shows the new size and leaves the typed boxes alone.
  TypeProperty(kPropOffsetY, "200");
  e.canvas.At(2, 254) = 9;
  e.window.canvasChanged = 1;
  OnTimer(e, kCommitTimer);
  EXPECT_EQ(std::tuple(Text(kPropertiesDialog, kPropWidth), Text(kPropertiesDialog, kPropHeight)),
            std::tuple("3", "2"));
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetY), "200");
  // Refilling shows what is stored and takes the mark away.
  CallHook(e.doc.hooks.fillPropertiesWindow);
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetY), "0");
  EXPECT_EQ(Warning(kPropOffsetY), "");
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetX), "-5");
}

TEST_F(DialogsTest, TheQbjAndQs2SwitchesGuardTheirFieldsAndRefillFromTheShape) {
  S(0).tavrelX = 7;
  S(0).sittable = 1;
  S(0).replacement = 44;
  OnCommand(e, kCmdShapeProperties);
  EXPECT_FALSE(dlg.Item(kPropertiesDialog, kPropTavrelX).enabled);
  EXPECT_FALSE(dlg.Item(kPropertiesDialog, kPropReplacement).enabled);
  EXPECT_TRUE(dlg.Item(kPropertiesDialog, kPropQbjFlag).enabled);

  // With the QBJ flag off, whatever the boxes hold is not read back.
  e.doc.state.qbjFlag = 1;
  CallHook(e.doc.hooks.fillPropertiesWindow);
  TypeProperty(kPropTavrelX, "-9");
  EXPECT_EQ(S(0).tavrelX, -9);
  dlg.Click(kPropertiesDialog, kPropQbjFlag);  // off
  EXPECT_EQ(e.doc.state.qbjFlag, 0);
  EXPECT_FALSE(dlg.Item(kPropertiesDialog, kPropSittable).enabled);
  dlg.SetItemEnabled(kPropertiesDialog, kPropTavrelY, true);
  dlg.Type(kPropertiesDialog, kPropTavrelY, "50");
  dlg.SetItemChecked(kPropertiesDialog, kPropSittable, false);
  CallHook([&] { e.doc.hooks.readPropertiesWindow(0); });
  EXPECT_EQ(S(0).tavrelY, 0);
  EXPECT_EQ(S(0).sittable, 1);
  // Off and on again: the boxes show the shape, nothing in it changes.
  dlg.Click(kPropertiesDialog, kPropQbjFlag);
  EXPECT_EQ(Text(kPropertiesDialog, kPropTavrelX), "-9");
  EXPECT_EQ(Text(kPropertiesDialog, kPropTavrelY), "0");
  EXPECT_TRUE(dlg.Item(kPropertiesDialog, kPropSittable).checked);
  EXPECT_EQ(S(0).tavrelX, -9);

  // QS2: a typed replacement outside 0..32767 (what the file's 16 bits hold)
  // is stored as 0 and marked; it never wraps.
  dlg.Click(kPropertiesDialog, kPropQs2Flag);
  EXPECT_EQ(e.doc.state.qs2Flag, 1);
  EXPECT_EQ(Text(kPropertiesDialog, kPropReplacement), "44");
  TypeProperty(kPropReplacement, "-3");
  EXPECT_EQ(S(0).replacement, 0);
  EXPECT_EQ(Warning(kPropReplacement), "Allowed: 0 to 32767. Stored as 0.");
  for (auto [text, stored] : {std::pair{"32767", 32767}, {"32768", 0}, {"40000", 0}, {"70000", 0}, {"0", 0}}) {
    TypeProperty(kPropReplacement, text);
    EXPECT_EQ(S(0).replacement, stored) << text;
    EXPECT_EQ(Warning(kPropReplacement).empty(), stored != 0 || std::string(text) == "0") << text;
  }
  TypeProperty(kPropReplacement, "40000");
  hp.fileNames = {dir.File("wrap.qs2")};
  OnCommand(e, kCmdSave);
  OpenPath(e.doc, e.canvas, e.ui(), dir.File("wrap.qs2"));
  EXPECT_EQ(S(0).replacement, 0);
}

TEST_F(DialogsTest, TheTintFollowsTheReadingThatStoresTheValue) {
  OnCommand(e, kCmdShapeProperties);
  // Blanks around a number are read past when storing, so the box shows
  // what is stored and is not marked.
  for (const char* text : {" 33", "33 ", "  -7  ", "\t12"}) {
    TypeProperty(kPropOffsetX, text);
    EXPECT_EQ(Warning(kPropOffsetX), "") << text;
  }
  EXPECT_EQ(S(0).offsetX, 12);
  TypeProperty(kPropOffsetX, " 33");
  EXPECT_EQ(S(0).offsetX, 33);
  // Out of range or not a number stays marked, blanks or not.
  for (const char* text : {" 200", "3 3", "x", " -128 "}) {
    TypeProperty(kPropOffsetX, text);
    EXPECT_NE(Warning(kPropOffsetX), "") << text;
  }
}

TEST_F(DialogsTest, FileValuesNoBoxWouldTakeSurviveTheWindowByteForByte) {
  // Two shapes of a QS2 file made byte by byte: shape 0 at (-128, -128) with
  // replacement -1, shape 1 at (5, 6) replacing 9; the side file puts the
  // figure at (-128, -128) beside shape 0.
  const std::vector<uint8_t> qs2 = {'Q', 'S', 'H', '2', '.', '0', '0', '1', 2, 0, 0, 0, 0, 0, 0, 0,
                                    2, 1, 0x80, 0x80, 0xFF, 0xFF, 40, 41,
                                    1, 1, 5, 6, 9, 0, 42};
  const std::vector<uint8_t> qbj = {'Q', 'O', '0', '1', 2, 0, 0, 0, 0x19, 0x80, 0x80, 0x02};
  WriteBytes(dir.File("edge.qs2"), qs2);
  WriteBytes(dir.File("edge.qbj"), qbj);
  OpenPath(e.doc, e.canvas, e.ui(), dir.File("edge.qs2"));
  ASSERT_EQ(e.doc.list.count, 2);
  ASSERT_EQ(std::tie(S(0).offsetX, S(0).offsetY, S(0).replacement, S(0).tavrelX, S(0).tavrelY),
            std::tuple(-128, -128, -1, -128, -128));

  // Open, Escape, through the shapes and back, open and close again:
  // nothing typed, nothing changed.
  OnCommand(e, kCmdShapeProperties);
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetX), "-128");
  EXPECT_EQ(Warning(kPropOffsetX), "");
  dlg.Close(kPropertiesDialog);
  OnCommand(e, kCmdShapeProperties);
  OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdPreviousShape);
  OnCommand(e, kCmdForward8);
  dlg.Close(kPropertiesDialog);
  OnCommand(e, kCmdShapeProperties);
  dlg.Close(kPropertiesDialog);
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  // The QBJ switch off and on refills the boxes and reads none of them.
  OnCommand(e, kCmdShapeProperties);
  dlg.Click(kPropertiesDialog, kPropQbjFlag);
  dlg.Click(kPropertiesDialog, kPropQbjFlag);
  dlg.Close(kPropertiesDialog);
  OnCommand(e, kCmdSave);
  EXPECT_EQ(ReadBytes(dir.File("edge.qs2")), qs2);
  EXPECT_EQ(ReadBytes(dir.File("edge.qbj")), qbj);

  // Changing one box stores that field only, by the typed-value rule; its
  // neighbours keep the file's values.
  OnCommand(e, kCmdShapeProperties);
  TypeProperty(kPropOffsetY, "-128");
  EXPECT_EQ(S(e.doc.list.current).offsetY, 0);
  EXPECT_NE(Warning(kPropOffsetY), "");
  EXPECT_EQ(std::tie(S(0).offsetX, S(0).replacement, S(0).tavrelX, S(0).tavrelY), std::tuple(-128, -1, -128, -128));
  EXPECT_EQ(e.doc.state.modified, kModified);
  // A check box clicked stores that flag alone.
  dlg.Click(kPropertiesDialog, kPropGettable);
  EXPECT_EQ(std::tie(S(0).gettable, S(0).walkable, S(0).tavrelX), std::tuple(1, 1, -128));
}

TEST_F(DialogsTest, ValuesGoIntoTheShapeBeingLeftAndTheTitleFollowsTheCurrentShape) {
  e.doc.state.qbjFlag = 1;
  S(1).offsetX = 11;
  S(1).offsetY = -22;
  S(1).gettable = 1;
  OnCommand(e, kCmdShapeProperties);
  dlg.Click(kPropertiesDialog, kPropSittable);
  EXPECT_EQ(e.doc.state.modified, kModified);
  OnCommand(e, kCmdNextShape);
  EXPECT_EQ(S(0).sittable, 1);
  // Filling for shape 1 did not read shape 0's half-replaced values into it.
  EXPECT_EQ(std::tie(S(1).offsetX, S(1).offsetY, S(1).sittable, S(1).gettable), std::tuple(11, -22, 0, 1));
  EXPECT_FALSE(dlg.Item(kPropertiesDialog, kPropSittable).checked);
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetX), "11");
  OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdNextShape);
  EXPECT_EQ(dlg.Find(kPropertiesDialog)->title, "Shape 3 properties");

  // Closing reads the values back and hides the window; it opens as it was.
  TypeProperty(kPropOffsetX, "300");
  dlg.Close(kPropertiesDialog);
  EXPECT_FALSE(dlg.DialogVisible(kPropertiesDialog));
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetX), "300");
  // While hidden it still follows the document.
  OnCommand(e, kCmdPreviousShape);
  EXPECT_EQ(dlg.Find(kPropertiesDialog)->title, "Shape 2 properties");
  OnCommand(e, kCmdShapeProperties);
  EXPECT_EQ(dlg.created, std::vector<int>{kPropertiesDialog});
}

TEST_F(DialogsTest, TypedPropertiesAreSavedAndExitAsksBeforeDroppingThem) {
  OnCommand(e, kCmdShapeProperties);
  TypeProperty(kPropOffsetX, "42");
  hp.answers = {Answer::Cancel};
  OnCommand(e, kCmdExit);
  EXPECT_FALSE(hp.quitCode);
  hp.fileNames = {dir.File("typed.qsh")};
  OnCommand(e, kCmdSave);
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  OnCommand(e, kCmdExit);
  EXPECT_EQ(hp.quitCode, 0);
  OpenPath(e.doc, e.canvas, e.ui(), dir.File("typed.qsh"));
  EXPECT_EQ(S(0).offsetX, 42);
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetX), "42");  // Open refills the window
}

TEST_F(DialogsTest, PresetsRevertAndTheObjectFileImportRefillTheWindow) {
  OnCommand(e, kCmdShapeProperties);
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdDefaultQs2Numbering);
  EXPECT_TRUE(dlg.Item(kPropertiesDialog, kPropQs2Flag).checked);
  EXPECT_EQ(Text(kPropertiesDialog, kPropReplacement), std::to_string(S(0).replacement));
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdPresetFloors);
  EXPECT_TRUE(dlg.Item(kPropertiesDialog, kPropQbjFlag).checked);
  EXPECT_EQ(dlg.Item(kPropertiesDialog, kPropWalkable).checked, S(0).walkable == 1);
  // Revert without a file changes nothing, not even what was typed.
  TypeProperty(kPropOffsetX, "500");
  hp.answers = {Answer::Yes};
  OnCommand(e, kCmdRevertShape);
  EXPECT_EQ(Text(kPropertiesDialog, kPropOffsetX), "500");
}

TEST_F(DialogsTest, MovesWrapInShortListsAndStillReloadTheShape) {
  for (auto [count, from, command, to] : {std::tuple{3, 2, kCmdForward8, 1}, {3, 0, kCmdBackward8, 1},
                                          {1, 0, kCmdForward8, 0}, {1, 0, kCmdBackward8, 0},
                                          {1, 0, kCmdNextShape, 0}, {1, 0, kCmdPreviousShape, 0}}) {
    e.doc.list.count = count;
    e.doc.list.current = from;
    ShowCurrent();
    e.canvas.At(0, 255) = 77;  // an edit the move commits, then loads back
    OnCommand(e, command);
    EXPECT_EQ(e.doc.list.current, to) << count << " " << from << " " << command;
    EXPECT_EQ(S(from).pixels[0], 77);
    EXPECT_EQ(e.canvas.At(0, 255), to == from ? 77 : 0);
  }
}

TEST_F(DialogsTest, InsertAddsUpTo2000EmptyShapesWhereChosenAndKeepsTheCanvas) {
  OnCommand(e, kCmdAddShapes);
  EXPECT_EQ(Text(kInsertDialog, kInsertCount), "5");
  EXPECT_EQ(dlg.Item(kInsertDialog, kInsertWhere).items.size(), 4u);
  EXPECT_EQ(dlg.Item(kInsertDialog, kInsertWhere).selection, 0);
  for (const char* bad : {"2001", "-1"}) {
    dlg.Type(kInsertDialog, kInsertCount, bad);
    dlg.Click(kInsertDialog, kInsertAddButton);
    EXPECT_EQ(e.doc.list.count, 20) << bad;
    EXPECT_EQ(hp.messageTexts().back(), "Add 0 to 2000 shapes at a time.");
    EXPECT_TRUE(dlg.DialogVisible(kInsertDialog));  // stays so the number can be put right
  }
  dlg.Type(kInsertDialog, kInsertCount, "2000");
  dlg.Click(kInsertDialog, kInsertAddButton);
  EXPECT_EQ(e.doc.list.count, 2020);
  EXPECT_FALSE(dlg.DialogVisible(kInsertDialog));
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 0 / 2019");

  // Three before shape 5: the same shape, now number 8, stays on the canvas.
  Paint(5, 33);
  e.doc.list.current = 5;
  ShowCurrent();
  OnCommand(e, kCmdShapeProperties);
  OnCommand(e, kCmdAddShapes);
  EXPECT_EQ(Text(kInsertDialog, kInsertCount), "2000");  // as it was left
  dlg.Type(kInsertDialog, kInsertCount, "3");
  dlg.Choose(kInsertDialog, kInsertWhere, kAddBeforeCurrent);
  dlg.Click(kInsertDialog, kInsertAddButton);
  EXPECT_EQ(e.doc.list.current, 8);
  EXPECT_EQ(S(8).pixels[0], 33);
  EXPECT_FALSE(S(5).HasPixels());
  EXPECT_EQ(e.canvas.At(0, 255), 33);
  EXPECT_EQ(dlg.Find(kPropertiesDialog)->title, "Shape 8 properties");
  // Opened again it shows the count and place chosen last time.
  OnCommand(e, kCmdAddShapes);
  EXPECT_EQ(Text(kInsertDialog, kInsertCount), "3");
  EXPECT_EQ(dlg.Item(kInsertDialog, kInsertWhere).selection, kAddBeforeCurrent);
  dlg.Click(kInsertDialog, platform::kCancelButton);
  EXPECT_FALSE(dlg.DialogVisible(kInsertDialog));
  EXPECT_EQ(dlg.created.size(), 2u);
}

TEST_F(DialogsTest, SwapExchangesWithTheCurrentShapeOrSaysThereIsNoSuchShape) {
  Paint(4, 21);
  S(4).offsetX = 9;
  e.canvas.At(0, 255) = 55;  // shape 0 gets this through the commit first
  OnCommand(e, kCmdSwapWith);
  EXPECT_EQ(Text(kSwapDialog, kSwapNumber), "0");
  for (const char* bad : {"20", "-1", "x"}) {
    dlg.Type(kSwapDialog, kSwapNumber, bad);
    dlg.Click(kSwapDialog, kSwapButton);
    if (std::string(bad) == "x") continue;  // reads as 0, the current shape: nothing to swap
    EXPECT_EQ(hp.messageTexts().back(), "No such shape.") << bad;
    EXPECT_TRUE(dlg.DialogVisible(kSwapDialog));
  }
  EXPECT_EQ(hp.messages.size(), 2u);
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
  OnCommand(e, kCmdSwapWith);
  dlg.Type(kSwapDialog, kSwapNumber, "4");
  dlg.Click(kSwapDialog, kSwapButton);
  EXPECT_EQ(e.doc.list.current, 0);
  EXPECT_EQ(std::tie(S(0).offsetX, S(0).pixels[0]), std::tuple(9, uint8_t{21}));
  EXPECT_EQ(S(4).pixels[0], 55);
  EXPECT_EQ(e.canvas.At(0, 255), 21);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_FALSE(dlg.DialogVisible(kSwapDialog));
}

TEST_F(DialogsTest, JumpGoesToTypedShapesStaysOpenAndShowsTheCurrentShapeEachTime) {
  OnCommand(e, kCmdNextShape);
  OnCommand(e, kCmdJumpWindow);
  EXPECT_EQ(Text(kJumpDialog, kJumpNumber), "1");
  dlg.Type(kJumpDialog, kJumpNumber, "20");  // count itself: one past the last
  dlg.Click(kJumpDialog, kJumpButton);
  EXPECT_EQ(hp.messageTexts(), std::vector<std::string>{"No such shape."});
  EXPECT_EQ(e.doc.list.current, 1);
  e.canvas.At(0, 255) = 66;
  dlg.Type(kJumpDialog, kJumpNumber, "19");
  dlg.Click(kJumpDialog, kJumpButton);
  EXPECT_EQ(e.doc.list.current, 19);
  EXPECT_EQ(S(1).pixels[0], 66);
  EXPECT_TRUE(dlg.DialogVisible(kJumpDialog));
  EXPECT_EQ(hp.surface.texts.back().text, "Shape 19 / 19");
  dlg.Close(kJumpDialog);
  EXPECT_FALSE(dlg.DialogVisible(kJumpDialog));
  OnCommand(e, kCmdPreviousShape);
  OnCommand(e, kCmdJumpWindow);
  EXPECT_EQ(Text(kJumpDialog, kJumpNumber), "18");
}

TEST_F(DialogsTest, OnlyTheWallPresetAndTheEmptyHistoryStayGreyed) {
  std::vector<int> greyed;
  for (int id : MenuCommandIds())
    if (!hp.menuEnabled.at(id)) greyed.push_back(id);
  std::sort(greyed.begin(), greyed.end());
  // Undo and Redo wait for a step to take back or do again; the WALL preset
  // has no values to set; Clear List waits for a recent file.
  std::vector<int> expected = {kCmdPresetWall, kCmdUndo, kCmdRedo, kCmdClearRecent};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(greyed, expected);
}

TEST_F(DialogsTest, HelpShowsItsTextInAWindowOfItsOwnWhenNoViewerStarts) {
  OnCommand(e, kCmdAbout);
  EXPECT_NE(hp.messageTexts().back().find(e.paths.programDir + "help.txt"), std::string::npos);
  const size_t boxes = hp.messages.size();
  hp.openTextFileWorks = false;
  OnCommand(e, kCmdHelp);
  EXPECT_EQ(hp.messages.size(), boxes);  // no error box
  ASSERT_TRUE(dlg.DialogVisible(kHelpDialog));
  const std::string text = Text(kHelpDialog, kHelpText);
  EXPECT_EQ(text.rfind("QSH EDITOR - HELP\n", 0), 0u);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_NE(text.find("Ctrl+Z or U"), std::string::npos);
  dlg.Close(kHelpDialog);
  EXPECT_FALSE(dlg.DialogVisible(kHelpDialog));

  // A viewer that started and then gave up brings the same window.
  hp.openTextFileWorks = true;
  OnCommand(e, kCmdHelp);
  EXPECT_FALSE(dlg.DialogVisible(kHelpDialog));
  OnTextViewerFailed(e, HelpPath(e));
  EXPECT_TRUE(dlg.DialogVisible(kHelpDialog));

  // Without the file there is nothing to show but why.
  dlg.Close(kHelpDialog);
  std::filesystem::remove(dir.File("help.txt"));
  hp.openTextFileWorks = false;
  OnCommand(e, kCmdHelp);
  EXPECT_EQ(hp.messageTexts().back().rfind("Could not open the help text \"" + e.paths.programDir + "help.txt\": ", 0),
            0u);
  EXPECT_FALSE(dlg.DialogVisible(kHelpDialog));
}

namespace {

const std::filesystem::path kSheets = std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data";

std::vector<uint8_t> GreyBmp(int w, int h, uint8_t value) {
  qshe::testing::BmpSpec spec;
  spec.width = w;
  spec.height = h;
  spec.table = qshe::testing::GreyTable(256);
  spec.pixels.assign(static_cast<size_t>((w + 3) / 4 * 4 * h), value);
  return qshe::testing::MakeBmp(spec);
}

}  // namespace

TEST_F(DialogsTest, ImportFilesTakesAFolderIntoTheDocumentAfterCommittingThePainting) {
  OnCommand(e, kCmdImportMultiple);
  ASSERT_TRUE(dlg.DialogVisible(kImportFilesDialog));
  EXPECT_EQ(dlg.ListSelection(kImportFilesDialog, kFilesTransparency), 0);  // Automatic
  EXPECT_EQ(dlg.ListSelection(kImportFilesDialog, kFilesMethod), 0);        // Nearest colour
  EXPECT_FALSE(dlg.Item(kImportFilesDialog, kFilesCenter).checked);
  EXPECT_EQ(dlg.ListSelection(kImportFilesDialog, kFilesMode), 0);
  EXPECT_EQ(dlg.ListSelection(kImportFilesDialog, kFilesPlacement), 0);
  EXPECT_EQ(Text(kImportFilesDialog, kFilesPattern), "");

  WriteBytes(dir.File("pic1.bmp"), GreyBmp(3, 2, 50));
  WriteBytes(dir.File("pic2.bmp"), GreyBmp(5, 4, 60));
  const int count = e.doc.list.count;
  e.canvas.At(0, 255) = 9;  // painted, not committed yet
  e.window.canvasChanged = 1;
  hp.fileNames.push_back(dir.File("pic1.bmp"));
  dlg.Click(kImportFilesDialog, kFilesBrowse);
  // Both kinds of picture first, the bitmaps alone still there, and a title
  // that says what the choice is for.
  EXPECT_EQ(hp.openDialogs.back().filters[0].description, "Pictures (*.bmp *.png)");
  EXPECT_EQ(hp.openDialogs.back().filters[0].pattern, "*.bmp;*.png");
  EXPECT_EQ(hp.openDialogs.back().filters[1].description, "Windows Bitmap Files (*.bmp)");
  EXPECT_EQ(hp.openDialogs.back().title, "Choose a picture to import");
  EXPECT_EQ(Text(kImportFilesDialog, kFilesPattern), dir.File("pic1.bmp"));
  dlg.Type(kImportFilesDialog, kFilesPattern, dir.File("pic?.bmp"));
  dlg.Choose(kImportFilesDialog, kFilesPlacement, 4);  // to the end
  dlg.Click(kImportFilesDialog, kFilesCenter);
  dlg.Click(kImportFilesDialog, kFilesImport);

  EXPECT_FALSE(dlg.DialogVisible(kImportFilesDialog));
  ASSERT_EQ(e.doc.list.count, count + 2);
  EXPECT_EQ(S(count).width, 3);
  EXPECT_EQ(S(count + 1).width, 5);
  EXPECT_EQ(S(count + 1).offsetX, 30);  // centred
  EXPECT_EQ(S(0).pixels[0], 9) << "the painting reached the shape before the canvas was reloaded";
  EXPECT_EQ(e.canvas.At(0, 255), 9);
  EXPECT_EQ(e.doc.state.modified, kModified);
  EXPECT_EQ(hp.cursor(), platform::Cursor::Arrow);

  // Shown again, it keeps what the user set.
  OnCommand(e, kCmdImportMultiple);
  EXPECT_TRUE(dlg.Item(kImportFilesDialog, kFilesCenter).checked);
  EXPECT_EQ(dlg.ListSelection(kImportFilesDialog, kFilesPlacement), 4);

  // Files that are no pictures: one message, and the document is as it was.
  WriteBytes(dir.File("a.txt"), {'a'});
  WriteBytes(dir.File("b.txt"), {'b'});
  e.doc.state.modified = kUnmodified;
  dlg.Type(kImportFilesDialog, kFilesPattern, dir.File("*.txt"));
  dlg.Click(kImportFilesDialog, kFilesImport);
  EXPECT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(e.doc.list.count, count + 2);
  EXPECT_EQ(e.doc.state.modified, kUnmodified);
}

TEST_F(DialogsTest, BothImportWindowsTakePathsLongerThan254Characters) {
  // A folder 300 characters deep.
  std::filesystem::path deep = dir.path();
  while (deep.string().size() < 300) deep /= std::string(40, 'd');
  std::filesystem::create_directories(deep);
  WriteBytes((deep / "pic1.bmp").string(), GreyBmp(3, 2, 50));
  WriteBytes((deep / "pic2.bmp").string(), GreyBmp(5, 4, 60));
  std::filesystem::copy_file(kSheets / "im_sheet.pcx", deep / "sheet.pcx");
  const int count = e.doc.list.count;

  OnCommand(e, kCmdImportMultiple);
  dlg.Type(kImportFilesDialog, kFilesPattern, (deep / "pic?.bmp").string());
  dlg.Click(kImportFilesDialog, kFilesImport);
  EXPECT_TRUE(hp.messages.empty()) << hp.messageTexts().front();
  EXPECT_EQ(e.doc.list.count, count + 2);

  OnCommand(e, kCmdImportCollage);
  dlg.Type(kImportCollageDialog, kCollageFile, (deep / "sheet.pcx").string());
  dlg.Click(kImportCollageDialog, kCollageImport);
  EXPECT_TRUE(hp.messages.empty());
  EXPECT_EQ(e.doc.list.count, count + 5);
}

TEST_F(DialogsTest, ImportCollageCutsASheetIntoShapes) {
  OnCommand(e, kCmdImportCollage);
  ASSERT_TRUE(dlg.DialogVisible(kImportCollageDialog));
  EXPECT_FALSE(dlg.Item(kImportCollageDialog, kCollageCenter).checked);
  const std::string sheet = (kSheets / "im_sheet.pcx").string();
  hp.fileNames.push_back(sheet);
  dlg.Click(kImportCollageDialog, kCollageBrowse);
  // Sheets of any kind first, the game's own PCX sheets alone next.
  EXPECT_EQ(hp.openDialogs.back().filters[0].pattern, "*.pcx;*.bmp;*.png");
  EXPECT_EQ(hp.openDialogs.back().filters[1].description, "Pellory Scan PCX files (*.pcx)");
  EXPECT_EQ(hp.openDialogs.back().title, "Choose a picture collage to import");
  EXPECT_EQ(hp.openDialogs.back().defaultExtension, "pcx");
  EXPECT_EQ(Text(kImportCollageDialog, kCollageFile), sheet);
  const int count = e.doc.list.count;
  dlg.Choose(kImportCollageDialog, kCollagePlacement, 3);  // to the beginning
  dlg.Click(kImportCollageDialog, kCollageImport);
  EXPECT_FALSE(dlg.DialogVisible(kImportCollageDialog));
  EXPECT_TRUE(hp.messages.empty()) << hp.messageTexts().front();
  ASSERT_EQ(e.doc.list.count, count + 3);
  EXPECT_EQ(S(0).width, 32);
  EXPECT_EQ(S(1).width, 6);
  EXPECT_EQ(e.doc.list.current, 0);

  // A file that is no sheet is named and the dialog stays closed after.
  OnCommand(e, kCmdImportCollage);
  dlg.Type(kImportCollageDialog, kCollageFile, dir.File("none.pcx"));
  dlg.Click(kImportCollageDialog, kCollageImport);
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(e.doc.list.count, count + 3);
}
