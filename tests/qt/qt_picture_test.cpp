// File > Import > Single picture through the Qt window's own menu entry: the
// picture shows on the canvas at once.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QTest>

#include "app/command_table.h"
#include "interchange/bitmap_export.h"
#include "interchange/picture_import.h"
#include "platform/qt/qt_dialog_host.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

TEST(QtPictures, ImportSinglePictureFromTheMenuShowsThePicture) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto [window, editor] = std::tie(q.window, q.editor);
  Shape picture;
  AllocateShape(picture, 4, 4);
  std::fill_n(picture.pixels.get(), 16, uint8_t{70});
  const std::string path = q.dir.File("pic.png");
  ASSERT_FALSE(WriteShapePicture(path, picture, editor.window.gamePalette));
  q.scripted.fileNames = {path};
  QAction* action = window.MenuAction(kCmdImportSingle);
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(action->isEnabled());
  action->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(q.scripted.messages.empty());
  // The "Import picture" window first, its previews in game colours.
  platform::QtDialogHost& host = window.dialogHost();
  QDialog* dialog = host.DialogWindow(kImportPictureDialog);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Import picture - pic.png");
  const auto& p = editor.window.gamePalette;
  QImage small = host.ItemWidget(kImportPictureDialog, kPictureSmall)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int scale = small.width() / kSmallPreviewSide;
  ASSERT_GE(scale, 1);
  EXPECT_EQ(small.pixel(3 * scale, 3 * scale), qRgb(p[3 * 70], p[3 * 70 + 1], p[3 * 70 + 2]));
  EXPECT_EQ(editor.canvas.At(3, 252), 0);  // nothing changed yet
  auto* import = qobject_cast<QPushButton*>(host.ItemWidget(kImportPictureDialog, kPictureImport));
  ASSERT_NE(import, nullptr);
  QTest::mouseClick(import, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(editor.canvas.At(3, 252), 70);
  // Canvas column c, row r sits at (184 + c, 263 - r) of the client area.
  QImage grab = window.clientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(grab.pixel(186, 9), qRgb(p[3 * 70], p[3 * 70 + 1], p[3 * 70 + 2]));
  window.close();
}
