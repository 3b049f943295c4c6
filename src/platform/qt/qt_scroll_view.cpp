#include "platform/qt/qt_scroll_view.h"

#include <QAction>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <array>

#include "platform/qt/qt_dialog_host.h"
#include "platform/qt/qt_picture.h"

namespace qshe::platform {
namespace {

int ModifierBits(Qt::KeyboardModifiers m) {
  return ((m & Qt::ShiftModifier) ? kShiftKey : 0) | ((m & Qt::ControlModifier) ? kCtrlKey : 0);
}

ViewKey KeyOf(const QKeyEvent& event) {
  const Qt::KeyboardModifiers m = event.modifiers();
  if (m & Qt::AltModifier) return ViewKey::None;
  if (m & Qt::ControlModifier) {
    // Ctrl+A and Ctrl+C act on the shapes here; every other Ctrl key goes on
    // to the main window.
    if (event.key() == Qt::Key_A) return ViewKey::SelectAll;
    if (event.key() == Qt::Key_C) return ViewKey::Copy;
  }
  switch (event.key()) {
    case Qt::Key_Left: return ViewKey::Left;
    case Qt::Key_Right: return ViewKey::Right;
    case Qt::Key_Up: return ViewKey::Up;
    case Qt::Key_Down: return ViewKey::Down;
    case Qt::Key_Home: return ViewKey::Home;
    case Qt::Key_End: return ViewKey::End;
    case Qt::Key_PageUp: return ViewKey::PageUp;
    case Qt::Key_PageDown: return ViewKey::PageDown;
    case Qt::Key_Return:
    case Qt::Key_Enter: return ViewKey::Enter;
    case Qt::Key_Delete: return ViewKey::Delete;
    default: return ViewKey::None;
  }
}

}  // namespace

// ----- the picture -----------------------------------------------------------------

QtViewPicture::QtViewPicture(QWidget* parent, QtPalettes& palettes, QtDialogHost& host, int dialog, int control)
    : QWidget(parent), palettes_(palettes), host_(host), dialog_(dialog), control_(control) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

PaletteDevice& QtViewPicture::palettes() { return palettes_; }

TextMetrics QtViewPicture::SelectFixedFont() {
  QFontMetrics m(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return {m.height(), 0};
}

int QtViewPicture::TextWidth(std::string_view text) {
  QFontMetrics m(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return m.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

void QtViewPicture::Present(const IndexedImage& image, const Rect& source, const Rect& target) {
  // The program presents its picture one to one, in view pixels.
  if (source.width() != target.width() || source.height() != target.height() || source.width() <= 0 ||
      source.height() <= 0) {
    return;
  }
  if (source.x1 < 0 || source.y1 < 0 || source.x2 >= image.width || source.y2 >= image.height) return;
  if (image.usage != ColorUsage::RgbColors) return;
  std::array<QRgb, 256> colors{};
  for (int v = 0; v < 256; ++v) {
    const uint8_t* q = image.colorTable + 4 * v;
    colors[static_cast<size_t>(v)] = qRgb(q[2], q[1], q[0]);
  }
  const int x1 = std::max(target.x1, 0), x2 = std::min(target.x2, image_.width() - 1);
  const int y1 = std::max(target.y1, 0), y2 = std::min(target.y2, image_.height() - 1);
  for (int ty = y1; ty <= y2; ++ty) {
    const int sy = source.y1 + ty - target.y1;
    const uint8_t* row = image.pixels + static_cast<size_t>(image.height - 1 - sy) * static_cast<size_t>(image.stride);
    const uint8_t* from = row + source.x1 + (x1 - target.x1);
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(ty));
    for (int tx = x1; tx <= x2; ++tx) out[tx] = colors[*from++];
  }
  if (x1 <= x2 && y1 <= y2) update(QRect(x1, y1, x2 - x1 + 1, y2 - y1 + 1));
}

void QtViewPicture::DrawText(int x, int y, std::string_view text, Rgb color) {
  QPainter p(&image_);
  const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  p.setFont(font);
  p.setPen(QColor(color.red, color.green, color.blue));
  p.drawText(x, y + QFontMetrics(font).ascent(), QString::fromUtf8(text.data(), static_cast<int>(text.size())));
  update();
}

void QtViewPicture::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(event->rect(), image_, event->rect());
}

void QtViewPicture::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (image_.size() == size()) return;
  image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image_.fill(QColor(192, 192, 192));
  // The scroll view tells the program once it has placed the bar too.
}

void QtViewPicture::Send(QMouseEvent* event, DialogEvent what) {
  const int button = what == DialogEvent::MouseMove ? 0 : MouseButtonNumber(event->button());
  if (what != DialogEvent::MouseMove && !button) return;
  const QPoint at = event->position().toPoint();
  DialogNotification n{dialog_, control_, what, at.x(), at.y(), button};
  n.modifiers = ModifierBits(event->modifiers());
  host_.Notify(n);
}

void QtViewPicture::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  Send(event, DialogEvent::MouseDown);
}
void QtViewPicture::mouseMoveEvent(QMouseEvent* event) { Send(event, DialogEvent::MouseMove); }
void QtViewPicture::mouseReleaseEvent(QMouseEvent* event) { Send(event, DialogEvent::MouseUp); }

