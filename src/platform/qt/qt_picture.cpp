#include "platform/qt/qt_picture.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "platform/qt/qt_scale.h"

namespace qshe::platform {

int MouseButtonNumber(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return 1;
  if (button == Qt::RightButton) return 2;
  return 0;
}

// ----- palettes --------------------------------------------------------------------

PaletteId QtPalettes::CreatePalette(std::span<const PaletteEntry, 256> entries) {
  PaletteId id = next_++;
  std::copy(entries.begin(), entries.end(), palettes_[id].begin());
  return id;
}

void QtPalettes::AnimatePalette(PaletteId palette, int first, std::span<const PaletteEntry> entries) {
  auto it = palettes_.find(palette);
  if (it == palettes_.end()) return;
  for (size_t i = 0; i < entries.size() && first + static_cast<int>(i) < 256; ++i) {
    it->second[static_cast<size_t>(first) + i] = entries[i];
  }
}

const std::array<PaletteEntry, 256>* QtPalettes::Find(PaletteId palette) const {
  auto it = palettes_.find(palette);
  return it == palettes_.end() ? nullptr : &it->second;
}

// ----- the picture -----------------------------------------------------------------

QtPicture::QtPicture(QWidget* parent, QSize picture, QtPalettes& palettes)
    : QWidget(parent), palettes_(palettes), image_(picture, QImage::Format_RGB32) {
  image_.fill(Qt::black);
  setAttribute(Qt::WA_OpaquePaintEvent);
  font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font_.setPixelSize(12);
  font_.setStyleStrategy(QFont::NoAntialias);
  SetScale(1);
}

void QtPicture::SetScale(int scale) {
  scale_ = ClampWindowScale(scale);
  scaled_ = QImage(image_.width() * scale_, image_.height() * scale_, QImage::Format_RGB32);
  scaled_.setDevicePixelRatio(devicePixelRatioF());
  ScaleRect(image_, image_.rect(), scale_, scaled_);
  update();
}

QSize QtPicture::ScaledSize() const { return ScaledLogicalSize(image_.size(), scale_, devicePixelRatioF()); }

void QtPicture::Show(const QRect& rect) {
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

QPoint QtPicture::PicturePosition(QMouseEvent* event) const {
  return PicturePixel(event->position(), scale_, devicePixelRatioF());
}

TextMetrics QtPicture::SelectFixedFont() {
  QFontMetrics m(font_);
  return {m.height(), m.leading() > 0 ? m.leading() : 0};
}

int QtPicture::TextWidth(std::string_view text) {
  return QFontMetrics(font_).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

void QtPicture::Present(const IndexedImage& image, const Rect& source, const Rect& target) {
  const int sw = source.width(), sh = source.height(), tw = target.width(), th = target.height();
  if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
  if (source.x1 < 0 || source.y1 < 0 || source.x2 >= image.width || source.y2 >= image.height) return;
  // The colour table as 32-bit pixels once, then every pixel is one lookup.
  std::array<QRgb, 256> colors{};
  const auto* palette = palettes_.Find(selected_);
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

void QtPicture::DrawText(int x, int y, std::string_view text, Rgb color) {
  lastText_ = std::string(text);
  QPainter p(&image_);
  p.setFont(font_);
  p.setPen(QColor(color.red, color.green, color.blue));
  QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
  QFontMetrics m(font_);
  p.drawText(x, y + m.ascent(), s);
  Show(QRect(x, y, m.horizontalAdvance(s) + 1, m.height() + 1));
}

void QtPicture::paintEvent(QPaintEvent* event) {
  const double dpr = devicePixelRatioF();
  if (scaled_.devicePixelRatio() != dpr) scaled_.setDevicePixelRatio(dpr);  // moved to another screen
  if (!(event->region() - fresh_).isEmpty()) {
    painting_ = true;
    PresentAfresh();
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

}  // namespace qshe::platform
