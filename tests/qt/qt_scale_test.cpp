// The window at whole-number scales: the picture enlarged block for block,
// the mouse divided back, the scale remembered; and files dropped on it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QSettings>
#include <QUrl>
#include <tuple>

#include "app/command_table.h"
#include "app/main_window.h"
#include "platform/qt/qt_scale.h"
#include "platform/qt/qt_session.h"
#include "qt_editor.h"

using namespace qshe;
using qshe::platform::InitialWindowScale;
using qshe::platform::PicturePixel;
using qshe::platform::ScaledLogicalSize;
using qshe::testing::QtEditor;

namespace {

const int kScaleCommand[] = {0, kCmdWindowScale1, kCmdWindowScale2, kCmdWindowScale3, kCmdWindowScale4};
const QSize kPicture(kClientWidth, kClientHeight);

QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Pixels of `grab` that are not the picture pixel of the headless surface
// they enlarge, leaving out the counter text (each desktop has its own font).
int DifferencesFromHeadless(const QImage& grab, platform::HeadlessSurface& surface, int scale) {
  int differences = 0;
  for (int y = 0; y < kClientHeight * scale; ++y) {
    for (int x = 0; x < kClientWidth * scale; ++x) {
      const int px = x / scale, py = y / scale;
      if (px >= 20 && px <= 170 && py >= 218 && py <= 242) continue;
      platform::Rgb want = surface.Pixel(px, py);
      QRgb got = grab.pixel(x, y);
      differences += qRed(got) != want.red || qGreen(got) != want.green || qBlue(got) != want.blue;
    }
  }
  return differences;
}

// Pixels that are not a copy of the picture pixel they stand for.
int BlocksNotCopies(const QImage& grab, const QImage& picture, int scale) {
  int wrong = 0;
  for (int y = 0; y < kClientHeight * scale; ++y)
    for (int x = 0; x < kClientWidth * scale; ++x) wrong += grab.pixel(x, y) != picture.pixel(x / scale, y / scale);
  return wrong;
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// A press on the canvas, a drag across it and off its left edge, and the
// release, given in picture pixels and sent at `scale`, a little inside each
// enlarged pixel.
void StrokeAtScale(QWidget* area, int scale) {
  auto at = [scale](int x, int y) { return QPoint(x * scale + scale / 2, y * scale + scale - 1); };
  SendMouse(area, QEvent::MouseButtonPress, at(230, 40), Qt::LeftButton, Qt::LeftButton);
  for (auto [x, y] : {std::pair{250, 60}, {300, 61}, {150, 100}})
    SendMouse(area, QEvent::MouseMove, at(x, y), Qt::NoButton, Qt::LeftButton);
  SendMouse(area, QEvent::MouseButtonRelease, at(150, 100), Qt::LeftButton, Qt::NoButton);
}

void Drop(QWidget* target, const QStringList& files) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& f : files) urls << QUrl::fromLocalFile(f);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

}  // namespace

TEST(QtScale, StartsAtTheLargestScaleThatFitsOrAtTheScreenDensity) {
  // Screen (logical), density, menu bar height -> scale.
  for (auto [w, h, dpr, menu, want] :
       {std::tuple{3840, 2160, 1.0, 25, 4}, {1920, 1080, 1.0, 25, 2}, {1280, 720, 1.0, 25, 1},
        {800, 600, 1.0, 25, 1}, {1920, 1080, 2.0, 25, 4}, {960, 540, 2.0, 25, 2}, {640, 480, 3.0, 25, 3}, {2560, 1440, 1.0, 25, 3},
        {3840, 1200, 1.0, 25, 3}, {100, 100, 1.0, 25, 1}, {10000, 10000, 5.0, 25, 4}}) {
    EXPECT_EQ(InitialWindowScale(kPicture, QSize(w, h), dpr, menu), want) << w << "x" << h << " at " << dpr;
  }
  // Sizes round up so the whole picture shows; mouse positions round down,
  // also to the left of the window.
  EXPECT_EQ(ScaledLogicalSize(kPicture, 3, 1.0), QSize(1845, 855));
  EXPECT_EQ(ScaledLogicalSize(kPicture, 2, 2.0), QSize(615, 285));
  EXPECT_EQ(ScaledLogicalSize(kPicture, 1, 1.5), QSize(410, 190));
  for (auto [x, scale, dpr, want] : {std::tuple{8.9, 3, 1.0, 2}, {9.0, 3, 1.0, 3}, {-0.5, 3, 1.0, -1},
                                     {-3.0, 3, 1.0, -1}, {-3.1, 3, 1.0, -2}, {10.0, 4, 2.0, 5}, {1.0, 3, 1.5, 0}}) {
    EXPECT_EQ(PicturePixel(QPointF(x, 0), scale, dpr).x(), want) << x << " at " << scale << "/" << dpr;
  }
}