void QtViewPicture::wheelEvent(QWheelEvent* event) {
  if (auto* view = dynamic_cast<QtScrollView*>(parentWidget())) view->Wheel(event->angleDelta().y() / 120);
  event->accept();
}

void QtViewPicture::keyPressEvent(QKeyEvent* event) {
  const ViewKey key = KeyOf(*event);
  if (key == ViewKey::None) {
    event->ignore();  // the dialog: Escape closes, Ctrl keys reach the main window
    return;
  }
  DialogNotification n{dialog_, control_, DialogEvent::KeyDown};
  n.key = key;
  n.modifiers = ModifierBits(event->modifiers());
  host_.Notify(n);
  event->accept();
}

// ----- the view with its bar --------------------------------------------------------

QtScrollView::QtScrollView(QWidget* parent, QtPalettes& palettes, QtDialogHost& host, int dialog, int control)
    : QWidget(parent),
      host_(host),
      dialog_(dialog),
      control_(control),
      picture_(new QtViewPicture(this, palettes, host, dialog, control)),
      bar_(new QScrollBar(Qt::Vertical, this)) {
  bar_->setRange(0, 0);
  bar_->setFocusPolicy(Qt::NoFocus);
  QObject::connect(bar_, &QScrollBar::valueChanged, this, [this](int) {
    if (!setting_) host_.Notify({dialog_, control_, DialogEvent::Scrolled, 0, 0, 0});
  });
  setFocusProxy(picture_);
}

void QtScrollView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int barWidth = bar_->sizeHint().width();
  bar_->setGeometry(width() - barWidth, 0, barWidth, height());
  picture_->setGeometry(0, 0, std::max(1, width() - barWidth), height());
  NotifyResized();
}

void QtScrollView::NotifyResized() { host_.Notify({dialog_, control_, DialogEvent::Resized, 0, 0, 0}); }

void QtScrollView::SetScale(int scale) {
  scale = std::clamp(scale, 1, 4);
  if (scale == scale_) return;
  scale_ = scale;
  NotifyResized();
}

void QtScrollView::Wheel(int steps) {
  // Three steps of the bar a notch, as text views scroll three lines.
  bar_->setValue(bar_->value() - steps * 3 * bar_->singleStep());
}

int QtScrollView::ViewWidth() { return picture_->width(); }
int QtScrollView::ViewHeight() { return picture_->height(); }

void QtScrollView::SetContentHeight(int height, int step) {
  setting_ = true;
  bar_->setRange(0, std::max(0, height - ViewHeight()));
  bar_->setPageStep(std::max(1, ViewHeight()));
  bar_->setSingleStep(std::max(1, step));
  setting_ = false;
}

int QtScrollView::ScrollPosition() { return bar_->value(); }

void QtScrollView::SetScrollPosition(int y) {
  setting_ = true;
  bar_->setValue(y);
  setting_ = false;
}

int QtScrollView::PopupMenu(const std::vector<MenuItem>& items, int x, int y) {
  QMenu menu(this);
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Separator) {
      menu.addSeparator();
      continue;
    }
    // The keys are only shown: the window's own keys do the work.
    QString text = QString::fromStdString(item.label);
    if (!item.keys.empty()) text += '\t' + QString::fromStdString(item.keys);
    QAction* action = menu.addAction(text);
    action->setData(item.id);
  }
  QAction* chosen = menu.exec(picture_->mapToGlobal(QPoint(x, y)));
  return chosen ? chosen->data().toInt() : 0;
}

}  // namespace qshe::platform
