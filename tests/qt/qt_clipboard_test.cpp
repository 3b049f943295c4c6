// The selection on the Qt window with real mouse events, and the desktop
// clipboard: pictures another program offers, pictures and exact indices the
// editor offers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <tuple>

#include "app/command_table.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "platform/qt/qt_clipboard.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;
using qshe::testing::SendMouse;

namespace {

// A left-button drag between window points.
void Drag(QWidget* area, QPoint from, QPoint to) {
  SendMouse(area, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  SendMouse(area, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
  SendMouse(area, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  SendMouse(area, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}
QPoint At(int column, int row) { return {184 + column, 263 - row}; }

// Zooming in and out puts a floating selection down.
void PutDown(Editor& e) {
  OnCommand(e, kCmdZoomIn);
  OnCommand(e, kCmdZoomOut);
}

QRgb PaletteRgb(const Editor& e, int index) {
  const auto& p = e.window.gamePalette;
  return qRgb(p[3 * index], p[3 * index + 1], p[3 * index + 2]);
}

TEST(QtSelection, SelectMoveDropAndUndoWithTheMouse) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto [window, editor] = std::tie(q.window, q.editor);
  QWidget* area = window.clientArea();
  for (int r = 250; r < 254; ++r)
    for (int c = 0; c < 4; ++c) editor.canvas.At(c, r) = static_cast<uint8_t>(40 + c);
  RecordCanvasStep(editor, "Pencil");
  const Canvas before = editor.canvas;
  OnCommand(editor, kCmdSelect);

  Drag(area, At(0, 253), At(3, 250));
  ASSERT_TRUE(IsFloating(editor.selection));
  Drag(area, At(1, 251), At(31, 241));  // 30 right, 10 down
  QApplication::processEvents();
  QImage grab = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(grab.pixel(At(32, 241)), PaletteRgb(editor, 42));
  Drag(area, At(120, 120), At(120, 120));  // a click elsewhere puts it down
  EXPECT_FALSE(SelectionExists(editor.selection));
  EXPECT_EQ(editor.canvas.At(32, 241), 42);
  EXPECT_EQ(editor.canvas.At(2, 251), 0);
  EXPECT_EQ(editor.doc.state.modified, kModified);

  OnCommand(editor, kCmdUndo);
  EXPECT_EQ(editor.canvas.pixels, before.pixels);
  window.close();
}

TEST(QtClipboard, CopyOffersPngBmpAndTheExactIndicesAndPasteTakesThemBack) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& editor = q.editor;
  editor.canvas.At(0, 255) = 0;
  editor.canvas.At(1, 255) = 120;
  editor.canvas.At(0, 254) = 121;
  editor.canvas.At(1, 254) = 5;  // a display colour: matching would never give it
  const Canvas before = editor.canvas;
  OnCommand(editor, kCmdSelectAll);
  OnCommand(editor, kCmdCopy);

  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->hasFormat("image/bmp"));
  EXPECT_TRUE(data->hasFormat(platform::kIndicesMimeType));
  QImage png;
  ASSERT_TRUE(png.loadFromData(data->data("image/png"), "PNG"));
  EXPECT_EQ(png.size(), QSize(256, 256));
  EXPECT_EQ(png.pixel(0, 0), qRgb(199, 144, 186));  // index 0 as the key colour
  EXPECT_EQ(png.pixel(1, 0), PaletteRgb(editor, 120));
  EXPECT_EQ(png.pixel(1, 1), PaletteRgb(editor, 5));

  // Pasted back in this window: the indices, not the matched colours.
  PutDown(editor);
  editor.canvas.pixels.fill(0);
  OnCommand(editor, kCmdPaste);
  ASSERT_TRUE(IsFloating(editor.selection));
  PutDown(editor);
  EXPECT_EQ(editor.canvas.pixels, before.pixels);
  q.window.close();
}

TEST(QtClipboard, APictureFromAnotherProgramIsMatchedAndAlphaZeroIsTransparent) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& editor = q.editor;
  const QRgb game = PaletteRgb(editor, 130);
  struct Case {
    const char* what;
    const char* format;
  };
  for (const Case c : {Case{"png", "PNG"}, Case{"bmp", "BMP"}}) {
    QImage picture(300, 3, QImage::Format_ARGB32);
    picture.fill(game);
    picture.setPixel(1, 0, qRgba(0, 0, 0, 0));
    picture.setPixel(2, 0, qRgb(199, 144, 186));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, c.format);
    auto* offer = new QMimeData;
    offer->setData(QString("image/") + c.what, bytes);
    QGuiApplication::clipboard()->setMimeData(offer);

    editor.canvas.pixels.fill(0);
    editor.doc.state.modified = kUnmodified;
    OnCommand(editor, kCmdPaste);
    ASSERT_TRUE(IsFloating(editor.selection)) << c.what;
    EXPECT_EQ(Bounds(editor.selection).width(), 256) << c.what;
    EXPECT_EQ(Bounds(editor.selection).height(), 3) << c.what;
    EXPECT_EQ(editor.doc.state.modified, kModified) << c.what;
    PutDown(editor);
    EXPECT_EQ(editor.canvas.At(0, 255), 130) << c.what;
    EXPECT_EQ(editor.canvas.At(2, 255), 0) << c.what;  // the key colour
    if (std::string(c.what) == "png") {
      EXPECT_EQ(editor.canvas.At(1, 255), 0);  // alpha 0
    }
  }
  q.window.close();
}

}  // namespace
