// The editor's main window on Qt: a fixed 615 x 285 client area that shows
// what the program presents, the menu bar and shortcuts built from the
// command table, timers, cursors, and every mouse and key event handed to the
// program's event functions.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <array>
#include <map>
#include <memory>
#include <string>

#include "platform/desktop.h"
#include "platform/qt/qt_dialog_host.h"

class QAction;
class QTimer;

namespace qshe {
struct Editor;
}

namespace qshe::platform {

class QtMainWindow;

// The client area: keeps the picture the program presented and shows it
// pixel for pixel (scaled without smoothing on high-density screens).
class QtClientArea : public QWidget, public WindowSurface, public PaletteDevice {
 public:
  explicit QtClientArea(QtMainWindow* owner);

  const QImage& image() const { return image_; }
  // The text last written straight to the window (the shape counter).
  const std::string& lastText() const { return lastText_; }

  // WindowSurface
  PaletteDevice& palettes() override { return *this; }
  int ColorDepth() override { return 24; }
  TextMetrics SelectFixedFont() override;
  int TextWidth(std::string_view text) override;
  void SelectPalette(PaletteId palette) override { selected_ = palette; }
  void Present(const IndexedImage& image, const Rect& source, const Rect& target) override;
  void DrawText(int x, int y, std::string_view text, Rgb color) override;

  // PaletteDevice
  std::array<Rgb, kStaticColorCount> StaticColors() override { return kStandardStaticColors; }
  PaletteId CreatePalette(std::span<const PaletteEntry, 256> entries) override;
  void AnimatePalette(PaletteId palette, int first, std::span<const PaletteEntry> entries) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QtMainWindow* owner_;
  QImage image_;
  QFont font_;
  std::string lastText_;
  std::map<PaletteId, std::array<PaletteEntry, 256>> palettes_;
  PaletteId selected_ = 0;
  PaletteId next_ = 1;
  bool painting_ = false;  // presenting from inside a paint event
  bool stale_ = true;      // resized since the composition was last presented
};

class QtMainWindow : public QMainWindow, public WindowFrame, public MenuBar, public WindowControl {
 public:
  // `supportDir` is where the cursor images and the icon are looked for.
  QtMainWindow(MessageBoxes& boxes, FileDialogs& files, SettingsStore& settings,
               const std::string& supportDir);
  ~QtMainWindow() override;

  Desktop& desktop() { return desktop_; }
  QtClientArea* clientArea() const { return client_; }
  // Events go to this editor from now on; none also silences the dialogs.
  void Attach(Editor* editor) {
    editor_ = editor;
    if (!editor) dialogHost_.SetDialogListener({});
  }
  QtDialogHost& dialogHost() { return dialogHost_; }
  Editor* editor() const { return editor_; }
  // Fixes the client area at its full size and places the window.
  void FitAndPlace();
  // The action of a menu command, for tests.
  QAction* MenuAction(int id) const;

  // WindowFrame
  void SetTitle(const std::string& title) override;
  void SetCursor(Cursor cursor) override;
  // MenuBar
  void BuildMenus(const std::vector<MenuItem>& pulldowns, const std::vector<Accelerator>& keys) override;
  void SetMenuChecked(int id, bool checked) override;
  void SetMenuEnabled(int id, bool enabled) override;
  // WindowControl
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void StartTimer(int id, int milliseconds) override;
  void StopTimer(int id) override;
  void Quit(int exitCode) override;
  void ScreenSize(int& width, int& height) override;
  bool OpenTextFile(const std::string& path) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void AddMenuItems(class QMenu* menu, const std::vector<MenuItem>& items);
  void LoadCursors(const std::string& supportDir);

  QtClientArea* client_;  // before desktop_, which refers to it
  QtDialogHost dialogHost_{[this]() -> QWidget* { return this; }};
  Platform platform_;
  Desktop desktop_;
  Editor* editor_ = nullptr;
  std::map<int, QAction*> actions_;
  std::vector<QAction*> shortcuts_;
  std::map<int, QTimer*> timers_;
  std::map<Cursor, QCursor> cursors_;
  bool quitting_ = false;
};

}  // namespace qshe::platform
