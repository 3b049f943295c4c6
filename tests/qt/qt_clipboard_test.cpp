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

#include <array>

#include "app/command_table.h"
#include "interchange/bmp_builder.h"
#include "interchange/png_builder.h"
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
    EXPECT_EQ(Bounds(editor.selection).width(), 255) << c.what;
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

// What another program offers under one type.
void Offer(const char* type, const std::vector<uint8_t>& bytes) {
  auto* offer = new QMimeData;
  offer->setData(type, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(offer);
}

TEST(QtClipboard, PngAndBmpBytesGoThroughTheProgramsOwnReadersSoAlphaSurvives) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& editor = q.editor;
  const auto& pal = editor.window.gamePalette;
  // A PNG whose every pixel has alpha 0 is all transparent; Qt's image
  // would have given the colours.
  Offer("image/png", qshe::testing::RgbaPng(3, 2, [&](uint32_t, uint32_t) {
          return std::array<uint8_t, 4>{pal[3 * 130], pal[3 * 130 + 1], pal[3 * 130 + 2], 0};
        }));
  editor.canvas.pixels.fill(0);
  OnCommand(editor, kCmdPaste);
  ASSERT_TRUE(IsFloating(editor.selection));
  EXPECT_EQ(SelectionPixels(editor.selection, editor.canvas), std::vector<uint8_t>(6, 0));
  PutDown(editor);

  // A 32-bit bitmap file whose alpha is used: Qt's reader drops alpha.
  qshe::testing::BmpSpec bmp;
  bmp.width = 2;
  bmp.bits = 32;
  bmp.pixels = {pal[3 * 130 + 2], pal[3 * 130 + 1], pal[3 * 130], 255, pal[3 * 131 + 2], pal[3 * 131 + 1], pal[3 * 131], 0};
  Offer("image/bmp", qshe::testing::MakeBmp(bmp));
  OnCommand(editor, kCmdPaste);
  ASSERT_TRUE(IsFloating(editor.selection));
  EXPECT_EQ(SelectionPixels(editor.selection, editor.canvas), (std::vector<uint8_t>{130, 0}));
  PutDown(editor);
  EXPECT_TRUE(q.scripted.messages.empty());
  q.window.close();
}

TEST(QtClipboard, A9000x9000PngPastesItsTopLeftAndAnUnreadablePictureSaysWhy) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& editor = q.editor;
  std::vector<uint8_t> palette(768, 0);
  std::copy_n(editor.window.gamePalette.begin(), 768, palette.begin());
  // Index 40 + column % 100 in the top-left 255 x 255, 90 elsewhere.
  Offer("image/png", qshe::testing::LargeIndexedPng(9000, 9000, palette, [](uint32_t x, uint32_t y) {
          return static_cast<uint8_t>(x < 255 && y < 255 ? 40 + (x + y) % 100 : 90);
        }));
  editor.canvas.pixels.fill(0);
  OnCommand(editor, kCmdPaste);
  ASSERT_TRUE(IsFloating(editor.selection));
  EXPECT_EQ(Bounds(editor.selection).width(), 255);
  EXPECT_EQ(Bounds(editor.selection).height(), 255);
  PutDown(editor);
  EXPECT_EQ(editor.canvas.At(0, 255), 40);
  EXPECT_EQ(editor.canvas.At(7, 255 - 3), 50);
  EXPECT_EQ(editor.canvas.At(254, 1), 40 + (254 + 254) % 100);
  EXPECT_TRUE(q.scripted.messages.empty());

  // A picture in a format nobody here reads: the user is told, nothing changes.
  Offer("image/x-nonesuch", {1, 2, 3, 4});
  editor.doc.state.modified = kUnmodified;
  OnCommand(editor, kCmdPaste);
  EXPECT_FALSE(IsFloating(editor.selection));
  EXPECT_EQ(editor.doc.state.modified, kUnmodified);
  ASSERT_EQ(q.scripted.messages.size(), 1u);
  EXPECT_EQ(q.scripted.messages[0].text.rfind("The picture on the clipboard can not be pasted. It could not be read as image/x-nonesuch", 0), 0u)
      << q.scripted.messages[0].text;
  q.window.close();
}

}  // namespace
