#include "app/title_slider.h"

#include <algorithm>
#include <cstdio>

#include "app/canvas_routing.h"
#include "document/document_commands.h"

namespace qshe {
namespace {

constexpr int kTrackLeft = 23;
constexpr int kTrackEnd = 166;  // first x past the track
constexpr double kTrackSpan = 143.0;

}  // namespace

std::string DocumentTitle(const std::string& name) {
  const std::string prefix = kTitlePrefix;
  const size_t room = kMaxTitleLength - prefix.size() - 1;
  if (name.size() <= room) return prefix + name + "]";
  const std::string ellipsis = "...";
  size_t slash = name.find_last_of("/\\");
  std::string file = slash == std::string::npos ? name : name.substr(slash);  // with its separator
  if (file.size() + ellipsis.size() >= room) {
    // Even the file name does not fit: keep its end.
    return prefix + ellipsis + name.substr(name.size() - (room - ellipsis.size())) + "]";
  }
  size_t head = room - ellipsis.size() - file.size();
  return prefix + name.substr(0, head) + ellipsis + file + "]";
}

void SetDocumentTitle(Editor& e, const std::string& name) { e.ui().window.SetTitle(DocumentTitle(name)); }

int SliderKnobOffset(int current, int count) {
  if (count < 2) return 0;
  return static_cast<int>(kTrackSpan / (count - 1) * current);
}

int SliderPick(int x, int count) {
  if (x < kTrackLeft || x >= kTrackEnd) return -1;
  if (count < 2) return 0;
  int i = static_cast<int>((x - 21) / (kTrackSpan / (count - 1)));
  return std::clamp(i, 0, count - 1);
}

void DrawShapeCounter(Editor& e) {
  if (e.window.failed) return;
  char text[64];
  std::snprintf(text, sizeof text, "Shape %d / %d", e.doc.list.current, e.doc.list.count - 1);
  MoveTo(e.display, 165, 224);
  SetColor(e.display, 0);
  SetTextJustify(e.display, 1, 1);
  DrawText(e.display, text);
}

void DrawShapeSlider(Editor& e) {
  if (e.window.failed) return;
  DisplayState& d = e.display;
  SelectBuffer(d, e.window.buffers.composition);
  SetColor(d, 178);
  FillRect(d, kSliderLeft, kSliderRight, kSliderTop, kSliderBottom);
  SetColor(d, 180);
  FillRect(d, 23, 165, 242, 246);
  int p = SliderKnobOffset(e.doc.list.current, e.doc.list.count);
  SetColor(d, 191);
  DrawBox(d, kSliderLeft, kSliderRight, kSliderTop, kSliderBottom);
  DrawBox(d, 23, 165, 242, 246);
  SetColor(d, 177);
  FillRect(d, p + 21, p + 25, 239, 249);
  SetColor(d, 175);
  DrawBox(d, p + 21, p + 25, 239, 249);
  DrawShapeCounter(e);
}

void PresentShapeSlider(Editor& e) {
  if (e.window.failed) return;
  SelectBuffer(e.display, e.window.buffers.composition);
  PasteToWindow(e.display, 15, 172, 212, 253, 15, 172, 212, 253);
  DrawShapeCounter(e);
}

namespace {

void PickAt(Editor& e, int x) {
  int i = SliderPick(x, e.doc.list.count);
  if (i < 0) return;
  ShowShape(e.doc, e.canvas, i, true, e.doc.list.current);
  ShowCanvas(e);
  DrawShapeSlider(e);
  PresentShapeSlider(e);
}

}  // namespace

void SliderPress(Editor& e, int x, int y) {
  if (x >= kTrackLeft && x < kTrackEnd && y >= 239 && y < 250) {
    e.slider.dragging = 1;
    PickAt(e, x);
  }
}

void SliderDrag(Editor& e, int x, int) {
  if (e.slider.dragging == 1) PickAt(e, x);
}

void SliderRelease(Editor& e) { e.slider.dragging = -1; }

}  // namespace qshe