TEST(QtScale, AtTwoAndThreeTimesTheWindowIsTheHeadlessPictureEnlarged) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto [window, editor] = std::tie(q.window, q.editor);
  ASSERT_EQ(window.WindowScale(), 1);  // the offscreen screen is small
  platform::HeadlessPlatform hp;
  Editor headless(hp.desktop());
  ASSERT_TRUE(StartEditor(headless, q.programDir, {}));

  for (int scale : {2, 3}) {
    window.MenuAction(kScaleCommand[scale])->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window.WindowScale(), scale);
    EXPECT_EQ(window.clientArea()->size(), QSize(kClientWidth * scale, kClientHeight * scale));
    for (int s = 1; s <= 4; ++s) EXPECT_EQ(window.MenuAction(kScaleCommand[s])->isChecked(), s == scale) << s;
    QImage grab = Grab(window.clientArea());
    ASSERT_EQ(grab.size(), QSize(kClientWidth * scale, kClientHeight * scale));
    EXPECT_EQ(DifferencesFromHeadless(grab, hp.surface, scale), 0) << "at " << scale;
    // The counter text too is enlarged block for block, never smoothed.
    EXPECT_EQ(BlocksNotCopies(grab, window.clientArea()->image(), scale), 0) << "at " << scale;
    // The program still counts in unscaled pixels.
    EXPECT_EQ(editor.window.clientWidth, kClientWidth);
    EXPECT_EQ(editor.window.clientHeight, kClientHeight);
  }

  // Shrunk, changed while partly hidden, and enlarged again: the window
  // shows the composition as it now is, not what it kept from before.
  window.resize(300, 200);
  QApplication::processEvents();
  EXPECT_LT(editor.window.clientWidth, kClientWidth);
  OnCommand(editor, kCmdZoomIn);
  OnCommand(headless, kCmdZoomIn);
  window.resize(window.maximumSize());
  QApplication::processEvents();
  EXPECT_EQ(DifferencesFromHeadless(Grab(window.clientArea()), hp.surface, 3), 0);

  // The keys step the scale and stop at its ends.
  for (auto [command, want] : {std::pair{kCmdWindowLarger, 4}, {kCmdWindowLarger, 4}, {kCmdWindowSmaller, 3},
                               {kCmdWindowScale1, 1}, {kCmdWindowSmaller, 1}}) {
    OnCommand(editor, command);
    EXPECT_EQ(window.WindowScale(), want);
  }
  window.close();
}

TEST(QtScale, AStrokeAtThreeTimesPaintsTheSamePixelsAsAtOnce) {
  std::array<Canvas, 2> painted;
  for (int i = 0; i < 2; ++i) {
    QtEditor q;
    ASSERT_TRUE(q.Start());
    const int scale = i == 0 ? 1 : 3;
    int heard = 0;
    q.window.AddScaleListener([&heard](int s) { heard = s; });
    q.window.SetWindowScale(scale);
    EXPECT_EQ(heard, scale == 1 ? 0 : scale);  // told only of a change
    QApplication::processEvents();
    StrokeAtScale(q.window.clientArea(), scale);
    painted[static_cast<size_t>(i)] = q.editor.canvas;
    q.window.close();
  }
  int inked = 0;
  for (uint8_t v : painted[0].pixels) inked += v != 0;
  EXPECT_GT(inked, 100);
  EXPECT_TRUE(painted[0].pixels == painted[1].pixels);
}

