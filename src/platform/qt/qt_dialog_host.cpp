#include "platform/qt/qt_dialog_host.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_scale.h"
#include "platform/qt/qt_scroll_view.h"

namespace qshe::platform {
namespace {

// A modeless dialog that never goes away by itself: the close box and Escape
// only tell the program, which hides it. It is a dialog window of its own,
// not a tool window: the main window's shortcuts stay out of it, so every
// key typed here is the dialog's. Only a Ctrl key that no control takes goes
// on to the main window (Ctrl+S saves from anywhere).
class ModelessDialog : public QDialog {
 public:
  ModelessDialog(QWidget* owner, QtDialogHost& host, int id)
      : QDialog(owner, Qt::Dialog), host_(host), id_(id) {
    setModal(false);
  }
  void reject() override { host_.Notify({id_, kNoControl, DialogEvent::Close, 0, 0, 0}); }

 protected:
  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::ActivationChange) host_.Notify({id_, kNoControl, DialogEvent::Activated, 0, 0, 0});
    QDialog::changeEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    reject();
  }
  void keyPressEvent(QKeyEvent* event) override {
    // Escape closes, Enter presses the default button.
    QDialog::keyPressEvent(event);
    if (event->isAccepted()) return;
    const Qt::KeyboardModifiers m = event->modifiers();
    if ((m & Qt::ControlModifier) && !(m & Qt::AltModifier) && host_.ForwardKey(*event)) return;
    event->accept();
  }
  void moveEvent(QMoveEvent* event) override {
    QDialog::moveEvent(event);
    host_.OnDialogMoved(id_);
  }

 private:
  QtDialogHost& host_;
  int id_;
};

QString Text(const std::string& s) { return QString::fromStdString(s); }

// A picture in a dialog: the program draws it, and the mouse on it goes to
// the program in picture pixels. While a button is held Qt keeps sending
// the moves and the release here, also from outside, so a drag that leaves
// the picture goes on with coordinates below 0 or past its size.
class DialogPicture : public QtPicture {
 public:
  DialogPicture(QWidget* parent, QSize size, QtPalettes& palettes, QtDialogHost& host, int dialog, int control)
      : QtPicture(parent, size, palettes), host_(host), dialog_(dialog), control_(control) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override { Send(event, DialogEvent::MouseDown); }
  void mouseMoveEvent(QMouseEvent* event) override { Send(event, DialogEvent::MouseMove); }
  void mouseReleaseEvent(QMouseEvent* event) override { Send(event, DialogEvent::MouseUp); }

 private:
  void Send(QMouseEvent* event, DialogEvent what) {
    const int button = what == DialogEvent::MouseMove ? 0 : MouseButtonNumber(event->button());
    if (what != DialogEvent::MouseMove && !button) return;
    QPoint p = PicturePosition(event);
    host_.Notify({dialog_, control_, what, p.x(), p.y(), button});
  }

  QtDialogHost& host_;
  int dialog_;
  int control_;
};

QRect Pixels(const DialogControl& c, const DialogBaseUnits& base) {
  Rect r = ControlPixels(c, base);
  return QRect(r.x1, r.y1, r.width(), r.height());
}

// Resource widths were measured in one font; in a wider one a one-line
// label or a check box's text would be cut off. Each gets the width its text
// needs, as far as the next control on its row (or the dialog's edge) allows.
void FitTexts(QWidget& window, const DialogResource& resource, const std::vector<QWidget*>& placed) {
  for (size_t i = 0; i < placed.size(); ++i) {
    const DialogControl& c = resource.controls[i];
    bool oneLine = c.kind == ControlKind::Label && c.height < 16;
    if (!oneLine && c.kind != ControlKind::CheckBox) continue;
    QWidget* w = placed[i];
    QRect r = w->geometry();
    int limit = window.width() - 2;
    for (size_t j = 0; j < placed.size(); ++j) {
      const ControlKind k = resource.controls[j].kind;
      if (j == i || k == ControlKind::GroupBox) continue;
      QRect o = placed[j]->geometry();
      if (o.left() > r.left() && o.top() <= r.bottom() && o.bottom() >= r.top()) limit = std::min(limit, o.left() - 2);
    }
    int wanted = std::min(w->sizeHint().width(), limit - r.left());
    if (wanted > r.width()) w->resize(wanted, r.height());
  }
}

