#include "platform/qt/qt_main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <cmath>

#include "app/command_table.h"
#include "app/dialog_routing.h"
#include "app/editor.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/window_placement.h"
#include "platform/qt/qt_scale.h"
#include "app/recovery.h"

namespace qshe::platform {
namespace {

const QSize kPicture(kClientWidth, kClientHeight);
const char* const kScaleKey = "Window/Scale";
const char* const kPositionKey = "Window/Position";
const int kScaleCommands[] = {kCmdWindowScale1, kCmdWindowScale2, kCmdWindowScale3, kCmdWindowScale4};

// The local files of a drag from a file manager.
QStringList DroppedFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

}  // namespace

// ----- client area -----------------------------------------------------------------

QtClientArea::QtClientArea(QtMainWindow* owner, QtPalettes& palettes)
    : QtPicture(owner, QSize(kClientWidth, kClientHeight), palettes), owner_(owner) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

// The composition shown afresh, not what was kept of it.
void QtClientArea::PresentAfresh() {
  if (owner_->editor()) OnPaint(*owner_->editor());
}

void QtClientArea::mousePressEvent(QMouseEvent* event) {
  int button = MouseButtonNumber(event->button());
  if (!button || !owner_->editor()) return;
  QPoint p = PicturePosition(event);
  OnMouseDown(*owner_->editor(), p.x(), p.y(), button, event->modifiers() & Qt::ControlModifier,
              event->modifiers() & Qt::ShiftModifier);
}

void QtClientArea::mouseMoveEvent(QMouseEvent* event) {
  if (!owner_->editor()) return;
  QPoint p = PicturePosition(event);
  OnMouseMove(*owner_->editor(), p.x(), p.y(), event->modifiers() & Qt::ControlModifier,
              event->modifiers() & Qt::ShiftModifier);
}

bool QtClientArea::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && owner_->editor()) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QPoint p = PicturePixel(QPointF(help->pos()), scale(), devicePixelRatioF());
    const std::string tip = ToolTipAt(*owner_->editor(), p.x(), p.y());
    if (tip.empty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
    }
    return true;
  }
  return QtPicture::event(event);
}

void QtClientArea::mouseReleaseEvent(QMouseEvent* event) {
  int button = MouseButtonNumber(event->button());
  if (!button || !owner_->editor()) return;
  QPoint p = PicturePosition(event);
  OnMouseUp(*owner_->editor(), p.x(), p.y(), button);
}

void QtClientArea::resizeEvent(QResizeEvent*) {
  // The program counts in picture pixels; a partly shown pixel counts.
  const double perPixel = scale() / devicePixelRatioF();
  auto pixels = [perPixel](int n) { return static_cast<int>(std::ceil(n / perPixel - 1e-6)); };
  if (owner_->editor()) OnSize(*owner_->editor(), pixels(width()), pixels(height()));
}

// ----- main window -----------------------------------------------------------------

QtMainWindow::QtMainWindow(MessageBoxes& boxes, FileDialogs& files, SettingsStore& settings,
                           const std::string& supportDir)
    : client_(new QtClientArea(this, palettes_)),
      platform_{boxes, files, *this, settings},
      desktop_{platform_, *client_, *this, *this, dialogHost_, clipboard_} {
  setCentralWidget(client_);
  client_->setMinimumSize(0, 0);
  client_->setMaximumSize(kClientWidth, kClientHeight);
  client_->resize(kClientWidth, kClientHeight);
  LoadCursors(supportDir);
  // The previews show the hand over their pictures and follow the scale.
  if (auto hand = cursors_.find(Cursor::Hand); hand != cursors_.end()) dialogHost_.SetPictureCursor(hand->second);
  baseFont_ = QApplication::font();
  dialogHost_.SetBaseFont(baseFont_);
  AddScaleListener([this](int scale) { dialogHost_.SetScales(scale, fontFactor_); });
  dialogHost_.SetKeepClear([this] { return CanvasOnScreen(); });
  dialogHost_.SetKeyForwarder([this](const QKeyEvent& event) { return RunShortcut(event); });
  QIcon icon(QString::fromStdString(supportDir + "qshe-icon.png"));
  for (int size : {64, 128, 256}) {
    icon.addFile(QString::fromStdString(supportDir + "qshe-icon-" + std::to_string(size) + ".png"));
  }
  setWindowIcon(icon);
  setAcceptDrops(true);
}

