// The Animation window and the onion skin in the real Qt window (offscreen):
// P and G from the keyboard, the window's picture and controls at the
// window scale and off the canvas, the window system's timer playing it,
// Space pausing it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "app/animation_window.h"
#include "app/command_table.h"
#include "document/document_commands.h"
#include "properties/animation.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::testing::QtEditor;

namespace {

QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Eight 6 x 6 frames of different colours, each 4 pixels further right.
void MakeFrames(Editor& e) {
  for (int i = 0; i < 8; ++i) {
    Shape& s = e.doc.list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 6, 6);
    std::fill(s.pixels.get(), s.pixels.get() + 36, static_cast<uint8_t>(30 + i));
    s.offsetX = 4 * i;
  }
  ShowShape(e.doc, e.canvas, 0, false, 0);
}

// Every control's text fits it: nothing is cut off at this scale.
void ExpectTextsFit(QDialog* dialog, int scale) {
  for (QWidget* w : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (auto* b = qobject_cast<QPushButton*>(w)) {
      EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()), b->width()) << b->text().toStdString() << " x" << scale;
      EXPECT_LE(b->fontMetrics().height(), b->height()) << b->text().toStdString() << " x" << scale;
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
      EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->text().toStdString() << " x" << scale;
    }
    const QRect inside(QPoint(0, 0), dialog->size());
    EXPECT_TRUE(inside.contains(w->geometry())) << w->metaObject()->className() << " x" << scale;
  }
}

}  // namespace

TEST(QtAnimation, POpensItPlayingOnTheTimerSpacePausesAndItFollowsTheScaleOffTheCanvas) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& e = q.editor;
  MakeFrames(e);
  q.window.SetWindowScale(1);
  QApplication::setActiveWindow(&q.window);
  QTest::keyClick(&q.window, Qt::Key_P);
  QApplication::processEvents();
  platform::QtDialogHost& host = q.window.dialogHost();
  QDialog* dialog = host.DialogWindow(kAnimationDialog);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Animation");
  QWidget* picture = host.ItemWidget(kAnimationDialog, kAnimationPicture);
  auto* frameText = qobject_cast<QLabel*>(host.ItemWidget(kAnimationDialog, kAnimationFrameText));
  ASSERT_TRUE(picture && frameText);
  EXPECT_EQ(picture->size(), QSize(kPreviewSize, kPreviewSize));
  ExpectTextsFit(dialog, 1);

  // The window system's timer moves it on by itself.
  const QString first = frameText->text();
  EXPECT_EQ(first.toStdString(), "Shape 0 (1/8)");
  QTRY_VERIFY_WITH_TIMEOUT(frameText->text() != first, 5000);

  // Space pauses wherever the focus is in the window, and plays again.
  QApplication::setActiveWindow(dialog);
  host.ItemWidget(kAnimationDialog, kAnimationNextFrame)->setFocus();
  QTest::keyClick(dialog->focusWidget(), Qt::Key_Space);
  EXPECT_FALSE(e.animation.player.playing);
  const QString paused = frameText->text();
  QTest::qWait(300);
  EXPECT_EQ(frameText->text(), paused);
  QTest::keyClick(dialog->focusWidget(), Qt::Key_Space);
  EXPECT_TRUE(e.animation.player.playing);

  // At twice the size every picture pixel is a 2 x 2 block, and the
  // buttons and boxes grow with their text. Like every window it grows only
  // as far as it still finds a place off the canvas: the main window mostly
  // left of the small offscreen screen leaves it the room.
  QTest::mouseClick(qobject_cast<QPushButton*>(host.ItemWidget(kAnimationDialog, kAnimationFirstFrame)),
                    Qt::LeftButton);
  EXPECT_FALSE(e.animation.player.playing);
  const QImage one = Grab(picture);
  q.window.move(-1100, 0);
  q.window.SetWindowScale(2);
  QApplication::processEvents();
  ASSERT_EQ(host.DialogPictureScale(kAnimationDialog), 2);
  EXPECT_EQ(picture->size(), QSize(2 * kPreviewSize, 2 * kPreviewSize));
  ExpectTextsFit(dialog, 2);
  const QRect area = q.window.screen()->availableGeometry();
  EXPECT_TRUE(area.contains(dialog->frameGeometry()));
  EXPECT_FALSE(dialog->frameGeometry().intersects(q.window.CanvasOnScreen()));
  const QImage two = Grab(picture);
  int differing = 0;
  for (int y = 0; y < kPreviewSize; ++y)
    for (int x = 0; x < kPreviewSize; ++x)
      for (int k = 0; k < 4; ++k) differing += two.pixel(2 * x + k % 2, 2 * y + k / 2) != one.pixel(x, y);
  EXPECT_EQ(differing, 0);
  dialog->close();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(e.animation.player.playing);
}

TEST(QtAnimation, GShowsTheNeighboursBehindTheCanvas) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  Editor& e = q.editor;
  MakeFrames(e);
  ShowShape(e.doc, e.canvas, 1, false, 0);
  q.window.SetWindowScale(1);
  QApplication::setActiveWindow(&q.window);
  QApplication::processEvents();
  QWidget* area = q.window.clientArea();
  // Shape 2 lies 4 pixels right of shape 1: its last columns show beside it.
  const QRgb before = Grab(area).pixel(kViewLeft + 8, kViewTop + 1);
  QTest::keyClick(&q.window, Qt::Key_G);
  QApplication::processEvents();
  EXPECT_TRUE(q.window.MenuAction(kCmdOnionSkin)->isChecked());
  const QImage shown = Grab(area);
  EXPECT_NE(shown.pixel(kViewLeft + 8, kViewTop + 1), before);
  const uint8_t tint = e.onion.tints[1][32];
  const auto& p = e.window.gamePalette;
  EXPECT_EQ(shown.pixel(kViewLeft + 8, kViewTop + 1), qRgb(p[3 * tint], p[3 * tint + 1], p[3 * tint + 2]));
}