// An edit as wide as its widest text needs, frame and margins included.
int EditWidthFor(QLineEdit& edit, const std::string& text) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.rect = edit.rect();
  option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  option.features = QStyleOptionFrame::None;
  const QMargins margins = edit.textMargins();
  // The line edit keeps two pixels of its own on each side of the text, and
  // the cursor one more.
  const int inside = edit.fontMetrics().horizontalAdvance(QString::fromStdString(text)) + margins.left() +
                     margins.right() + 2 * 2 + 1;
  const QSize outside =
      edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inside, edit.height()), &edit);
  return std::max(inside, outside.width());
}

// A number box grows to the right until its widest value shows whole, as
// far as the next control on its row (or the dialog's edge) allows; when
// that is not enough the dialog grows with it.
void FitWidest(QWidget& window, const DialogResource& resource, const std::vector<QWidget*>& placed) {
  for (size_t i = 0; i < placed.size(); ++i) {
    const DialogControl& c = resource.controls[i];
    auto* edit = qobject_cast<QLineEdit*>(placed[i]);
    if (!edit || c.widest.empty()) continue;
    QRect r = edit->geometry();
    const int wanted = EditWidthFor(*edit, c.widest);
    if (wanted <= r.width()) continue;
    int limit = window.width() - 2;
    for (size_t j = 0; j < placed.size(); ++j) {
      if (j == i || resource.controls[j].kind == ControlKind::GroupBox) continue;
      QRect o = placed[j]->geometry();
      if (o.left() > r.left() && o.top() <= r.bottom() && o.bottom() >= r.top()) limit = std::min(limit, o.left() - 2);
    }
    edit->resize(wanted, r.height());
    if (r.left() + wanted > limit) {
      // Everything right of the box on its row moves along, and the dialog
      // grows by as much.
      const int push = r.left() + wanted - limit;
      for (size_t j = 0; j < placed.size(); ++j) {
        QRect o = placed[j]->geometry();
        if (j != i && o.left() > r.left() && o.top() <= r.bottom() && o.bottom() >= r.top()) {
          placed[j]->move(o.left() + push, o.top());
        }
      }
      window.setFixedSize(window.width() + push, window.height());
    }
  }
}

QFont Scaled(const QFont& base, double factor) {
  QFont f = base;
  if (base.pointSizeF() > 0) {
    f.setPointSizeF(base.pointSizeF() * factor);
  } else if (base.pixelSize() > 0) {
    f.setPixelSize(std::max(1, static_cast<int>(base.pixelSize() * factor + 0.5)));
  }
  return f;
}

Rect ToRect(const QRect& r) { return {r.left(), r.right(), r.top(), r.bottom()}; }

QString StateKey(int dialog, const char* what) { return QStringLiteral("Windows/%1/%2").arg(dialog).arg(what); }

}  // namespace

DialogBaseUnits QtDialogHost::BaseUnitsOf(const QWidget& widget) {
  // The average width of the 52 letters, rounded as the dialog manager does,
  // and the font's height.
  QFontMetrics m(widget.font());
  int letters = m.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(letters / 26 + 1) / 2, m.height()};
}

QtDialogHost::QtDialogHost(std::function<QWidget*()> owner, QtPalettes& palettes)
    : owner_(std::move(owner)), palettes_(palettes), baseFont_(QApplication::font()) {}

QtDialogHost::~QtDialogHost() {
  listener_ = {};
  // Whatever moves while the windows go is no move of the user's, and the
  // state store may be gone already.
  placing_ = true;
  state_ = nullptr;
  for (auto& [id, built] : dialogs_) delete built.window;
}

