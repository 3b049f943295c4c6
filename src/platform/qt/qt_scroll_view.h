// A ScrollView on Qt: the program's picture of the visible part beside a
// vertical bar. The program draws in view pixels; the bar and the wheel
// move the view and tell the program, which draws again. Keys the program
// browses with go to it; the others (Escape, Ctrl keys) go on to the dialog.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/surface.h"

class QScrollBar;

namespace qshe::platform {

class QtDialogHost;
class QtPalettes;

// The picture part: what the program presented, one pixel per view pixel.
class QtViewPicture : public QWidget, public WindowSurface {
 public:
  QtViewPicture(QWidget* parent, QtPalettes& palettes, QtDialogHost& host, int dialog, int control);
  const QImage& image() const { return image_; }

  PaletteDevice& palettes() override;
  int ColorDepth() override { return 24; }
  TextMetrics SelectFixedFont() override;
  int TextWidth(std::string_view text) override;
  void SelectPalette(PaletteId) override {}
  void Present(const IndexedImage& image, const Rect& source, const Rect& target) override;
  void DrawText(int x, int y, std::string_view text, Rgb color) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Send(QMouseEvent* event, DialogEvent what);

  QtPalettes& palettes_;
  QtDialogHost& host_;
  int dialog_;
  int control_;
  QImage image_;
};

class QtScrollView : public QWidget, public ScrollView {
 public:
  QtScrollView(QWidget* parent, QtPalettes& palettes, QtDialogHost& host, int dialog, int control);

  // The window scale the contents follow; a change tells the program.
  void SetScale(int scale);
  QtViewPicture* picture() const { return picture_; }
  QScrollBar* bar() const { return bar_; }
  // The program is told of a new size or scale.
  void NotifyResized();
  // A wheel turn of `steps` notches (positive: up).
  void Wheel(int steps);

  WindowSurface& Surface() override { return *picture_; }
  int ViewWidth() override;
  int ViewHeight() override;
  int Scale() override { return scale_; }
  void SetContentHeight(int height, int step) override;
  int ScrollPosition() override;
  void SetScrollPosition(int y) override;
  int PopupMenu(const std::vector<MenuItem>& items, int x, int y) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QtDialogHost& host_;
  int dialog_;
  int control_;
  QtViewPicture* picture_;
  QScrollBar* bar_;
  int scale_ = 1;
  bool setting_ = false;  // the program moves the bar: no notification
};

}  // namespace qshe::platform
