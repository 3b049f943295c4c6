#include "platform/qt/qt_main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "app/command_table.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "platform/qt/qt_scale.h"
#include "app/recovery.h"

namespace qshe::platform {
namespace {

int ButtonNumber(Qt::MouseButton b) {
  if (b == Qt::LeftButton) return 1;
  if (b == Qt::RightButton) return 2;
  return 0;
}

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

QtClientArea::QtClientArea(QtMainWindow* owner)
    : QWidget(owner), owner_(owner), image_(kClientWidth, kClientHeight, QImage::Format_RGB32) {
  image_.fill(Qt::black);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font_.setPixelSize(12);
  font_.setStyleStrategy(QFont::NoAntialias);
  SetScale(1);
}

void QtClientArea::SetScale(int scale) {
  scale_ = ClampWindowScale(scale);
  scaled_ = QImage(image_.width() * scale_, image_.height() * scale_, QImage::Format_RGB32);
  scaled_.setDevicePixelRatio(devicePixelRatioF());
  ScaleRect(image_, image_.rect(), scale_, scaled_);
  update();
}

QSize QtClientArea::ScaledSize() const { return ScaledLogicalSize(kPicture, scale_, devicePixelRatioF()); }

void QtClientArea::Show(const QRect& rect) {
  QRect r = rect.intersected(image_.rect());
  if (r.isEmpty()) return;
  ScaleRect(image_, r, scale_, scaled_);
  if (painting_) return;  // the paint under way shows it
  const double dpr = devicePixelRatioF();
  QRect logical = QRectF(r.x() * scale_ / dpr, r.y() * scale_ / dpr, r.width() * scale_ / dpr,
                         r.height() * scale_ / dpr).toAlignedRect();
  fresh_ += logical;
  update(logical);
}

QPoint QtClientArea::PicturePosition(QMouseEvent* event) const {
  return PicturePixel(event->position(), scale_, devicePixelRatioF());
}

TextMetrics QtClientArea::SelectFixedFont() {
  QFontMetrics m(font_);
  return {m.height(), m.leading() > 0 ? m.leading() : 0};
}

int QtClientArea::TextWidth(std::string_view text) {
  return QFontMetrics(font_).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

PaletteId QtClientArea::CreatePalette(std::span<const PaletteEntry, 256> entries) {
  PaletteId id = next_++;
  std::copy(entries.begin(), entries.end(), palettes_[id].begin());
  return id;
}

void QtClientArea::AnimatePalette(PaletteId palette, int first, std::span<const PaletteEntry> entries) {
  auto it = palettes_.find(palette);
  if (it == palettes_.end()) return;
  for (size_t i = 0; i < entries.size() && first + static_cast<int>(i) < 256; ++i) {
    it->second[static_cast<size_t>(first) + i] = entries[i];
  }
}

void QtClientArea::Present(const IndexedImage& image, const Rect& source, const Rect& target) {
  const int sw = source.width(), sh = source.height(), tw = target.width(), th = target.height();
  if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
  if (source.x1 < 0 || source.y1 < 0 || source.x2 >= image.width || source.y2 >= image.height) return;
  // The colour table as 32-bit pixels once, then every pixel is one lookup.
  std::array<QRgb, 256> colors{};
  const auto* palette = palettes_.count(selected_) ? &palettes_.at(selected_) : nullptr;
  for (int v = 0; v < 256; ++v) {
    if (image.usage == ColorUsage::PaletteIndices) {
      int index = (image.colorTable[2 * v] | (image.colorTable[2 * v + 1] << 8)) & 0xFF;
      if (palette) {
        const PaletteEntry& pe = (*palette)[static_cast<size_t>(index)];
        colors[static_cast<size_t>(v)] = qRgb(pe.red, pe.green, pe.blue);
      }
    } else {
      const uint8_t* q = image.colorTable + 4 * v;
      colors[static_cast<size_t>(v)] = qRgb(q[2], q[1], q[0]);
    }
  }
  const int x1 = std::max(target.x1, 0), x2 = std::min(target.x2, image_.width() - 1);
  const int y1 = std::max(target.y1, 0), y2 = std::min(target.y2, image_.height() - 1);
  for (int ty = y1; ty <= y2; ++ty) {
    int sy = source.y1 + static_cast<int>(static_cast<int64_t>(ty - target.y1) * sh / th);
    const uint8_t* row = image.pixels + static_cast<size_t>(image.height - 1 - sy) * static_cast<size_t>(image.stride);
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(ty));
    if (sw == tw) {
      const uint8_t* from = row + source.x1 + (x1 - target.x1);
      for (int tx = x1; tx <= x2; ++tx) out[tx] = colors[*from++];
    } else {
      for (int tx = x1; tx <= x2; ++tx) {
        int sx = source.x1 + static_cast<int>(static_cast<int64_t>(tx - target.x1) * sw / tw);
        out[tx] = colors[row[sx]];
      }
    }
  }
  if (x1 <= x2 && y1 <= y2) Show(QRect(x1, y1, x2 - x1 + 1, y2 - y1 + 1));
}

void QtClientArea::DrawText(int x, int y, std::string_view text, Rgb color) {
  lastText_ = std::string(text);
  QPainter p(&image_);
  p.setFont(font_);
  p.setPen(QColor(color.red, color.green, color.blue));
  QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
  QFontMetrics m(font_);
  p.drawText(x, y + m.ascent(), s);
  Show(QRect(x, y, m.horizontalAdvance(s) + 1, m.height() + 1));
}

void QtClientArea::paintEvent(QPaintEvent* event) {
  const double dpr = devicePixelRatioF();
  if (scaled_.devicePixelRatio() != dpr) scaled_.setDevicePixelRatio(dpr);  // moved to another screen
  // A paint the program did not ask for (the window uncovered or enlarged)
  // shows the composition afresh, not what was kept of it.
  if (owner_->editor() && !(event->region() - fresh_).isEmpty()) {
    painting_ = true;
    OnPaint(*owner_->editor());
    painting_ = false;
  }
  fresh_ = QRegion();
  QPainter p(this);
  // The enlarged picture has the screen's own density, so it lands one to
  // one on device pixels: nothing is smoothed.
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  QRect picture(QPoint(0, 0), ScaledSize());
  QRegion outside = QRegion(rect()) - picture;
  for (const QRect& r : outside) p.fillRect(r, Qt::black);
  p.drawImage(QPointF(0, 0), scaled_);
}

void QtClientArea::mousePressEvent(QMouseEvent* event) {
  int button = ButtonNumber(event->button());
  if (!button || !owner_->editor()) return;
  QPoint p = PicturePosition(event);
  OnMouseDown(*owner_->editor(), p.x(), p.y(), button, event->modifiers() & Qt::ControlModifier);
}

void QtClientArea::mouseMoveEvent(QMouseEvent* event) {
  if (!owner_->editor()) return;
  QPoint p = PicturePosition(event);
  OnMouseMove(*owner_->editor(), p.x(), p.y(), event->modifiers() & Qt::ControlModifier);
}

void QtClientArea::mouseReleaseEvent(QMouseEvent* event) {
  int button = ButtonNumber(event->button());
  if (!button || !owner_->editor()) return;
  QPoint p = PicturePosition(event);
  OnMouseUp(*owner_->editor(), p.x(), p.y(), button);
}

void QtClientArea::resizeEvent(QResizeEvent*) {
  // The program counts in picture pixels; a partly shown pixel counts.
  const double perPixel = scale_ / devicePixelRatioF();
  auto pixels = [perPixel](int n) { return static_cast<int>(std::ceil(n / perPixel - 1e-6)); };
  if (owner_->editor()) OnSize(*owner_->editor(), pixels(width()), pixels(height()));
}

// ----- main window -----------------------------------------------------------------

QtMainWindow::QtMainWindow(MessageBoxes& boxes, FileDialogs& files, SettingsStore& settings,
                           const std::string& supportDir)
    : client_(new QtClientArea(this)),
      platform_{boxes, files, *this, settings},
      desktop_{platform_, *client_, *this, *this, dialogHost_, clipboard_} {
  setCentralWidget(client_);
  client_->setMinimumSize(0, 0);
  client_->setMaximumSize(kClientWidth, kClientHeight);
  client_->resize(kClientWidth, kClientHeight);
  LoadCursors(supportDir);
  QIcon icon(QString::fromStdString(supportDir + "qshe-icon.png"));
  for (int size : {64, 128, 256}) {
    icon.addFile(QString::fromStdString(supportDir + "qshe-icon-" + std::to_string(size) + ".png"));
  }
  setWindowIcon(icon);
  setAcceptDrops(true);
}

QtMainWindow::~QtMainWindow() = default;

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
  FitToScale();
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
        if (!item.keys.empty()) label += "\t" + QString::fromStdString(item.keys);
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
    AddMenuItems(menuBar()->addMenu(QString::fromStdString(pulldown.label)), pulldown.children);
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
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
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
  QMainWindow::keyPressEvent(event);
}

void QtMainWindow::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Control && !event->isAutoRepeat() && editor_) {
    OnCtrlKey(*editor_, false);
    return;
  }
  QMainWindow::keyReleaseEvent(event);
}

}  // namespace qshe::platform