void QtDialogHost::CreateDialog(const DialogResource& resource) {
  if (DialogExists(resource.id)) return;
  const int id = resource.id;
  auto* window = new ModelessDialog(owner_(), *this, id);
  window->setWindowTitle(Text(resource.caption));
  window->setFont(baseFont_);
  const DialogBaseUnits base = ResourceUnits(resource, BaseUnitsOf(*window));

  // A slot that tells the program what happened to one control.
  auto sender = [this, id](int control, DialogEvent event) {
    return [this, id, control, event] { Notify({id, control, event, 0, 0, 0}); };
  };
  Built built;
  built.window = window;
  built.resource = resource;
  std::vector<QWidget*> tabOrder;
  QWidget* textView = nullptr;
  for (const DialogControl& c : resource.controls) {
    QWidget* widget = nullptr;
    const int control = c.id;
    switch (c.kind) {
      case ControlKind::Label:
      case ControlKind::Number: {
        auto* label = new QLabel(Text(c.text), window);
        label->setTextFormat(Qt::PlainText);
        // Only a label of two lines or more wraps; a one-line label runs on.
        label->setWordWrap(c.height >= 16);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
      }
      case ControlKind::Edit: {
        auto* edit = new QLineEdit(Text(c.text), window);
        QObject::connect(edit, &QLineEdit::textChanged, window, sender(control, DialogEvent::EditChanged));
        widget = edit;
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = new QCheckBox(Text(c.text), window);
        QObject::connect(box, &QCheckBox::clicked, window, sender(control, DialogEvent::Clicked));
        widget = box;
        break;
      }
      case ControlKind::GroupBox: {
        auto* frame = new QGroupBox(Text(c.text), window);
        // A frame lies behind the controls drawn over its edge and takes no clicks.
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget = frame;
        break;
      }
      case ControlKind::DropDownList: {
        auto* list = new QComboBox(window);
        list->setEditable(false);
        for (const std::string& item : c.items) list->addItem(Text(item));
        list->setMaxVisibleItems(std::max(1, c.height / 10));
        QObject::connect(list, &QComboBox::activated, window, sender(control, DialogEvent::SelectionChanged));
        widget = list;
        break;
      }
      case ControlKind::Button:
      case ControlKind::DefaultButton: {
        auto* button = new QPushButton(Text(c.text), window);
        // Only the resource's default button answers Enter, wherever the focus is.
        button->setAutoDefault(false);
        button->setDefault(c.kind == ControlKind::DefaultButton);
        QObject::connect(button, &QPushButton::clicked, window, sender(control, DialogEvent::Clicked));
        widget = button;
        break;
      }
      case ControlKind::Surface: {
        Rect r = ControlPixels(c, base);
        auto* picture = new DialogPicture(window, QSize(r.width(), r.height()), palettes_, *this, id, control);
        picture->setCursor(pictureCursor_);
        widget = picture;
        break;
      }
      case ControlKind::TextView: {
        auto* view = new QPlainTextEdit(window);
        view->setReadOnly(true);
        // Lines wrap at the window's width, so no text is out of sight
        // across however narrow the screen makes the window.
        view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        view->setPlainText(Text(c.text));
        textView = view;
        widget = view;
        break;
      }
      case ControlKind::ScrollView: {
        // Like the text window, it fills the dialog and follows its frame.
        auto* view = new QtScrollView(window, palettes_, *this, id, control);
        textView = view;
        widget = view;
        break;
      }
    }
    built.placed.push_back(widget);
    if (widget->focusPolicy() & Qt::TabFocus) tabOrder.push_back(widget);
    if (control != kNoControl) built.controls[control] = widget;
  }
  for (size_t i = 0; i < built.placed.size(); ++i) {
    if (resource.controls[i].kind == ControlKind::GroupBox) built.placed[i]->lower();
  }
  // Keys that press a button wherever the focus is; an edit keeps its typing.
  for (const DialogKey& key : resource.keys) {
    auto* action = new QAction(window);
    action->setShortcut(QKeySequence(Text(key.key)));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    const int control = key.control;
    QWidget* button = built.controls.count(control) ? built.controls[control] : nullptr;
    QObject::connect(action, &QAction::triggered, window, [this, id, control, button] {
      if (!button || button->isEnabled()) Notify({id, control, DialogEvent::Clicked, 0, 0, 0});
    });
    window->addAction(action);
  }
  for (size_t i = 1; i < tabOrder.size(); ++i) QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  if (textView) {
    // A text window follows its frame when the user resizes it.
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(textView);
  }
  Built& kept = dialogs_[id] = std::move(built);
  LayOut(kept, resource.inPixels ? 1.0 : fontFactor_, resource.inPixels ? scale_ : 1);
}

