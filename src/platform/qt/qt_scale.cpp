#include "platform/qt/qt_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qshe::platform {

int ClampWindowScale(int scale) { return std::clamp(scale, kMinWindowScale, kMaxWindowScale); }

double InterfaceFontFactor(int scale, double devicePixelRatio, QSize screen) {
  const double dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  const double room = std::min(screen.width() / 640.0, screen.height() / 480.0);
  return std::max(1.0, std::min(ClampWindowScale(scale) / dpr, room));
}

int InitialWindowScale(QSize picture, QSize screen, double devicePixelRatio, int extraHeight) {
  const double dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  int fits = kMinWindowScale;
  for (int s = kMaxWindowScale; s > kMinWindowScale; --s) {
    QSize size = ScaledLogicalSize(picture, s, dpr);
    if (size.width() <= 0.8 * screen.width() && size.height() + extraHeight <= 0.8 * screen.height()) {
      fits = s;
      break;
    }
  }
  return ClampWindowScale(std::max(fits, static_cast<int>(std::floor(dpr))));
}

QSize ScaledLogicalSize(QSize picture, int scale, double devicePixelRatio) {
  const double dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  // A hair under a whole pixel is rounding noise of the ratio, not a pixel.
  auto side = [&](int n) { return static_cast<int>(std::ceil(n * scale / dpr - 1e-6)); };
  return {side(picture.width()), side(picture.height())};
}

QPoint PicturePixel(QPointF logical, int scale, double devicePixelRatio) {
  const double dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  auto pixel = [&](double v) { return static_cast<int>(std::floor(v * dpr / scale + 1e-9)); };
  return {pixel(logical.x()), pixel(logical.y())};
}

namespace {

// One picture row into the first of its enlarged rows; the scale is a
// constant here so each pixel's copies become one wide store.
template <int S>
void EnlargeRow(const QRgb* in, int count, QRgb* out) {
  for (int x = 0; x < count; ++x, out += S) {
    const QRgb c = in[x];
    for (int k = 0; k < S; ++k) out[k] = c;
  }
}

}  // namespace

void ScaleRect(const QImage& picture, const QRect& rect, int scale, QImage& scaled) {
  QRect r = rect.intersected(picture.rect());
  if (r.isEmpty() || scale < kMinWindowScale || scale > kMaxWindowScale ||
      scaled.width() < picture.width() * scale || scaled.height() < picture.height() * scale) {
    return;
  }
  const size_t rowBytes = static_cast<size_t>(r.width()) * static_cast<size_t>(scale) * sizeof(QRgb);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y)) + r.left();
    auto* first = reinterpret_cast<QRgb*>(scaled.scanLine(y * scale)) + r.left() * scale;
    switch (scale) {
      case 1: std::memcpy(first, in, rowBytes); break;
      case 2: EnlargeRow<2>(in, r.width(), first); break;
      case 3: EnlargeRow<3>(in, r.width(), first); break;
      default: EnlargeRow<4>(in, r.width(), first); break;
    }
    // The other rows of this picture row are the same bytes.
    for (int k = 1; k < scale; ++k) {
      std::memcpy(reinterpret_cast<QRgb*>(scaled.scanLine(y * scale + k)) + r.left() * scale, first, rowBytes);
    }
  }
}

}  // namespace qshe::platform