TEST(QtScale, TheScaleAndThePlaceAreRemembered) {
  qshe::testing::TempDir dir;
  QSettings state(QString::fromStdString(dir.File("state.ini")), QSettings::IniFormat);
  state.setValue("Window/Scale", 3);
  {
    QtEditor q;
    q.window.UseStateStore(&state);
    ASSERT_TRUE(q.Start());
    EXPECT_EQ(q.window.WindowScale(), 3);
    OnCommand(q.editor, kCmdWindowSmaller);
    q.window.move(40, 30);
    QApplication::processEvents();
    q.window.close();
  }
  EXPECT_EQ(state.value("Window/Scale").toInt(), 2);
  EXPECT_EQ(state.value("Window/Position").toPoint(), QPoint(40, 30));
  // A remembered scale that is none falls back to what suits the screen.
  state.setValue("Window/Scale", 9);
  QtEditor q;
  q.window.UseStateStore(&state);
  ASSERT_TRUE(q.Start());
  EXPECT_EQ(q.window.WindowScale(), 1);
  EXPECT_EQ(q.window.pos(), QPoint(40, 30));
  q.window.close();
}

TEST(QtDrop, AFileDroppedOnTheWindowOpensAsOpenWould) {
  QtEditor q;
  ASSERT_TRUE(q.Start());
  auto [window, editor] = std::tie(q.window, q.editor);
  // Two shapes of 1 x 1.
  const std::vector<uint8_t> two = {0x02, 0x00, 0x06, 0x00, 0x01, 0x00, 0x01, 0x01, 0x00, 0x00, 0x07,
                                    0x01, 0x01, 0x00, 0x00, 0x09};
  qshe::testing::WriteBytes(q.dir.File("dropped.qsh"), two);
  const QString dropped = QString::fromStdString(q.dir.File("dropped.qsh"));

  // Unsaved work: the question comes first, and Cancel keeps everything.
  editor.doc.state.modified = kModified;
  q.scripted.answers = {platform::Answer::Cancel};
  Drop(&window, {dropped});
  ASSERT_EQ(q.scripted.messages.size(), 1u);
  EXPECT_EQ(q.scripted.messages[0].buttons, platform::Buttons::YesNoCancel);
  EXPECT_EQ(editor.doc.list.count, 20);

  // No: the first dropped file opens and the window shows it.
  q.scripted.answers = {platform::Answer::No};
  Drop(&window, {dropped, QString::fromStdString(q.dir.File("other.qsh"))});
  EXPECT_EQ(editor.doc.list.count, 2);
  EXPECT_EQ(editor.doc.state.documentPath, q.dir.File("dropped.qsh"));
  EXPECT_EQ(window.clientArea()->lastText(), "Shape 0 / 1");

  // Something that is not a file is refused at the door.
  QMimeData text;
  text.setText("hello");
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  enter.setAccepted(false);
  QApplication::sendEvent(&window, &enter);
  EXPECT_FALSE(enter.isAccepted());
  window.close();
}

TEST(QtSession, NoDisplaySaysSoAndWaylandGetsItsOwnPluginFirst) {
  using platform::ChooseSession;
  using platform::SessionEnvironment;
  // DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM, -platform -> refused, platform list.
  for (auto [display, wayland, qpa, argument, refused, platform] :
       {std::tuple{"", "", "", false, true, ""}, {":0", "", "", false, false, ""},
        {"", "wayland-0", "", false, false, "wayland;xcb"}, {":0", "wayland-0", "", false, false, "wayland;xcb"},
        {"", "", "offscreen", false, false, ""}, {"", "", "", true, false, ""}}) {
    auto choice = ChooseSession(SessionEnvironment{display, wayland, qpa, argument});
    EXPECT_EQ(choice.noDisplay.has_value(), refused) << display << "|" << wayland << "|" << qpa;
    EXPECT_EQ(choice.platform, platform) << display << "|" << wayland << "|" << qpa;
  }
  auto none = ChooseSession({});
  ASSERT_TRUE(none.noDisplay);
  EXPECT_EQ(none.noDisplay->find('\n'), std::string::npos);  // one line
  EXPECT_NE(none.noDisplay->find("xvfb-run make run"), std::string::npos);
  char name[] = "qshe", dash[] = "-platform", xcb[] = "xcb";
  char* argv[] = {name, dash, xcb};
  EXPECT_TRUE(platform::CurrentSession(3, argv).platformArgument);
}