void QtDialogHost::LayOut(Built& built, double factor, int scale) {
  const DialogResource& resource = built.resource;
  QDialog* window = built.window;
  built.fontFactor = factor;
  built.pictureScale = scale;
  for (QWidget* w : built.placed) {
    auto* view = dynamic_cast<QtScrollView*>(w);
    if (!view) continue;
    // A scrolling window opens at its resource size times the scale, as far
    // as the screen allows, and the user may resize it; its contents follow
    // the scale.
    window->setMinimumSize(160, 120);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize frame = FrameSize(built) - window->size();
    const QSize size(resource.width * scale, resource.height * scale);
    window->resize(size.boundedTo(AvailableArea().size() - frame - QSize(16, 16)));
    view->SetScale(scale);
    return;
  }
  if (resource.inPixels) {
    const double dpr = window->devicePixelRatioF();
    window->setFixedSize(ScaledLogicalSize(QSize(resource.width, resource.height), scale, dpr));
    // Buttons and boxes beside a picture grow with it, and their text with
    // them. The style sheet goes first, as below.
    const bool withText = std::any_of(resource.controls.begin(), resource.controls.end(),
                                      [](const DialogControl& c) { return c.kind != ControlKind::Surface; });
    if (withText) {
      const int box = QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth);
      window->setStyleSheet(scale > 1 ? QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }")
                                            .arg(std::max(1, static_cast<int>(box * scale / dpr + 0.5)))
                                      : QString());
      QFont font = baseFont_;
      font.setPixelSize(std::max(1, static_cast<int>(QFontInfo(baseFont_).pixelSize() * scale / dpr + 0.5)));
      window->setFont(font);
      for (QWidget* w : built.placed) w->setFont(font);
    }
    for (size_t i = 0; i < resource.controls.size(); ++i) {
      const DialogControl& c = resource.controls[i];
      QWidget* w = built.placed[i];
      // Corners are whole picture pixels; sizes show every pixel whole.
      QPoint corner = QRectF(c.x * scale / dpr, c.y * scale / dpr, 1, 1).toAlignedRect().topLeft();
      w->setGeometry(QRect(corner, ScaledLogicalSize(QSize(c.width, c.height), scale, dpr)));
      if (auto* picture = dynamic_cast<QtPicture*>(w)) picture->SetScale(scale);
    }
    return;
  }
  // The check boxes' squares grow with the text beside them. The style
  // sheet goes first: setting one fixes the children's fonts as they are.
  const int box = QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth);
  window->setStyleSheet(factor > 1.0 ? QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }")
                                           .arg(static_cast<int>(box * factor + 0.5))
                                     : QString());
  const QFont font = Scaled(baseFont_, factor);
  window->setFont(font);
  // Each control too: under a style sheet a child keeps the font it had
  // when the sheet was applied.
  for (QWidget* w : built.placed) w->setFont(font);
  DialogBaseUnits base = BaseUnitsOf(*window);
  for (size_t i = 0; i < resource.controls.size(); ++i) {
    if (resource.controls[i].kind != ControlKind::TextView) continue;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(window->font().pointSizeF() > 0 ? window->font().pointSizeF() : fixed.pointSizeF() * factor);
    built.placed[i]->setFont(fixed);
    // A text window follows its frame (its layout places the text).
    window->setMinimumSize(160, 120);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize size(DialogUnitsToPixelsX(resource.width, base), DialogUnitsToPixelsY(resource.height, base));
    const QSize frame = FrameSize(built) - window->size();
    window->resize(size.boundedTo(AvailableArea().size() - frame - QSize(16, 16)));
    built.units = base;
    return;
  }
  // Resource rectangles were measured in one font; text in another may need
  // more room than its average letter promises. The units grow a little at a
  // time, and the whole dialog with them, until no text is cut.
  for (int round = 0; round < 16; ++round) {
    PlaceControls(built, base);
    if (!TextCut(built)) break;
    base.charWidth += std::max(1, base.charWidth / 16);
    base.charHeight += std::max(1, base.charHeight / 16);
  }
  built.units = base;
}

