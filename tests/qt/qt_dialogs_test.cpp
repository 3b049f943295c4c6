// The modeless dialogs as real Qt tool windows: typed into with key events,
// clicked with the mouse, laid out in dialog units of their font.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "app/command_table.h"
#include "interchange/bitmap_export.h"
#include "interchange/import_dialogs.h"
#include "properties/properties_window.h"
#include "properties/shape_dialogs.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

namespace {

struct QtDialogs : ::testing::Test {
  QtEditor q;
  platform::QtDialogHost& host = q.window.dialogHost();

  void SetUp() override { ASSERT_TRUE(q.Start()); }
  void Open(int command) {
    q.window.MenuAction(command)->trigger();
    QApplication::processEvents();
  }
  template <typename W>
  W* Item(int dialog, int control) {
    W* w = qobject_cast<W*>(host.ItemWidget(dialog, control));
    EXPECT_NE(w, nullptr) << dialog << " " << control;
    return w;
  }
  // Replaces an edit's text by typing, as the user would after selecting it.
  void TypeInto(int dialog, int control, const QString& keys) {
    QLineEdit* edit = Item<QLineEdit>(dialog, control);
    QApplication::setActiveWindow(host.DialogWindow(dialog));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
  }
  Shape& S(int i) { return q.editor.doc.list.slots[static_cast<size_t>(i)]; }
};

}  // namespace

TEST_F(QtDialogs, PropertiesWindowTakesTypedNumbersAndKeepsTheMainWindowsKeysOut) {
  Open(kCmdShapeProperties);
  QDialog* dialog = host.DialogWindow(kPropertiesDialog);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Shape 0 properties");

  // The layout is the resource's, in units of the dialog's own font (or a
  // little more where a text needs it).
  const platform::DialogBaseUnits base = host.LayoutUnits(kPropertiesDialog);
  EXPECT_GE(base.charWidth, platform::QtDialogHost::BaseUnitsOf(*dialog).charWidth);
  EXPECT_EQ(dialog->width(), 108 * base.charWidth / 4);
  EXPECT_EQ(dialog->height(), 202 * base.charHeight / 8);
  QLineEdit* x = Item<QLineEdit>(kPropertiesDialog, kPropOffsetX);
  EXPECT_EQ(x->pos(), QPoint(56 * base.charWidth / 4, 11 * base.charHeight / 8));
  EXPECT_EQ(x->height(), 12 * base.charHeight / 8);
  // At least as wide as the resource says, wider where "-128" needs it.
  EXPECT_GE(x->width(), 18 * base.charWidth / 4);

  // "+" typed into the box stays there: it is not the Next Shape key now.
  TypeInto(kPropertiesDialog, kPropOffsetX, "+-5");
  EXPECT_EQ(q.editor.doc.list.current, 0);
  EXPECT_EQ(x->text().toStdString(), "+-5");
  TypeInto(kPropertiesDialog, kPropOffsetX, "-5");
  EXPECT_EQ(S(0).offsetX, -5);
  TypeInto(kPropertiesDialog, kPropOffsetY, "200");
  EXPECT_EQ(S(0).offsetY, 0);
  EXPECT_FALSE(Item<QLineEdit>(kPropertiesDialog, kPropOffsetY)->toolTip().isEmpty());

  // The QBJ switch clicked with the mouse opens the object fields.
  QCheckBox* qbj = Item<QCheckBox>(kPropertiesDialog, kPropQbjFlag);
  QCheckBox* sittable = Item<QCheckBox>(kPropertiesDialog, kPropSittable);
  EXPECT_FALSE(sittable->isEnabled());
  QTest::mouseClick(qbj, Qt::LeftButton, {}, QPoint(5, qbj->height() / 2));
  EXPECT_EQ(q.editor.doc.state.qbjFlag, 1);
  ASSERT_TRUE(sittable->isEnabled());
  QTest::mouseClick(sittable, Qt::LeftButton, {}, QPoint(5, sittable->height() / 2));
  EXPECT_EQ(S(0).sittable, 1);

  // Escape hides the window and keeps what it shows.
  QTest::keyClick(x, Qt::Key_Escape);
  EXPECT_FALSE(dialog->isVisible());
  Open(kCmdShapeProperties);
  EXPECT_EQ(x->text().toStdString(), "-5");

  // With the main window active, the same key is the Next Shape key again.
  QApplication::setActiveWindow(&q.window);
  QTest::keyClick(q.window.clientArea(), '+');
  EXPECT_EQ(q.editor.doc.list.current, 1);
}

