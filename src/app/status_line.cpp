#include "app/status_line.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "editing/tools.h"

namespace qshe {
namespace {

// Pieces put together by appending: GCC 12 warns falsely about the
// temporaries of `"x" + std::to_string(n)` at -O3.
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view p : parts) out.append(p);
  return out;
}

std::string FirstLine(const std::string& text) {
  const size_t end = text.find_first_of("\r\n");
  return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace

std::string ZoomText(int zoom) { return zoom > 0 ? Join({"x", std::to_string(zoom)}) : "1:1"; }

std::string GroupedNumber(int64_t n) {
  const bool negative = n < 0;
  // Built from the unsigned magnitude: the most negative number has no
  // positive twin.
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  std::string digits = std::to_string(magnitude);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? Join({"-", out}) : out;
}

std::string ColorText(const GamePalette& palette, uint8_t index) {
  char text[48];
  if (index == 0) {
    std::snprintf(text, sizeof text, "index 0  (transparent)");
  } else {
    const size_t i = 3u * index;
    std::snprintf(text, sizeof text, "index %u  (%u, %u, %u)", static_cast<unsigned>(index),
                  static_cast<unsigned>(palette[i]), static_cast<unsigned>(palette[i + 1]),
                  static_cast<unsigned>(palette[i + 2]));
  }
  return text;
}

std::string ImportedPicturesText(int count) {
  return "Imported " + std::to_string(count) + (count == 1 ? " picture" : " pictures");
}

std::string SavedDocumentText(int32_t count, const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  return Join({"Saved ", GroupedNumber(count), count == 1 ? " shape to " : " shapes to ", name});
}

StatusText ComposeStatus(const Editor& e) {
  StatusText t;
  if (e.status.mouseInside) {
    if (auto pixel = CanvasPixelAt(e.view, e.window.lastMouseX, e.window.lastMouseY)) {
      t.position = Join({std::to_string(pixel->x), ", ", std::to_string(pixel->y)});
      t.color = ColorText(e.window.gamePalette, GetCanvasPixel(e.canvas, pixel->x, kCanvasSize - 1 - pixel->y));
    }
  }
  t.zoom = ZoomText(e.view.zoom);
  const ShapeList& list = e.doc.list;
  t.shape = Join({"Shape ", std::to_string(list.current), " of ", GroupedNumber(list.count)});
  if (list.current >= 0 && list.current < list.count) {
    const Shape& s = list.slots[static_cast<size_t>(list.current)];
    t.size = Join({std::to_string(s.width), " x ", std::to_string(s.height)});
  }
  // A stroke marks the document when it ends, as it becomes a step.
  if (e.doc.state.modified == kModified) t.modified = "Modified";
  t.message = e.status.message;
  // A line a tool put there, else the tool and the form it draws in.
  if (!e.status.toolForm.empty()) {
    t.toolForm = e.status.toolForm;
  } else if (const char* form = ToolFormText(e.tools)) {
    t.toolForm = form;
  }
  return t;
}

void UpdateStatusLine(Editor& e) {
  StatusText t = ComposeStatus(e);
  if (t == e.status.shown) return;
  e.status.shown = std::move(t);
  if (e.status.show) e.status.show(e.status.shown);
}

void ShowStatusMessage(Editor& e, const std::string& message) {
  e.status.message = FirstLine(message);
  UpdateStatusLine(e);
}

void SetToolFormText(Editor& e, const std::string& text) {
  e.status.toolForm = FirstLine(text);
  UpdateStatusLine(e);
}

void OnMouseLeave(Editor& e) {
  e.status.mouseInside = false;
  UpdateStatusLine(e);
}

}  // namespace qshe
