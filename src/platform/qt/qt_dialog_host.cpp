#include "platform/qt/qt_dialog_host.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "platform/qt/qt_picture.h"
#include "platform/qt/qt_scale.h"

namespace qshe::platform {
namespace {

// A modeless dialog that never goes away by itself: the close box and Escape
// only tell the program, which hides it.
class ModelessDialog : public QDialog {
 public:
  ModelessDialog(QWidget* owner, QtDialogHost& host, int id)
      : QDialog(owner, Qt::Tool), host_(host), id_(id) {
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

}  // namespace

DialogBaseUnits QtDialogHost::BaseUnitsOf(const QWidget& widget) {
  // The average width of the 52 letters, rounded as the dialog manager does,
  // and the font's height.
  QFontMetrics m(widget.font());
  int letters = m.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(letters / 26 + 1) / 2, m.height()};
}

QtDialogHost::~QtDialogHost() {
  listener_ = {};
  for (auto& [id, built] : dialogs_) delete built.window;
}

void QtDialogHost::CreateDialog(const DialogResource& resource) {
  if (DialogExists(resource.id)) return;
  const int id = resource.id;
  auto* window = new ModelessDialog(owner_(), *this, id);
  window->setWindowTitle(Text(resource.caption));
  const DialogBaseUnits base = ResourceUnits(resource, BaseUnitsOf(*window));
  window->setFixedSize(DialogUnitsToPixelsX(resource.width, base), DialogUnitsToPixelsY(resource.height, base));

  // A slot that tells the program what happened to one control.
  auto sender = [this, id](int control, DialogEvent event) {
    return [this, id, control, event] { Notify({id, control, event, 0, 0, 0}); };
  };
  Built built;
  built.window = window;
  std::vector<QWidget*> tabOrder;
  std::vector<QWidget*> frames;
  std::vector<QWidget*> placed;  // one per control, in resource order
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
        frames.push_back(frame);
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
    }
    QRect r = Pixels(c, base);
    // The list's rectangle counts the dropped list; the box itself is one line.
    if (c.kind == ControlKind::DropDownList) r.setHeight(widget->sizeHint().height());
    widget->setGeometry(r);
    placed.push_back(widget);
    if (widget->focusPolicy() & Qt::TabFocus) tabOrder.push_back(widget);
    if (control != kNoControl) built.controls[control] = widget;
  }
  for (QWidget* frame : frames) frame->lower();
  FitTexts(*window, resource, placed);
  for (size_t i = 1; i < tabOrder.size(); ++i) QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  if (resource.inPixels) {
    built.pixelLayout = resource;
    LayOutInPixels(built);
  }
  dialogs_[id] = std::move(built);
}

void QtDialogHost::LayOutInPixels(const Built& built) {
  const DialogResource& resource = built.pixelLayout;
  const double dpr = built.window->devicePixelRatioF();
  // As large as the window scale asks, as far as the screen has room: a
  // window larger than the screen would hide its own buttons.
  int scale = scale_;
  QWidget* owner = owner_();
  QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    const QSize room = screen->availableGeometry().size() - QSize(16, 48);  // the frame and title
    while (scale > 1) {
      const QSize need = ScaledLogicalSize(QSize(resource.width, resource.height), scale, dpr);
      if (need.width() <= room.width() && need.height() <= room.height()) break;
      --scale;
    }
  }
  built.window->setFixedSize(ScaledLogicalSize(QSize(resource.width, resource.height), scale, dpr));
  for (const DialogControl& c : resource.controls) {
    auto it = built.controls.find(c.id);
    if (c.id == kNoControl || it == built.controls.end()) continue;
    // Corners are whole picture pixels; sizes show every pixel whole.
    QPoint corner = QRectF(c.x * scale / dpr, c.y * scale / dpr, 1, 1).toAlignedRect().topLeft();
    it->second->setGeometry(QRect(corner, ScaledLogicalSize(QSize(c.width, c.height), scale, dpr)));
    if (auto* picture = dynamic_cast<QtPicture*>(it->second)) picture->SetScale(scale);
  }
}

void QtDialogHost::SetPictureScale(int scale) {
  scale_ = ClampWindowScale(scale);
  for (auto& [id, built] : dialogs_) {
    if (built.pixelLayout.inPixels) LayOutInPixels(built);
  }
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

void QtDialogHost::PlaceBesideOwner(Built& built) {
  built.placed = true;
  QWidget* owner = owner_();
  if (!owner || !owner->isVisible()) return;
  const QRect main = owner->frameGeometry();
  QDialog* w = built.window;
  const int gap = 8;
  QPoint at(main.right() + gap, main.top() + previewsPlaced_ * (w->height() + 40));
  ++previewsPlaced_;
  if (QScreen* screen = owner->screen()) {
    const QRect area = screen->availableGeometry();
    at.setX(std::min(at.x(), area.right() - w->width()));
    at.setY(std::min(at.y(), area.bottom() - w->height()));
  }
  w->move(at);
}

void QtDialogHost::ShowDialog(int dialog) {
  auto it = dialogs_.find(dialog);
  if (it != dialogs_.end() && it->second.pixelLayout.inPixels && !it->second.placed) PlaceBesideOwner(it->second);
  if (QDialog* w = DialogWindow(dialog)) {
    w->show();
    // The offscreen platform of the tests has no stacking to change.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
    w->activateWindow();
  }
}

void QtDialogHost::HideDialog(int dialog) {
  if (QDialog* w = DialogWindow(dialog)) w->hide();
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
  }
}

std::string QtDialogHost::ItemText(int dialog, int control) {
  QWidget* w = ItemWidget(dialog, control);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
  if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText().toStdString();
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

}  // namespace qshe::platform