// The application's font goes back as it was: it is the desktop's, and the
// next window (in the tests) starts from it.
QtMainWindow::~QtMainWindow() { QApplication::setFont(baseFont_); }

void QtMainWindow::UseStateStore(QSettings* store) {
  state_ = store;
  dialogHost_.UseStateStore(store);
}

void QtMainWindow::ReopenWindows() {
  if (!editor_) return;
  for (int dialog : dialogHost_.RememberedOpen()) ShowModelessDialog(*editor_, dialog);
}

QRect QtMainWindow::CanvasOnScreen() const {
  const Rect c = CanvasKeepClear();
  const double perPixel = client_->scale() / client_->devicePixelRatioF();
  const QRect local = QRectF(c.x1 * perPixel, c.y1 * perPixel, c.width() * perPixel, c.height() * perPixel)
                          .toAlignedRect();
  return local.translated(client_->mapToGlobal(QPoint(0, 0)));
}

bool QtMainWindow::RunShortcut(const QKeyEvent& event) {
  auto run = [this](Qt::KeyboardModifiers m, int key) {
    const QKeySequence wanted(QKeyCombination(m, Qt::Key(key)));
    for (QAction* a : shortcuts_) {
      if (a->shortcut() == wanted) {
        a->trigger();
        return true;
      }
    }
    return false;
  };
  // As Qt matches shortcuts: the key as typed, then without the Shift that
  // some layouts need for it ("Ctrl++").
  const Qt::KeyboardModifiers m = event.modifiers() & ~Qt::KeypadModifier;
  if (run(m, event.key())) return true;
  return (m & Qt::ShiftModifier) && run(m & ~Qt::ShiftModifier, event.key());
}

void QtMainWindow::ScaleInterface(int scale) {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const double dpr = screen ? screen->devicePixelRatio() : 1.0;
  const QSize available = screen ? screen->availableGeometry().size() : QSize(640, 480);
  fontFactor_ = platform::InterfaceFontFactor(scale, dpr, available);
  QFont font = baseFont_;
  if (font.pointSizeF() > 0) {
    font.setPointSizeF(baseFont_.pointSizeF() * fontFactor_);
  } else if (font.pixelSize() > 0) {
    font.setPixelSize(static_cast<int>(baseFont_.pixelSize() * fontFactor_ + 0.5));
  }
  // Message boxes and file dialogs are made afresh each time and take the
  // application's font; the menus are told at once.
  QApplication::setFont(font);
  menuBar()->setFont(font);
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) menu->setFont(font);
}

void QtMainWindow::Attach(Editor* editor) {
  editor_ = editor;
  if (!editor) dialogHost_.SetDialogListener({});
  // The program only names the scale; sizes and pixels stay here.
  if (editor_) {
    editor_->window.scaleWindow = [this](int scale, int step) {
      SetWindowScale(scale > 0 ? scale : WindowScale() + step);
    };
  }
}

void QtMainWindow::FitToScale() {
  // The largest size is the one that shows the whole client area under the
  // menu bar.
  QSize client = client_->ScaledSize();
  QSize full(client.width(), client.height() + menuBar()->sizeHint().height());
  client_->setMinimumSize(0, 0);
  client_->setMaximumSize(client);
  setMinimumSize(160, 120);
  setMaximumSize(full);
  resize(full);
}

void QtMainWindow::FitAndPlace() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const double dpr = screen ? screen->devicePixelRatio() : 1.0;
  int scale = 0;
  if (state_) scale = state_->value(kScaleKey, 0).toInt();
  if (scale < kMinWindowScale || scale > kMaxWindowScale) {
    QSize available = screen ? screen->availableGeometry().size() : QSize(640, 480);
    scale = InitialWindowScale(kPicture, available, dpr, menuBar()->sizeHint().height());
  }
  client_->SetScale(scale);
  ScaleInterface(scale);
  FitToScale();
  for (auto& listener : scaleListeners_) listener(scale);
  ShowScaleChecks();

  placing_ = true;
  const bool known = state_ && state_->contains(kPositionKey);
  QPoint remembered = known ? state_->value(kPositionKey).toPoint() : QPoint();
  if (known && QGuiApplication::screenAt(remembered + QPoint(20, 20))) {
    move(remembered);  // only onto a screen that is still there
  } else if (scale == 1) {
    int sw = 0, sh = 0, x = 0, y = 0;
    ScreenSize(sw, sh);
    WindowPlacement(sw, sh, x, y);
    move(x, y);
  } else {
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
    QSize frame = frameGeometry().size().expandedTo(size());
    move(area.x() + std::max(0, (area.width() - frame.width()) / 2),
         area.y() + std::max(0, (area.height() - frame.height()) / 2));
  }
  placing_ = false;
}

