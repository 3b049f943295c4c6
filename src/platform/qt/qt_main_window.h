// The editor's main window on Qt: a fixed 615 x 285 client area that shows
// what the program presents, the menu bar and shortcuts built from the
// command table, timers, cursors, and every mouse and key event handed to the
// program's event functions.
#pragma once

#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <QRegion>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/desktop.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_dialog_host.h"
#include "platform/qt/qt_picture.h"

class QAction;
class QKeyEvent;
class QSettings;
class QTimer;

namespace qshe {
struct Editor;
}

namespace qshe::platform {

class QtMainWindow;

// The client area: the program's 615 x 285 picture at the window scale.
// Mouse positions go to the program in picture pixels, so it sees the same
// window at every scale.
class QtClientArea : public QtPicture {
 public:
  QtClientArea(QtMainWindow* owner, QtPalettes& palettes);

 protected:
  void PresentAfresh() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Tooltips of the buttons in the picture.
  bool event(QEvent* event) override;

 private:
  QtMainWindow* owner_;
};

class QtMainWindow : public QMainWindow, public WindowFrame, public MenuBar, public WindowControl {
 public:
  // `supportDir` is where the cursor images and the icon are looked for.
  QtMainWindow(MessageBoxes& boxes, FileDialogs& files, SettingsStore& settings,
               const std::string& supportDir);
  ~QtMainWindow() override;

  Desktop& desktop() { return desktop_; }
  QtClientArea* clientArea() const { return client_; }
  // Events go to this editor from now on; it also gets the window-scale hook.
  // None also silences the dialogs.
  void Attach(Editor* editor);
  QtDialogHost& dialogHost() { return dialogHost_; }
  Editor* editor() const { return editor_; }
  // Picks the scale (remembered, else what suits the screen), fixes the
  // client area at its full size and places the window (where it was left,
  // else in the middle of the screen).
  void FitAndPlace();
  // The whole-number scale of the picture (device pixels per picture pixel).
  // Other windows that show program pictures (the positioning previews)
  // draw at this scale and follow its changes through a listener.
  int WindowScale() const { return client_->scale(); }
  void SetWindowScale(int scale);
  void AddScaleListener(std::function<void(int)> listener) { scaleListeners_.push_back(std::move(listener)); }
  // Where the scale, the window's position and the other windows' places
  // and open state are remembered; nothing is remembered without one (the
  // tests' windows).
  void UseStateStore(QSettings* store);
  // Opens again the windows that were open when the program last ended.
  void ReopenWindows();
  // The canvas with its scroll bars on the screen, in logical pixels: the
  // other windows keep off it.
  QRect CanvasOnScreen() const;
  // Runs the shortcut the key stands for, as if the main window had it;
  // false when it is none of the window's.
  bool RunShortcut(const QKeyEvent& event);
  // How much larger than the desktop's the menus' and dialogs' fonts are now.
  double InterfaceFontFactor() const { return fontFactor_; }
  // The program that opens text files (a desktop's opener); empty: the
  // desktop's own way.
  void SetTextOpener(const QString& program) { textOpener_ = program; }
  // The action of a menu command, for tests.
  QAction* MenuAction(int id) const;

  // WindowFrame
  void SetTitle(const std::string& title) override;
  void SetCursor(Cursor cursor) override;
  // MenuBar
  void BuildMenus(const std::vector<MenuItem>& pulldowns, const std::vector<Accelerator>& keys) override;
  void SetMenuChecked(int id, bool checked) override;
  void SetMenuEnabled(int id, bool enabled) override;
  void SetMenuTip(int id, const std::string& tip) override;
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
  void moveEvent(QMoveEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void AddMenuItems(class QMenu* menu, const std::vector<MenuItem>& items);
  // Window and client size limits for the current scale.
  void FitToScale();
  // Fonts of the menus, the boxes and the dialogs for the scale.
  void ScaleInterface(int scale);
  void ShowScaleChecks();
  void LoadCursors(const std::string& supportDir);

  QtPalettes palettes_;   // before the windows that use them
  QtClientArea* client_;  // before desktop_, which refers to it
  QtDialogHost dialogHost_{[this]() -> QWidget* { return this; }, palettes_};
  Platform platform_;
  QtClipboard clipboard_;
  Desktop desktop_;
  Editor* editor_ = nullptr;
  std::map<int, QAction*> actions_;
  std::vector<QAction*> shortcuts_;
  std::map<int, QTimer*> timers_;
  std::map<Cursor, QCursor> cursors_;
  std::vector<std::function<void(int)>> scaleListeners_;
  QSettings* state_ = nullptr;
  QFont baseFont_;  // the desktop's font, before any scaling
  double fontFactor_ = 1.0;
  QString textOpener_;
  bool placing_ = false;  // our own moves are not the user's
  bool quitting_ = false;
};

}  // namespace qshe::platform
