// The Qt window at whole-number scales: one full present at x4 against
// copying the enlarged picture's bytes, and one pencil move at zoom 16 sent
// as a real mouse event and painted, at x1 and at x4, and a plain move with
// the status bar following it against that; one drag step in a positioning
// preview at x4; a change of scale with every window open; one frame of the
// Animation window at x4, and what playing it at 60 frames a second costs
// the processor. Runs on Qt's offscreen platform with a 3840 x 2160 screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <vector>

#include "app/animation_window.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "document/document_commands.h"
#include "measure.h"
#include "platform/headless/headless.h"
#include "platform/qt/qt_main_window.h"
#include "properties/positioning.h"
#include "qt_bench_main.h"
#include "support_files.h"

using namespace qshe;

namespace {

// The editor in a real window over freshly generated support files.
struct Window {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "qshe-bench-qt";
  std::string programDir;
  platform::HeadlessPlatform scripted;
  std::unique_ptr<platform::QtMainWindow> window;
  std::unique_ptr<Editor> editor;

  bool Start(int scale) {
    std::filesystem::create_directories(dir);
    programDir = dir.string() + "/";
    if (!bench::WriteSupportFiles(programDir)) return false;
    window = std::make_unique<platform::QtMainWindow>(scripted, scripted, scripted, programDir);
    editor = std::make_unique<Editor>(window->desktop());
    window->Attach(editor.get());
    if (!StartEditor(*editor, programDir, {})) return false;
    window->FitAndPlace();
    window->SetWindowScale(scale);
    window->show();
    QApplication::processEvents();
    return window->WindowScale() == scale;
  }
  ~Window() {
    if (window) window->Attach(nullptr);
  }
};

void BM_QtFullPresentAtScale4(benchmark::State& state) {
  Window w;
  if (!w.Start(4)) {
    state.SkipWithError("the editor did not start at x4");
    return;
  }
  // The yardstick: copying the bytes of the enlarged picture once.
  const size_t bytes = size_t{kClientWidth} * 4 * kClientHeight * 4 * 4;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  QWidget* area = w.window->clientArea();
  bench::Measure(state, to.data(), from.data(), bytes, [&] {
    PresentWindow(*w.editor);  // colour lookup, enlargement
    area->repaint();           // and onto the window's backing store
  });
}
BENCHMARK(BM_QtFullPresentAtScale4)->Unit(benchmark::kMicrosecond);

uint8_t copyFrom[65536];
uint8_t copyTo[65536];

// Quoted against copying 64 KiB, as the headless pencil move is.
void BM_QtPencilMoveAtZoom16(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  Window w;
  if (!w.Start(scale)) {
    state.SkipWithError("the editor did not start");
    return;
  }
  for (int i = 0; i < 4; ++i) OnCommand(*w.editor, kCmdZoomIn);
  QWidget* area = w.window->clientArea();
  auto send = [&](QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
    QPointF at(x * scale, 100 * scale);
    QMouseEvent event(type, at, area->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(area, &event);
  };
  send(QEvent::MouseButtonPress, 300, Qt::LeftButton, Qt::LeftButton);
  int x = 300;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    x = x == 300 ? 316 : 300;  // one canvas pixel further each time
    send(QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
    QApplication::sendPostedEvents();  // the paint of what changed
  });
  send(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_QtPencilMoveAtZoom16)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// A mouse move over the canvas at zoom 16 with the status bar following it
// (a new pixel, so a new position each time), against the pencil move as it
// was before the status bar: the same stroke with the bar not shown. Scale
// in the first argument; the second 0 for that pencil move, 1 for the move
// with the status bar.
void BM_QtMoveWithStatusBar(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  const bool hover = state.range(1) == 1;
  Window w;
  if (!w.Start(scale)) {
    state.SkipWithError("the editor did not start");
    return;
  }
  for (int i = 0; i < 4; ++i) OnCommand(*w.editor, kCmdZoomIn);
  if (!hover) w.editor->status.show = {};
  QWidget* area = w.window->clientArea();
  auto send = [&](QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
    QPointF at(x * scale, 100 * scale);
    QMouseEvent event(type, at, area->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(area, &event);
  };
  const Qt::MouseButtons held = hover ? Qt::NoButton : Qt::LeftButton;
  if (!hover) send(QEvent::MouseButtonPress, 300, Qt::LeftButton, Qt::LeftButton);
  int x = 300;
  bench::Measure(state, copyTo, copyFrom, sizeof copyTo, [&] {
    x = x == 300 ? 316 : 300;
    send(QEvent::MouseMove, x, Qt::NoButton, held);
    QApplication::sendPostedEvents();
  });
  if (!hover) send(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_QtMoveWithStatusBar)->Args({1, 0})->Args({1, 1})->Args({4, 0})->Args({4, 1})
    ->Unit(benchmark::kMicrosecond);

// One step of a drag in the Shape position window at x4, sent as a real
// mouse event: both previews drawn and painted, the properties window
// filled. Quoted against copying one enlarged preview's bytes.
void BM_QtPreviewDragStepAtScale4(benchmark::State& state) {
  Window w;
  if (!w.Start(4)) {
    state.SkipWithError("the editor did not start at x4");
    return;
  }
  // In the screen's corner the main window leaves room for 800-pixel
  // previews beside it; elsewhere they would draw smaller.
  w.window->move(0, 0);
  QApplication::processEvents();
  OnCommand(*w.editor, kCmdShapePosition);
  OnCommand(*w.editor, kCmdTavrelPosition);
  QWidget* picture = w.window->dialogHost().ItemWidget(kShapePositionDialog, kPreviewSurface);
  if (!picture || w.window->dialogHost().DialogPictureScale(kShapePositionDialog) != 4) {
    state.SkipWithError("no preview at x4");
    return;
  }
  QApplication::processEvents();
  auto send = [&](QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
    QPointF at(x * 4, 100 * 4);
    QMouseEvent event(type, at, picture->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(picture, &event);
  };
  const size_t bytes = size_t{kPreviewSize} * 4 * kPreviewSize * 4 * 4;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  send(QEvent::MouseButtonPress, 100, Qt::LeftButton, Qt::LeftButton);
  int x = 100;
  bench::Measure(state, to.data(), from.data(), bytes, [&] {
    x = x == 100 ? 101 : 100;  // one picture pixel further each time
    send(QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
    QApplication::sendPostedEvents();
  });
  send(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_QtPreviewDragStepAtScale4)->Unit(benchmark::kMicrosecond);

// A change of the window scale with every other window open: the fonts,
// each dialog's layout until its texts fit, and the search for a place off
// the canvas at each font size tried, x1 to x3 and back.
void BM_QtScaleChangeWithEveryWindowOpen(benchmark::State& state) {
  Window w;
  if (!w.Start(1)) {
    state.SkipWithError("the editor did not start");
    return;
  }
  for (int command : {kCmdShapeProperties, kCmdAddShapes, kCmdSwapWith, kCmdJumpWindow, kCmdImportMultiple,
                      kCmdImportCollage, kCmdShapePosition, kCmdTavrelPosition, kCmdPositionSettings}) {
    OnCommand(*w.editor, command);
  }
  QApplication::processEvents();
  int scale = 1;
  for (auto _ : state) {
    scale = scale == 1 ? 3 : 1;
    w.window->SetWindowScale(scale);
    QApplication::sendPostedEvents();
  }
}
BENCHMARK(BM_QtScaleChangeWithEveryWindowOpen)->Unit(benchmark::kMillisecond);

// Eight frames of a 40 x 40 shape with scattered transparent pixels, each a
// few pixels further on, shown in the Animation window at x4.
bool OpenAnimation(Window& w) {
  if (!w.Start(4)) return false;
  Editor& e = *w.editor;
  for (int i = 0; i < 8; ++i) {
    Shape& s = e.doc.list.slots[static_cast<size_t>(i)];
    AllocateShape(s, 40, 40);
    for (int p = 0; p < 1600; ++p) s.pixels[static_cast<size_t>(p)] = p % 7 ? static_cast<uint8_t>(20 + (p + i) % 200) : 0;
    s.offsetX = 3 * i;
    s.offsetY = 40 - 2 * i;
  }
  ShowShape(e.doc, e.canvas, 0, false, 0);
  // In the screen's corner the main window leaves room for the window at
  // x4 beside or below it.
  w.window->move(0, 0);
  QApplication::processEvents();
  OnCommand(e, kCmdAnimation);
  QApplication::processEvents();
  // At x4 only where it finds room off the canvas: the bench's screen has it.
  return w.window->dialogHost().ItemWidget(kAnimationDialog, kAnimationPicture) != nullptr &&
         w.window->dialogHost().DialogPictureScale(kAnimationDialog) == 4;
}

// One tick of the player at x4: the next frame drawn as the Shape position
// window draws it, enlarged to 800 x 800, painted, and the frame line
// written. Quoted against copying the enlarged picture's bytes once.
void BM_QtAnimationFrameAtScale4(benchmark::State& state) {
  Window w;
  if (!OpenAnimation(w)) {
    state.SkipWithError("no Animation window at x4");
    return;
  }
  const size_t bytes = size_t{kPreviewSize} * 4 * kPreviewSize * 4 * 4;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  bench::Measure(state, to.data(), from.data(), bytes, [&] {
    AnimationTick(*w.editor);
    QApplication::sendPostedEvents();  // the paint of the new frame
  });
}
BENCHMARK(BM_QtAnimationFrameAtScale4)->Unit(benchmark::kMicrosecond);

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Two seconds of the real event loop with the Animation window playing at
// 60 frames a second at x4, against two seconds of the same editor idle:
// the share of one core each takes, and the frames shown a second.
void BM_QtAnimationPlayingAt60(benchmark::State& state) {
  Window w;
  if (!OpenAnimation(w)) {
    state.SkipWithError("no Animation window at x4");
    return;
  }
  platform::QtDialogHost& host = w.window->dialogHost();
  host.SetItemText(kAnimationDialog, kAnimationSpeed, "60");
  auto run = [](double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    const double cpu = ProcessCpuSeconds();
    loop.exec();
    return (ProcessCpuSeconds() - cpu) / seconds;
  };
  constexpr double kSeconds = 2.0;
  // The frames shown are the picture's paints.
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  host.ItemWidget(kAnimationDialog, kAnimationPicture)->installEventFilter(&counter);
  for (auto _ : state) {
    counter.paints = 0;
    const double playing = run(kSeconds);
    const int frames = counter.paints;
    host.Notify({kAnimationDialog, kAnimationPlay, platform::DialogEvent::Clicked, 0, 0, 0});  // pause
    const double idle = run(kSeconds);
    host.Notify({kAnimationDialog, kAnimationPlay, platform::DialogEvent::Clicked, 0, 0, 0});
    state.counters["core_percent_playing"] = 100 * playing;
    state.counters["core_percent_idle"] = 100 * idle;
    state.counters["frames_per_second"] = frames / kSeconds;
  }
}
BENCHMARK(BM_QtAnimationPlayingAt60)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // An offscreen screen as large as a 4K one, so the x4 window and its
  // previews fit on it.
  return qshe::bench::RunQtBenchmarks(argc, argv, 3840, 2160, "qshe-bench-screen.json");
}
