// The status bar under the picture: the program's status text in the
// desktop's own font, which grows with the window scale. Two rows, so that
// nothing is cut off at the smallest scale: the position, colour, zoom,
// shape, size and unsaved state above, the last operation's line and a
// tool's own line below.
#pragma once

#include <QStatusBar>
#include <array>

#include "app/editor.h"

class QLabel;

namespace qshe::platform {

class QtStatusBar : public QStatusBar {
 public:
  explicit QtStatusBar(QWidget* parent);
  void Show(const StatusText& text);
  // The font for the scale; the fields keep room for their widest text, so
  // nothing moves as the mouse does.
  void SetInterfaceFont(const QFont& font);
  // What a field shows now, for tests: 0 position, 1 colour, 2 zoom, 3 shape,
  // 4 size, 5 modified, 6 message, 7 tool line.
  QString FieldText(int field) const;

 private:
  std::array<QLabel*, 8> fields_{};
  QWidget* box_ = nullptr;
};

}  // namespace qshe::platform
