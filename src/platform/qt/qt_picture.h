// A widget that shows a program picture: it keeps what the program presented
// and shows it enlarged by a whole number, each picture pixel a block of
// scale x scale device pixels, never smoothed. The main window's client area
// and the positioning previews are both one.
#pragma once

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <array>
#include <map>
#include <string>

#include "platform/surface.h"

class QMouseEvent;

namespace qshe::platform {

// The program's number of a mouse button: 1 left, 2 right, 0 any other.
int MouseButtonNumber(Qt::MouseButton button);

// The palettes of all the program's windows, as one palette manager.
class QtPalettes : public PaletteDevice {
 public:
  std::array<Rgb, kStaticColorCount> StaticColors() override { return kStandardStaticColors; }
  PaletteId CreatePalette(std::span<const PaletteEntry, 256> entries) override;
  void AnimatePalette(PaletteId palette, int first, std::span<const PaletteEntry> entries) override;
  // The palette's entries, or null for an unknown id.
  const std::array<PaletteEntry, 256>* Find(PaletteId palette) const;

 private:
  std::map<PaletteId, std::array<PaletteEntry, 256>> palettes_;
  PaletteId next_ = 1;
};

class QtPicture : public QWidget, public WindowSurface {
 public:
  QtPicture(QWidget* parent, QSize picture, QtPalettes& palettes);

  const QImage& image() const { return image_; }
  // The text last written straight to the window.
  const std::string& lastText() const { return lastText_; }
  // Device pixels per picture pixel.
  int scale() const { return scale_; }
  void SetScale(int scale);
  // The widget size that shows the whole picture at the current scale.
  QSize ScaledSize() const;

  // WindowSurface
  PaletteDevice& palettes() override { return palettes_; }
  int ColorDepth() override { return 24; }
  TextMetrics SelectFixedFont() override;
  int TextWidth(std::string_view text) override;
  void SelectPalette(PaletteId palette) override { selected_ = palette; }
  void Present(const IndexedImage& image, const Rect& source, const Rect& target) override;
  void DrawText(int x, int y, std::string_view text, Rgb color) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // A paint the program did not ask for (the window uncovered or enlarged)
  // may present afresh here before the kept picture is shown.
  virtual void PresentAfresh() {}
  // The picture pixel under the mouse; negative left of or above the widget.
  QPoint PicturePosition(QMouseEvent* event) const;

 private:
  // Brings the enlarged copy of `rect` (picture pixels) up to date and asks
  // for it to be painted.
  void Show(const QRect& rect);

  QtPalettes& palettes_;
  QImage image_;   // the picture as presented, one pixel per picture pixel
  QImage scaled_;  // the same enlarged to device pixels
  int scale_ = 1;
  QRegion fresh_;  // widget parts that the program presented since the last paint
  bool painting_ = false;
  QFont font_;
  std::string lastText_;
  PaletteId selected_ = 0;
};

}  // namespace qshe::platform