void QtDialogHost::PlaceControls(Built& built, const DialogBaseUnits& base) {
  const DialogResource& resource = built.resource;
  QDialog* window = built.window;
  window->setFixedSize(DialogUnitsToPixelsX(resource.width, base), DialogUnitsToPixelsY(resource.height, base));
  for (size_t i = 0; i < resource.controls.size(); ++i) {
    const DialogControl& c = resource.controls[i];
    QWidget* w = built.placed[i];
    QRect r = Pixels(c, base);
    // The list's rectangle counts the dropped list; the box itself is one line.
    if (c.kind == ControlKind::DropDownList) r.setHeight(w->sizeHint().height());
    w->setGeometry(r);
  }
  FitTexts(*window, resource, built.placed);
  FitWidest(*window, resource, built.placed);
}

bool QtDialogHost::TextCut(const Built& built) {
  const DialogResource& resource = built.resource;
  for (size_t i = 0; i < resource.controls.size(); ++i) {
    const DialogControl& c = resource.controls[i];
    QWidget* w = built.placed[i];
    switch (c.kind) {
      case ControlKind::Label:
      case ControlKind::Number: {
        auto* label = static_cast<QLabel*>(w);
        if (label->wordWrap() ? label->heightForWidth(w->width()) > w->height() : label->sizeHint().width() > w->width()) {
          return true;
        }
        break;
      }
      case ControlKind::CheckBox:
      case ControlKind::DropDownList:
        if (w->sizeHint().width() > w->width()) return true;
        break;
      case ControlKind::Button:
      case ControlKind::DefaultButton: {
        // The text and a little room either side; the style's own least
        // width for buttons does not count.
        QString text = QString::fromStdString(c.text).remove('&');
        if (w->fontMetrics().horizontalAdvance(text) + w->fontMetrics().averageCharWidth() > w->width()) return true;
        break;
      }
      default: break;
    }
  }
  return false;
}

