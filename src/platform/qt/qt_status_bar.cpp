#include "platform/qt/qt_status_bar.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>

namespace qshe::platform {
namespace {

// The widest text each upper field shows.
const char* const kWidest[] = {"255, 255", "index 255  (255, 255, 255)", "x16", "Shape 4999 of 5,000",
                               "255 x 255", "Modified"};

}  // namespace

QtStatusBar::QtStatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  auto* box = box_ = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(4, 0, 4, 0);
  grid->setVerticalSpacing(0);
  for (size_t i = 0; i < fields_.size(); ++i) {
    fields_[i] = new QLabel(box);
    fields_[i]->setTextFormat(Qt::PlainText);
    // Each field paints its own background, so a new text repaints only it.
    fields_[i]->setAutoFillBackground(true);
  }
  for (int i = 0; i < 6; ++i) grid->addWidget(fields_[static_cast<size_t>(i)], 0, i, Qt::AlignLeft);
  grid->addWidget(fields_[6], 1, 0, 1, 4);
  grid->addWidget(fields_[7], 1, 4, 1, 2);
  grid->setColumnStretch(1, 1);
  addWidget(box, 1);
}

void QtStatusBar::Show(const StatusText& t) {
  const std::array<const std::string*, 8> all = {&t.position, &t.color, &t.zoom, &t.shape,
                                                 &t.size, &t.modified, &t.message, &t.toolForm};
  for (size_t i = 0; i < fields_.size(); ++i) {
    const QString text = QString::fromStdString(*all[i]);
    // Only what changed: a move within one canvas pixel costs nothing.
    if (fields_[i]->text() != text) fields_[i]->setText(text);
  }
}

void QtStatusBar::SetInterfaceFont(const QFont& font) {
  setFont(font);
  const QFontMetrics m(font);
  // Fixed sizes: a field whose text changes as the mouse moves lays out
  // nothing again, it only repaints.
  for (size_t i = 0; i < 6; ++i) {
    fields_[i]->setFont(font);
    fields_[i]->setFixedSize(m.horizontalAdvance(QString::fromLatin1(kWidest[i])) + m.averageCharWidth(), m.height());
  }
  fields_[6]->setFont(font);
  fields_[7]->setFont(font);
  fields_[6]->setFixedHeight(m.height());
  fields_[7]->setFixedHeight(m.height());
  // The window is sized from the bar's height at once, before Qt would
  // lay the bar out again on its own.
  box_->layout()->invalidate();
  box_->updateGeometry();
  if (layout()) layout()->invalidate();
}

QString QtStatusBar::FieldText(int field) const {
  if (field < 0 || field >= static_cast<int>(fields_.size())) return {};
  return fields_[static_cast<size_t>(field)]->text();
}

}  // namespace qshe::platform