TEST_F(QtDialogs, InsertShapesAddsWhatIsTypedWhereTheListSays) {
  Open(kCmdAddShapes);
  TypeInto(kInsertDialog, kInsertCount, "3");
  QComboBox* where = Item<QComboBox>(kInsertDialog, kInsertWhere);
  ASSERT_EQ(where->count(), 4);
  EXPECT_EQ(where->itemText(1).toStdString(), "Before current shape");
  where->setCurrentIndex(kAddAtBeginning);
  QTest::mouseClick(Item<QPushButton>(kInsertDialog, kInsertAddButton), Qt::LeftButton);
  EXPECT_EQ(q.editor.doc.list.count, 23);
  EXPECT_EQ(q.editor.doc.list.current, 3);
  EXPECT_FALSE(host.DialogWindow(kInsertDialog)->isVisible());
}

TEST_F(QtDialogs, SwapAndJumpAnswerEnterWithTheirDefaultButton) {
  AllocateShape(S(4), 1, 1);
  S(4).pixels[0] = 9;
  Open(kCmdSwapWith);
  TypeInto(kSwapDialog, kSwapNumber, "4");
  QTest::keyClick(Item<QLineEdit>(kSwapDialog, kSwapNumber), Qt::Key_Return);
  EXPECT_TRUE(S(0).HasPixels());
  EXPECT_FALSE(S(4).HasPixels());
  EXPECT_FALSE(host.DialogWindow(kSwapDialog)->isVisible());

  Open(kCmdJumpWindow);
  EXPECT_EQ(Item<QLineEdit>(kJumpDialog, kJumpNumber)->text().toStdString(), "0");
  TypeInto(kJumpDialog, kJumpNumber, "7");
  QTest::mouseClick(Item<QPushButton>(kJumpDialog, kJumpButton), Qt::LeftButton);
  EXPECT_EQ(q.editor.doc.list.current, 7);
  TypeInto(kJumpDialog, kJumpNumber, "20");
  QTest::keyClick(Item<QLineEdit>(kJumpDialog, kJumpNumber), Qt::Key_Enter);
  EXPECT_EQ(q.scripted.messageTexts(), std::vector<std::string>{"No such shape."});
  EXPECT_TRUE(host.DialogWindow(kJumpDialog)->isVisible());
}

TEST_F(QtDialogs, ImportFilesTakesThePatternTypedAndTheListsChosen) {
  Shape pic;
  AllocateShape(pic, 4, 3);
  std::fill_n(pic.pixels.get(), 12, uint8_t{40});
  for (const char* name : {"a1.bmp", "a2.bmp"})
    ASSERT_FALSE(WriteShapePicture(q.dir.File(name), pic, q.editor.window.gamePalette));
  Open(kCmdImportMultiple);
  ASSERT_TRUE(host.DialogWindow(kImportFilesDialog)->isVisible());
  EXPECT_EQ(host.DialogWindow(kImportFilesDialog)->windowTitle().toStdString(), "Import Files");
  EXPECT_EQ(Item<QComboBox>(kImportFilesDialog, kFilesTransparency)->currentText().toStdString(), "Automatic");
  QComboBox* place = Item<QComboBox>(kImportFilesDialog, kFilesPlacement);
  ASSERT_EQ(place->count(), 5);
  place->setCurrentIndex(3);  // to the beginning
  TypeInto(kImportFilesDialog, kFilesPattern, QString::fromStdString(q.dir.File("a?.bmp")));
  QTest::mouseClick(Item<QPushButton>(kImportFilesDialog, kFilesImport), Qt::LeftButton);
  EXPECT_EQ(q.editor.doc.list.count, 22);
  EXPECT_EQ(S(0).width, 4);
  EXPECT_EQ(S(1).height, 3);
  EXPECT_FALSE(host.DialogWindow(kImportFilesDialog)->isVisible());
}

TEST_F(QtDialogs, ImportCollageOpensWithCtrlUAndCutsTheSheet) {
  QApplication::setActiveWindow(&q.window);
  QTest::keyClick(&q.window, Qt::Key_U, Qt::ControlModifier);
  QApplication::processEvents();
  QDialog* dialog = host.DialogWindow(kImportCollageDialog);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Import picture collage");
  const std::string sheet =
      (std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data" / "im_sheet.pcx").string();
  q.scripted.fileNames.push_back(sheet);
  QTest::mouseClick(Item<QPushButton>(kImportCollageDialog, kCollageBrowse), Qt::LeftButton);
  EXPECT_EQ(Item<QLineEdit>(kImportCollageDialog, kCollageFile)->text().toStdString(), sheet);
  Item<QComboBox>(kImportCollageDialog, kCollagePlacement)->setCurrentIndex(4);  // to the end
  QTest::mouseClick(Item<QPushButton>(kImportCollageDialog, kCollageImport), Qt::LeftButton);
  EXPECT_TRUE(q.scripted.messages.empty());
  EXPECT_EQ(q.editor.doc.list.count, 23);
  EXPECT_EQ(S(20).width, 32);
  EXPECT_FALSE(dialog->isVisible());
}