void QtMainWindow::SetWindowScale(int scale) {
  scale = ClampWindowScale(scale);
  if (state_) state_->setValue(kScaleKey, scale);
  if (scale != client_->scale()) {
    client_->SetScale(scale);
    ScaleInterface(scale);
    FitToScale();
    for (auto& listener : scaleListeners_) listener(scale);
  }
  ShowScaleChecks();
}

void QtMainWindow::ShowScaleChecks() {
  for (int s = kMinWindowScale; s <= kMaxWindowScale; ++s) SetMenuChecked(kScaleCommands[s - 1], s == WindowScale());
}

QAction* QtMainWindow::MenuAction(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void QtMainWindow::SetTitle(const std::string& title) { setWindowTitle(QString::fromStdString(title)); }

void QtMainWindow::SetCursor(Cursor cursor) {
  if (cursor == Cursor::Wait) {
    client_->setCursor(Qt::WaitCursor);
    return;
  }
  auto it = cursors_.find(cursor);
  client_->setCursor(it != cursors_.end() ? it->second : QCursor(Qt::ArrowCursor));
}

void QtMainWindow::LoadCursors(const std::string& supportDir) {
  const std::pair<Cursor, const char*> files[] = {
      {Cursor::Pencil, "cursor-pencil.png"}, {Cursor::Eraser, "cursor-eraser.png"},
      {Cursor::Hand, "cursor-hand.png"},     {Cursor::Eyedropper, "cursor-eyedropper.png"},
      {Cursor::Select, "cursor-select.png"}, {Cursor::Bucket, "cursor-bucket.png"},
  };
  for (auto [kind, name] : files) {
    QImage image(QString::fromStdString(supportDir + name));
    if (image.isNull()) continue;  // the arrow stands in for a missing picture
    int hx = image.text("HotSpotX").toInt(), hy = image.text("HotSpotY").toInt();
    cursors_[kind] = QCursor(QPixmap::fromImage(image), hx, hy);
  }
}

void QtMainWindow::AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    QString label = QString::fromStdString(item.label);
    switch (item.kind) {
      case MenuItem::Kind::Separator: menu->addSeparator(); break;
      case MenuItem::Kind::SubMenu: AddMenuItems(menu->addMenu(label), item.children); break;
      case MenuItem::Kind::Command: {
        // The shortcut text is shown beside the label; the keys themselves
        // are window shortcuts of their own, so every key of an entry works.
        // An em space keeps the keys off the longest label at every font
        // size; the style's own gap is a fixed number of pixels.
        if (!item.keys.empty()) label += QStringLiteral("\t\u2003") + QString::fromStdString(item.keys);
        QAction* action = menu->addAction(label);
        int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] {
          if (editor_) OnCommand(*editor_, id);
        });
        actions_[id] = action;
        break;
      }
    }
  }
}

void QtMainWindow::BuildMenus(const std::vector<MenuItem>& pulldowns, const std::vector<Accelerator>& keys) {
  menuBar()->clear();
  actions_.clear();
  for (QAction* a : shortcuts_) delete a;
  shortcuts_.clear();
  for (const MenuItem& pulldown : pulldowns) {
    QMenu* menu = menuBar()->addMenu(QString::fromStdString(pulldown.label));
    // Entries given a tip (Undo and Redo name their step) show it while the
    // pointer rests on them; the others have none.
    menu->setToolTipsVisible(true);
    AddMenuItems(menu, pulldown.children);
  }
  ShowScaleChecks();
  for (const Accelerator& key : keys) {
    auto* action = new QAction(this);
    action->setShortcut(QKeySequence(QString::fromStdString(key.key)));
    // Only while the main window is the active window: a modeless window
    // with the focus gets its own typing.
    action->setShortcutContext(Qt::WindowShortcut);
    int id = key.id;
    connect(action, &QAction::triggered, this, [this, id] {
      if (editor_) OnCommand(*editor_, id);
    });
    addAction(action);
    shortcuts_.push_back(action);
  }
}

