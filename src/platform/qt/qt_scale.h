// Whole-number window scaling: every screen pixel is a copy of one pixel of
// the program's 615 x 285 picture, on any screen density. The main window
// and the small preview windows share these rules, so a preview drawn at the
// main window's scale lines up with it pixel for pixel.
#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace qshe::platform {

inline constexpr int kMinWindowScale = 1;
inline constexpr int kMaxWindowScale = 4;

// The scale a window opens at when nothing is remembered: the largest whose
// window (picture plus `extraHeight` logical pixels of menu bar) fits 80% of
// the available screen, or the screen's density rounded down, whichever is
// larger. `screen` is in logical pixels.
int InitialWindowScale(QSize picture, QSize screen, double devicePixelRatio, int extraHeight);

// Keeps a scale inside 1..4.
int ClampWindowScale(int scale);

// How much larger than the desktop's the menus' and dialogs' fonts are at
// window scale `scale`: as much as the picture grows beyond the screen's own
// density, but no more than a screen of `screen` logical pixels has room
// for (a 640 x 480 desktop's worth at factor 1), and never below 1.
double InterfaceFontFactor(int scale, double devicePixelRatio, QSize screen);

// The logical size of a widget that shows `picture` at `scale` device pixels
// per picture pixel (rounded up, so the whole picture always fits).
QSize ScaledLogicalSize(QSize picture, int scale, double devicePixelRatio);

// The picture pixel under a logical widget position; positions left of or
// above the widget give negative pixels, as a captured drag needs.
QPoint PicturePixel(QPointF logical, int scale, double devicePixelRatio);

// Copies `rect` of `picture` into `scaled` (which is `scale` times as large),
// each pixel repeated scale x scale times. Both images are 32-bit.
void ScaleRect(const QImage& picture, const QRect& rect, int scale, QImage& scaled);

}  // namespace qshe::platform
