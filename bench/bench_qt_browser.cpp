// The Shapes window as a real Qt window (offscreen, 1920 x 1080 screen) with
// 5000 shapes of 64 x 64: opening it with its first screen painted, and one
// screen scrolled with the bar, drawn, presented and painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <cstring>
#include <filesystem>

#include "app/command_table.h"
#include "app/main_window.h"
#include "app/shape_browser.h"
#include "app/startup.h"
#include "document/document_commands.h"
#include "measure.h"
#include "platform/headless/headless.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_scroll_view.h"
#include "qt_bench_main.h"
#include "support_files.h"

using namespace qshe;

namespace {

struct Window {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "qshe-bench-qt-browser";
  platform::HeadlessPlatform scripted;
  std::unique_ptr<platform::QtMainWindow> window;
  std::unique_ptr<Editor> editor;

  bool Start() {
    std::filesystem::create_directories(dir);
    const std::string programDir = dir.string() + "/";
    if (!bench::WriteSupportFiles(programDir)) return false;
    window = std::make_unique<platform::QtMainWindow>(scripted, scripted, scripted, programDir);
    editor = std::make_unique<Editor>(window->desktop());
    window->Attach(editor.get());
    if (!StartEditor(*editor, programDir, {})) return false;
    window->FitAndPlace();
    window->SetWindowScale(1);
    window->show();
    ShapeList& list = editor->doc.list;
    list.count = kShapeListCapacity;
    for (int i = 0; i < list.count; ++i) {
      Shape& s = list.slots[static_cast<size_t>(i)];
      AllocateShape(s, 64, 64);
      for (int p = 0; p < 64 * 64; ++p) s.pixels[static_cast<size_t>(p)] = static_cast<uint8_t>(10 + (p / 64 + i) % 200);
    }
    ShowShape(editor->doc, editor->canvas, 0, false, 0);
    QApplication::processEvents();
    return true;
  }
  ~Window() {
    if (window) window->Attach(nullptr);
  }
  platform::QtScrollView* View() {
    return dynamic_cast<platform::QtScrollView*>(window->dialogHost().ItemWidget(kShapesDialog, kShapesView));
  }
};

void BM_QtOpenShapesWindow(benchmark::State& state) {
  Window w;
  if (!w.Start()) return state.SkipWithError("the editor did not start");
  platform::QtDialogHost& host = w.window->dialogHost();
  for (auto _ : state) {
    state.PauseTiming();
    host.HideDialog(kShapesDialog);
    QApplication::processEvents();
    state.ResumeTiming();
    OnCommand(*w.editor, kCmdShapesWindow);
    QApplication::processEvents();  // shown, laid out and painted
  }
  if (auto* v = w.View()) {
    state.counters["view_w"] = v->ViewWidth();
    state.counters["view_h"] = v->ViewHeight();
  }
}
BENCHMARK(BM_QtOpenShapesWindow)->Unit(benchmark::kMillisecond);

void BM_QtScrollShapesWindowOneScreen(benchmark::State& state) {
  Window w;
  if (!w.Start()) return state.SkipWithError("the editor did not start");
  OnCommand(*w.editor, kCmdShapesWindow);
  QApplication::processEvents();
  QDialog* dialog = w.window->dialogHost().DialogWindow(kShapesDialog);
  dialog->resize(1200, 1000);
  QApplication::processEvents();
  QScrollBar* bar = w.View()->bar();
  int direction = 1;
  for (auto _ : state) {
    if (bar->value() + 2 * bar->pageStep() > bar->maximum()) direction = -1;
    if (bar->value() < bar->pageStep()) direction = 1;
    bar->setValue(bar->value() + direction * bar->pageStep());
    QApplication::sendPostedEvents();  // the paint
  }
  state.counters["view_w"] = w.View()->ViewWidth();
  state.counters["view_h"] = w.View()->ViewHeight();
}
BENCHMARK(BM_QtScrollShapesWindowOneScreen)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return qshe::bench::RunQtBenchmarks(argc, argv, 1920, 1080, "qshe-bench-browser-screen.json");
}