void QtMainWindow::SetMenuChecked(int id, bool checked) {
  if (QAction* a = MenuAction(id)) {
    // Only a checked entry is checkable: an unchecked one shows no empty box,
    // and a plain command (Badge Color, Eye Color) never checks itself when
    // chosen, as a checkable action would.
    a->setCheckable(checked);
    a->setChecked(checked);
  }
}

void QtMainWindow::SetMenuEnabled(int id, bool enabled) {
  if (QAction* a = MenuAction(id)) a->setEnabled(enabled);
}

void QtMainWindow::SetMenuTip(int id, const std::string& tip) {
  QAction* a = MenuAction(id);
  if (!a) return;
  const QString text = QString::fromStdString(tip);
  a->setStatusTip(text);
  a->setToolTip(text);
}

// Qt keeps sending moves and the release to the widget a button went down on,
// also outside the window, so capture needs nothing more.
void QtMainWindow::CaptureMouse() {}
void QtMainWindow::ReleaseMouse() {}

void QtMainWindow::StartTimer(int id, int milliseconds) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] {
      if (editor_) OnTimer(*editor_, id);
    });
  }
  timer->start(milliseconds);
}

void QtMainWindow::StopTimer(int id) {
  if (auto it = timers_.find(id); it != timers_.end()) it->second->stop();
}

void QtMainWindow::Quit(int exitCode) {
  quitting_ = true;
  for (auto& [id, timer] : timers_) timer->stop();
  QTimer::singleShot(0, qApp, [exitCode] { QApplication::exit(exitCode); });
}

void QtMainWindow::ScreenSize(int& width, int& height) {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  QRect r = screen ? screen->geometry() : QRect(0, 0, 640, 480);
  width = r.width();
  height = r.height();
}

bool QtMainWindow::OpenTextFile(const std::string& path) {
  const QString file = QString::fromStdString(path);
  QString opener = textOpener_;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  if (opener.isEmpty()) opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) return false;
#endif
  if (opener.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
  // The opener says by its status whether a viewer took the file; one that
  // gives up later brings the program's own window.
  auto* process = new QProcess(this);
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  connect(process, &QProcess::finished, this, [this, process, path](int code, QProcess::ExitStatus status) {
    process->deleteLater();
    if ((status != QProcess::NormalExit || code != 0) && editor_) OnTextViewerFailed(*editor_, path);
  });
  process->start(opener, {file});
  if (!process->waitForStarted(5000)) {
    delete process;
    return false;
  }
  return true;
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (quitting_ || !editor_) {
    event->accept();
    return;
  }
  // The program decides: it asks about unsaved work and quits when allowed.
  event->ignore();
  OnCloseRequest(*editor_);
}

void QtMainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && editor_) {
    if (isActiveWindow()) {
      OnFocusGained(*editor_);
    } else {
      OnFocusLost(*editor_);
    }
  }
  QMainWindow::changeEvent(event);
}

void QtMainWindow::moveEvent(QMoveEvent* event) {
  if (state_ && isVisible() && !placing_ && !isMaximized() && !isFullScreen()) state_->setValue(kPositionKey, pos());
  QMainWindow::moveEvent(event);
}

void QtMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void QtMainWindow::dropEvent(QDropEvent* event) {
  QStringList files = DroppedFiles(event->mimeData());
  if (files.isEmpty() || !editor_) return;
  event->acceptProposedAction();
  // One document at a time: the first file opens, as Open would open it.
  OnFileDropped(*editor_, files.front().toStdString());
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Control && !event->isAutoRepeat() && editor_) {
    OnCtrlKey(*editor_, true);
    return;
  }
  if (event->key() == Qt::Key_Shift && !event->isAutoRepeat() && editor_) {
    OnShiftKey(*editor_, true);
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void QtMainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Control && !event->isAutoRepeat() && editor_) {
    OnCtrlKey(*editor_, false);
    return;
  }
  if (event->key() == Qt::Key_Shift && !event->isAutoRepeat() && editor_) {
    OnShiftKey(*editor_, false);
    return;
  }
  QMainWindow::keyReleaseEvent(event);
}

}  // namespace qshe::platform