QRect QtDialogHost::AvailableArea() const {
  QWidget* owner = owner_();
  QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

QSize QtDialogHost::FrameSize(const Built& built) const {
  QDialog* w = built.window;
  QSize frame = w->frameGeometry().size();
  if (frame != w->size() || w->isVisible()) return frame.expandedTo(w->size());
  // Not framed yet: as much frame as the main window has.
  if (QWidget* owner = owner_()) {
    const QSize margins = owner->frameGeometry().size() - owner->size();
    return w->size() + margins.expandedTo(QSize(0, 0));
  }
  return w->size();
}

WindowSpot QtDialogHost::FitAndFindSpot(Built& built) {
  const QRect area = AvailableArea();
  QWidget* owner = owner_();
  const QRect main = owner ? owner->frameGeometry() : QRect();
  const QRect clear = keepClear_ ? keepClear_() : QRect();
  std::vector<Rect> taken;
  for (auto& [id, other] : dialogs_) {
    if (&other != &built && other.window->isVisible()) taken.push_back(ToRect(other.window->frameGeometry()));
  }
  auto spot = [&] {
    const QSize frame = FrameSize(built);
    return PlaceWindow(ToRect(area), ToRect(main), ToRect(clear), frame.width(), frame.height(), taken);
  };
  WindowSpot at;
  if (built.resource.inPixels) {
    // A window the user may resize (the Shapes window) may also be made
    // narrower, to no less than 60%, before its scale is made smaller.
    // Such a window goes beside the main window at a smaller scale sooner
    // than over the main window's sides at a larger one.
    const bool narrower = built.window->minimumSize() != built.window->maximumSize();
    for (int pass = narrower ? 0 : 1; pass < 2; ++pass) {
      for (int s = scale_; s >= 1; --s) {
        LayOut(built, 1.0, s);
        const QSize full = built.window->size();
        for (double part : {1.0, 0.8, 0.6}) {
          if (part < 1.0 && !narrower) break;
          if (part < 1.0) built.window->resize(static_cast<int>(full.width() * part), full.height());
          at = spot();
          const QRect frame(QPoint(at.x, at.y), FrameSize(built));
          if (at.canvasOverlap == 0 && (pass == 1 || !frame.intersects(main))) return at;
        }
      }
    }
    return at;
  }
  // Quarter steps down to the base font. A window the user may resize
  // (the help text, which wraps its lines) may also be made narrower, to no
  // less than 60%, before its font is made smaller.
  const bool resizable = built.window->minimumSize() != built.window->maximumSize();
  for (double f = fontFactor_;; f = std::max(1.0, f - 0.25)) {
    LayOut(built, f, 1);
    const QSize full = built.window->size();
    for (double part : {1.0, 0.9, 0.8, 0.7, 0.6}) {
      if (part < 1.0 && !resizable) break;
      if (part < 1.0) built.window->resize(static_cast<int>(full.width() * part), full.height());
      at = spot();
      if (at.canvasOverlap == 0) return at;
    }
    if (f <= 1.0) break;
  }
  return at;
}

void QtDialogHost::MoveTo(Built& built, QPoint frameTopLeft) {
  placing_ = true;
  built.window->move(frameTopLeft);
  built.placedAt = built.window->pos();
  placing_ = false;
}

void QtDialogHost::OnDialogMoved(int dialog) {
  auto it = dialogs_.find(dialog);
  if (placing_ || it == dialogs_.end()) return;
  Built& built = it->second;
  if (!built.window->isVisible() || built.window->pos() == built.placedAt) return;
  built.userMoved = true;
  Remember(dialog, "Position", built.window->pos());
}

void QtDialogHost::Remember(int dialog, const char* what, const QVariant& value) {
  if (state_) state_->setValue(StateKey(dialog, what), value);
}

std::vector<int> QtDialogHost::RememberedOpen() const {
  std::vector<int> open;
  if (!state_) return open;
  state_->beginGroup("Windows");
  const QStringList ids = state_->childGroups();
  state_->endGroup();
  for (const QString& id : ids) {
    bool number = false;
    const int dialog = id.toInt(&number);
    if (number && state_->value(StateKey(dialog, "Open"), false).toBool()) open.push_back(dialog);
  }
  return open;
}

void QtDialogHost::SetScales(int pictureScale, double fontFactor) {
  scale_ = ClampWindowScale(pictureScale);
  fontFactor_ = std::max(1.0, fontFactor);
  for (auto& [id, built] : dialogs_) {
    const WindowSpot at = FitAndFindSpot(built);
    if (!built.window->isVisible()) continue;
    QPoint corner(at.x, at.y);
    if (built.userMoved) {
      // Where the user put it, as far as it still fits on the screen.
      const QSize frame = FrameSize(built);
      int x = built.window->x(), y = built.window->y();
      KeepInside(ToRect(AvailableArea()), frame.width(), frame.height(), x, y);
      corner = QPoint(x, y);
    }
    MoveTo(built, corner);
  }
}

DialogBaseUnits QtDialogHost::LayoutUnits(int dialog) const {
  auto it = dialogs_.find(dialog);
  return it == dialogs_.end() ? DialogBaseUnits{} : it->second.units;
}

int QtDialogHost::DialogPictureScale(int dialog) const {
  auto it = dialogs_.find(dialog);
  return it == dialogs_.end() ? 0 : it->second.pictureScale;
}

double QtDialogHost::DialogFontFactor(int dialog) const {
  auto it = dialogs_.find(dialog);
  return it == dialogs_.end() ? 0 : it->second.fontFactor;
}

void QtDialogHost::SetPictureCursor(const QCursor& cursor) {
  pictureCursor_ = cursor;
  for (auto& [id, built] : dialogs_) {
    for (auto& [control, widget] : built.controls) {
      if (dynamic_cast<QtPicture*>(widget)) widget->setCursor(cursor);
    }
  }
}

QDialog* QtDialogHost::DialogWindow(int dialog) const {
  auto it = dialogs_.find(dialog);
  return it == dialogs_.end() ? nullptr : it->second.window;
}

QWidget* QtDialogHost::ItemWidget(int dialog, int control) const {
  auto it = dialogs_.find(dialog);
  if (it == dialogs_.end()) return nullptr;
  auto c = it->second.controls.find(control);
  return c == it->second.controls.end() ? nullptr : c->second;
}

void QtDialogHost::ShowDialog(int dialog) {
  auto it = dialogs_.find(dialog);
  if (it == dialogs_.end()) return;
  Built& built = it->second;
  QDialog* w = built.window;
  if (!w->isVisible()) {
    const WindowSpot at = FitAndFindSpot(built);
    QPoint corner(at.x, at.y);
    const QRect area = AvailableArea();
    const QSize frame = FrameSize(built);
    if (!built.shownOnce && state_ && state_->contains(StateKey(dialog, "Position"))) {
      // Where the user left it last time, kept on the screen.
      const QPoint remembered = state_->value(StateKey(dialog, "Position")).toPoint();
      QScreen* screen = QGuiApplication::screenAt(remembered + QPoint(20, 20));
      const QRect there = screen ? screen->availableGeometry() : area;
      int x = remembered.x(), y = remembered.y();
      KeepInside(ToRect(there), frame.width(), frame.height(), x, y);
      corner = QPoint(x, y);
      built.userMoved = true;
    } else if (built.userMoved) {
      int x = w->x(), y = w->y();
      KeepInside(ToRect(area), frame.width(), frame.height(), x, y);
      corner = QPoint(x, y);
    }
    built.shownOnce = true;
    MoveTo(built, corner);
    placing_ = true;
    w->show();
    placing_ = false;
    built.placedAt = w->pos();
    Remember(dialog, "Open", true);
  }
  // The offscreen platform of the tests has no stacking to change.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
  w->activateWindow();
}

void QtDialogHost::HideDialog(int dialog) {
  QDialog* w = DialogWindow(dialog);
  if (!w) return;
  w->hide();
  Remember(dialog, "Open", false);
}

bool QtDialogHost::DialogVisible(int dialog) {
  QDialog* w = DialogWindow(dialog);
  return w && w->isVisible();
}

void QtDialogHost::SetDialogTitle(int dialog, const std::string& title) {
  if (QDialog* w = DialogWindow(dialog)) w->setWindowTitle(Text(title));
}

void QtDialogHost::SetItemText(int dialog, int control, const std::string& text) {
  QWidget* w = ItemWidget(dialog, control);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(Text(text));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(Text(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(Text(text));
  } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
    frame->setTitle(Text(text));
  } else if (auto* view = qobject_cast<QPlainTextEdit*>(w)) {
    view->setPlainText(Text(text));
  }
}

std::string QtDialogHost::ItemText(int dialog, int control) {
  QWidget* w = ItemWidget(dialog, control);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
  if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText().toStdString();
  if (auto* view = qobject_cast<QPlainTextEdit*>(w)) return view->toPlainText().toStdString();
  return {};
}

void QtDialogHost::SetItemChecked(int dialog, int control, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(ItemWidget(dialog, control))) box->setChecked(checked);
}

