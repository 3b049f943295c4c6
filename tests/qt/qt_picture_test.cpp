// File > Import > Single picture through the Qt window's own menu entry: the
// picture shows on the canvas at once.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>

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

TEST(QtPictures, AClickOnTheLargePreviewPicksThatColourAndRedrawsBoth) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto [window, editor] = std::tie(q.window, q.editor);
  // 8 x 8 of colour 70 with a 2 x 2 block of colour 90 at (4, 4) from the top.
  Shape picture;
  AllocateShape(picture, 8, 8);
  std::fill_n(picture.pixels.get(), 64, uint8_t{70});
  for (int row : {2, 3})
    for (int x : {4, 5}) picture.pixels[static_cast<size_t>(row * 8 + x)] = 90;
  const std::string path = q.dir.File("pic.bmp");
  ASSERT_FALSE(WriteShapePicture(path, picture, editor.window.gamePalette));
  q.scripted.fileNames = {path};
  window.MenuAction(kCmdImportSingleWithSettings)->trigger();
  QApplication::processEvents();
  platform::QtDialogHost& host = window.dialogHost();
  ASSERT_TRUE(host.DialogWindow(kImportPictureDialog)->isVisible());
  QWidget* large = host.ItemWidget(kImportPictureDialog, kPictureLarge);
  const int scale = large->width() / kLargePreviewSide;
  ASSERT_GE(scale, 1);
  // Picture pixel (4, 4) is x2 preview pixel (8..9, 8..9).
  QTest::mouseClick(large, Qt::LeftButton, Qt::NoModifier, QPoint(9 * scale, 9 * scale));
  QApplication::processEvents();
  const auto& p = editor.window.gamePalette;
  char hex[8];
  std::snprintf(hex, sizeof hex, "#%02x%02x%02x", p[3 * 90], p[3 * 90 + 1], p[3 * 90 + 2]);
  EXPECT_EQ(qobject_cast<QLineEdit*>(host.ItemWidget(kImportPictureDialog, kPictureColor))->text().toStdString(), hex);
  EXPECT_EQ(qobject_cast<QComboBox*>(host.ItemWidget(kImportPictureDialog, kPictureTransparency))->currentIndex(), 2);
  // The block is now the canvas view's background in both previews.
  QImage small = host.ItemWidget(kImportPictureDialog, kPictureSmall)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int s = small.width() / kSmallPreviewSide;
  EXPECT_NE(small.pixel(4 * s, 4 * s), qRgb(p[3 * 90], p[3 * 90 + 1], p[3 * 90 + 2]));
  EXPECT_EQ(small.pixel(0, 0), qRgb(p[3 * 70], p[3 * 70 + 1], p[3 * 70 + 2]));
  window.close();
}