bool QtDialogHost::ItemChecked(int dialog, int control) {
  auto* box = qobject_cast<QCheckBox*>(ItemWidget(dialog, control));
  return box && box->isChecked();
}

void QtDialogHost::SetItemEnabled(int dialog, int control, bool enabled) {
  if (QWidget* w = ItemWidget(dialog, control)) w->setEnabled(enabled);
}

void QtDialogHost::SetListItems(int dialog, int control, const std::vector<std::string>& items) {
  auto* list = qobject_cast<QComboBox*>(ItemWidget(dialog, control));
  if (!list) return;
  list->clear();
  for (const std::string& item : items) list->addItem(Text(item));
}

void QtDialogHost::SetListSelection(int dialog, int control, int index) {
  auto* list = qobject_cast<QComboBox*>(ItemWidget(dialog, control));
  if (list && index >= -1 && index < list->count()) list->setCurrentIndex(index);
}

int QtDialogHost::ListSelection(int dialog, int control) {
  auto* list = qobject_cast<QComboBox*>(ItemWidget(dialog, control));
  return list ? list->currentIndex() : -1;
}

void QtDialogHost::SetItemWarning(int dialog, int control, const std::string& text) {
  QWidget* w = ItemWidget(dialog, control);
  if (!w) return;
  w->setToolTip(Text(text));
  // A tinted box catches the eye before anyone hovers over it.
  w->setStyleSheet(text.empty() ? QString() : QStringLiteral("background-color: #ffd8d0;"));
}

WindowSurface* QtDialogHost::ItemSurface(int dialog, int control) {
  return dynamic_cast<QtPicture*>(ItemWidget(dialog, control));
}

ScrollView* QtDialogHost::ItemScrollView(int dialog, int control) {
  return dynamic_cast<QtScrollView*>(ItemWidget(dialog, control));
}

void QtDialogHost::ActivateOwner() {
  QWidget* owner = owner_();
  if (!owner) return;
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) owner->raise();
  owner->activateWindow();
}

}  // namespace qshe::platform
