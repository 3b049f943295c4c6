#include "browser/browser.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace qshe {

// ----- layout and hit-testing ---------------------------------------------------

BrowserLayout MakeBrowserLayout(int count, int viewWidth, int viewHeight, int scale) {
  BrowserLayout l;
  l.scale = std::clamp(scale, 1, 4);
  l.count = std::max(0, count);
  l.viewWidth = std::max(0, viewWidth);
  l.viewHeight = std::max(0, viewHeight);
  l.box = kThumbBox * l.scale;
  l.pad = kCellPad * l.scale;
  l.labelHeight = kLabelHeight * l.scale;
  l.cellWidth = l.box + 2 * l.pad;
  l.cellHeight = l.box + 2 * l.pad + l.labelHeight;
  l.columns = std::max(1, l.viewWidth / l.cellWidth);
  return l;
}

int ContentHeight(const BrowserLayout& l) {
  const int rows = (l.count + l.columns - 1) / l.columns;
  return rows * l.cellHeight;
}

int MaxScroll(const BrowserLayout& l) { return std::max(0, ContentHeight(l) - l.viewHeight); }

int ClampScroll(const BrowserLayout& l, int scrollY) { return std::clamp(scrollY, 0, MaxScroll(l)); }

platform::Rect CellRect(const BrowserLayout& l, int index) {
  const int x = (index % l.columns) * l.cellWidth, y = (index / l.columns) * l.cellHeight;
  return {x, x + l.cellWidth - 1, y, y + l.cellHeight - 1};
}

platform::Rect ThumbRect(const BrowserLayout& l, int index) {
  const platform::Rect c = CellRect(l, index);
  return {c.x1 + l.pad, c.x1 + l.pad + l.box - 1, c.y1 + l.pad, c.y1 + l.pad + l.box - 1};
}

int CellAt(const BrowserLayout& l, int x, int y) {
  if (x < 0 || y < 0) return -1;
  const int column = x / l.cellWidth;
  if (column >= l.columns) return -1;
  const int64_t index = static_cast<int64_t>(y / l.cellHeight) * l.columns + column;
  return index < l.count ? static_cast<int>(index) : -1;
}

int GapAt(const BrowserLayout& l, int x, int y) {
  if (y < 0) return 0;
  const int row = y / l.cellHeight;
  const int column = std::clamp((x + l.cellWidth / 2) / l.cellWidth, 0, l.columns);
  const int64_t gap = static_cast<int64_t>(row) * l.columns + column;
  return static_cast<int>(std::min<int64_t>(gap, l.count));
}

CellRange CellsInView(const BrowserLayout& l, int scrollY) {
  if (l.count == 0 || l.viewHeight <= 0) return {};
  const int firstRow = std::max(0, scrollY) / l.cellHeight;
  const int lastRow = (std::max(0, scrollY) + l.viewHeight - 1) / l.cellHeight;
  const int first = firstRow * l.columns;
  if (first >= l.count) return {};
  return {first, std::min(l.count - 1, (lastRow + 1) * l.columns - 1)};
}

int ScrollToShow(const BrowserLayout& l, int scrollY, int index) {
  if (index < 0 || index >= l.count) return ClampScroll(l, scrollY);
  const platform::Rect c = CellRect(l, index);
  if (c.y1 < scrollY) scrollY = c.y1;
  else if (c.y2 > scrollY + l.viewHeight - 1) scrollY = c.y2 - l.viewHeight + 1;
  // A view lower than a cell shows its top.
  if (l.viewHeight < l.cellHeight) scrollY = c.y1;
  return ClampScroll(l, scrollY);
}

// ----- thumbnails ---------------------------------------------------------------

ThumbFit FitThumbnail(int width, int height, int box) {
  ThumbFit fit;
  if (width <= 0 || height <= 0 || box <= 0) return fit;
  const int larger = std::max(width, height);
  if (larger <= box) {
    fit.scale = std::clamp(box / larger, 1, 4);
  } else {
    fit.step = (larger + box - 1) / box;
  }
  fit.width = (width + fit.step - 1) / fit.step * fit.scale;
  fit.height = (height + fit.step - 1) / fit.step * fit.scale;
  return fit;
}

namespace {

platform::Rect Clip(const platform::Rect& r, const BrowserImage& image) {
  return {std::max(r.x1, 0), std::min(r.x2, image.width - 1), std::max(r.y1, 0), std::min(r.y2, image.height - 1)};
}

void FillBackground(BrowserImage& image, const platform::Rect& square, const ThumbBackground& bg, int scale) {
  const platform::Rect r = Clip(square, image);
  if (r.x1 > r.x2) return;
  const int cell = std::max(1, bg.cell * scale);
  for (int y = r.y1; y <= r.y2; ++y) {
    uint8_t* row = image.Row(y);
    if (!bg.checker) {
      std::memset(row + r.x1, bg.plain, static_cast<size_t>(r.width()));
      continue;
    }
    const int squareRow = (y - square.y1) / cell;
    for (int x = r.x1; x <= r.x2; ++x) {
      row[x] = (((x - square.x1) / cell + squareRow) & 1) ? bg.dark : bg.light;
    }
  }
}

// Digits in a 5 x 7 pixel font, one byte per row, bit 4 the left column.
constexpr std::array<std::array<uint8_t, kGlyphHeight>, 11> kDigits = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
    {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00},  // -
}};

}  // namespace

void DrawThumbnail(BrowserImage& image, const platform::Rect& square, const Shape& shape,
                   const ThumbBackground& background, int scale) {
  FillBackground(image, square, background, scale);
  if (!shape.HasPixels()) return;
  const ThumbFit fit = FitThumbnail(shape.width, shape.height, square.width());
  const int left = square.x1 + (square.width() - fit.width) / 2;
  const int top = square.y1 + (square.height() - fit.height) / 2;
  const platform::Rect r = Clip({left, left + fit.width - 1, top, top + fit.height - 1}, image);
  const platform::Rect inside = Clip(square, image);
  const int x1 = std::max(r.x1, inside.x1), x2 = std::min(r.x2, inside.x2);
  const int y1 = std::max(r.y1, inside.y1), y2 = std::min(r.y2, inside.y2);
  for (int y = y1; y <= y2; ++y) {
    // Shape rows are stored bottom first; the thumbnail's top row is the
    // shape's top row.
    const int shapeRow = shape.height - 1 - (y - top) / fit.scale * fit.step;
    const uint8_t* from = shape.pixels.get() + static_cast<size_t>(shapeRow) * static_cast<size_t>(shape.width);
    uint8_t* to = image.Row(y);
    for (int x = x1; x <= x2; ++x) {
      const uint8_t v = from[(x - left) / fit.scale * fit.step];
      if (v != 0) to[x] = v;
    }
  }
}

int LabelWidth(const std::string& text, int scale) {
  return text.empty() ? 0 : (static_cast<int>(text.size()) * kGlyphAdvance - 1) * scale;
}

void DrawLabel(BrowserImage& image, int x, int y, const std::string& text, uint8_t color, int scale,
               const platform::Rect& clip) {
  const platform::Rect c = Clip(clip, image);
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    int glyph = -1;
    if (ch >= '0' && ch <= '9') glyph = ch - '0';
    if (ch == '-') glyph = 10;
    if (glyph < 0) continue;
    const int gx = x + static_cast<int>(i) * kGlyphAdvance * scale;
    for (int row = 0; row < kGlyphHeight; ++row) {
      const uint8_t bits = kDigits[static_cast<size_t>(glyph)][static_cast<size_t>(row)];
      for (int dy = 0; dy < scale; ++dy) {
        const int py = y + row * scale + dy;
        if (py < c.y1 || py > c.y2) continue;
        uint8_t* line = image.Row(py);
        for (int col = 0; col < kGlyphWidth; ++col) {
          if (!(bits & (0x10 >> col))) continue;
          for (int dx = 0; dx < scale; ++dx) {
            const int px = gx + col * scale + dx;
            if (px >= c.x1 && px <= c.x2) line[px] = color;
          }
        }
      }
    }
  }
}

// ----- selection ------------------------------------------------------------------

bool IsSelected(const BrowserSelection& s, int32_t index) {
  return std::binary_search(s.indices.begin(), s.indices.end(), index);
}

void ClickSelect(BrowserSelection& s, int32_t index, int modifiers) {
  std::vector<int32_t>& v = s.indices;
  if (modifiers & kSelectShift) {
    const int32_t from = s.anchor < 0 ? index : s.anchor;
    const int32_t lo = std::min(from, index), hi = std::max(from, index);
    if (!(modifiers & kSelectCtrl)) v.clear();
    for (int32_t i = lo; i <= hi; ++i) v.push_back(i);
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    // The anchor stays, so the next Shift+click measures from it again.
    if (s.anchor < 0) s.anchor = index;
    return;
  }
  if (modifiers & kSelectCtrl) {
    auto it = std::lower_bound(v.begin(), v.end(), index);
    if (it != v.end() && *it == index) {
      v.erase(it);
    } else {
      v.insert(it, index);
    }
  } else {
    v.assign(1, index);
  }
  s.anchor = index;
}

void KeepSelection(BrowserSelection& s, int32_t count, int32_t current) {
  std::erase_if(s.indices, [count](int32_t i) { return i < 0 || i >= count; });
  if (s.anchor >= count) s.anchor = -1;
  if (!IsSelected(s, current)) {
    s.indices.assign(1, current);
    s.anchor = current;
  }
}

// ----- list operations ------------------------------------------------------------

namespace {

struct Run {
  int32_t start = 0;
  int32_t n = 0;
};

std::vector<Run> Runs(std::span<const int32_t> selected) {
  std::vector<Run> runs;
  for (int32_t i : selected) {
    if (!runs.empty() && runs.back().start + runs.back().n == i) {
      ++runs.back().n;
    } else {
      runs.push_back({i, 1});
    }
  }
  return runs;
}

}  // namespace

std::vector<int32_t> MovePermutation(int32_t count, std::span<const int32_t> selected, int32_t gap) {
  std::vector<int32_t> order;  // new position -> old index
  order.reserve(static_cast<size_t>(count));
  std::vector<bool> chosen(static_cast<size_t>(count), false);
  for (int32_t i : selected) chosen[static_cast<size_t>(i)] = true;
  auto others = [&](int32_t from, int32_t to) {
    for (int32_t i = from; i < to; ++i) {
      if (!chosen[static_cast<size_t>(i)]) order.push_back(i);
    }
  };
  gap = std::clamp(gap, 0, count);
  others(0, gap);
  for (int32_t i : selected) order.push_back(i);
  others(gap, count);
  std::vector<int32_t> result(static_cast<size_t>(count));
  for (int32_t p = 0; p < count; ++p) result[static_cast<size_t>(order[static_cast<size_t>(p)])] = p;
  return result;
}

bool MoveChangesOrder(int32_t count, std::span<const int32_t> selected, int32_t gap) {
  const std::vector<int32_t> p = MovePermutation(count, selected, gap);
  for (int32_t i = 0; i < count; ++i) {
    if (p[static_cast<size_t>(i)] != i) return true;
  }
  return false;
}

std::vector<int32_t> MoveShapesToGap(History& h, ShapeList& list, std::span<const int32_t> selected, int32_t gap) {
  const int32_t count = list.count;
  gap = std::clamp(gap, 0, count);
  std::vector<int32_t> permutation = MovePermutation(count, selected, gap);
  const std::vector<Run> runs = Runs(selected);
  // The runs before the gap go, last first, to just before it: each move
  // shifts only shapes between the run and the gap, none of the runs already
  // placed there nor the earlier runs. The runs after the gap then go, first
  // first, to just after those: each shifts only shapes after the block.
  int32_t end = gap;  // the block of runs placed before the gap ends here
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    Run r = *it;
    if (r.start >= gap) continue;
    if (r.start + r.n > gap) r.n = gap - r.start;  // a run over the gap: its part before it
    const int32_t to = end - r.n;
    if (to != r.start) MoveShapes(h, list, r.start, r.n, to);
    end = to;
  }
  int32_t next = gap;  // the block continues here
  for (const Run& whole : runs) {
    Run r = whole;
    if (r.start + r.n <= gap) continue;
    if (r.start < gap) {
      // The part of a run over the gap that lies after it is in place already.
      next += r.start + r.n - gap;
      continue;
    }
    if (r.start != next) MoveShapes(h, list, r.start, r.n, next);
    next += r.n;
  }
  return permutation;
}

std::optional<int32_t> DuplicateShapes(History& h, ShapeList& list, std::span<const int32_t> selected) {
  if (selected.empty()) return std::nullopt;
  if (list.count + static_cast<int32_t>(selected.size()) > kShapeListCapacity) return std::nullopt;
  std::vector<Shape> copies(selected.size());
  for (size_t i = 0; i < selected.size(); ++i) {
    const Shape& from = list.slots[static_cast<size_t>(selected[i])];
    if (!CopyShape(from, copies[i])) return std::nullopt;
  }
  const int32_t at = selected.back() + 1;
  InsertShapes(h, list, at, std::move(copies));
  return at;
}

int32_t RemoveSelectedShapes(History& h, ShapeList& list, std::span<const int32_t> selected) {
  if (selected.empty()) return 0;
  const std::vector<Run> runs = Runs(selected);
  const int32_t first = selected.front();
  int32_t removed = 0;
  if (static_cast<int32_t>(selected.size()) >= list.count) {
    // Every shape goes: one empty shape stays in the first one's place.
    if (list.count > 1) RemoveShapes(h, list, 1, list.count - 1);
    ReplaceShapes(h, list, 0, std::vector<Shape>(1));
    list.current = 0;
    return static_cast<int32_t>(selected.size());
  }
  // Last run first, so the earlier runs keep their indices.
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    RemoveShapes(h, list, it->start, it->n);
    removed += it->n;
  }
  list.current = std::min(first, list.count - 1);
  return removed;
}

std::string ExportName(const std::string& name, int32_t number, const std::string& extension) {
  return name + "_" + std::to_string(number) + "." + extension;
}

std::string DocumentStem(const std::string& documentPath) {
  const size_t slash = documentPath.find_last_of("/\\");
  std::string base = slash == std::string::npos ? documentPath : documentPath.substr(slash + 1);
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.resize(dot);
  return base.empty() ? "shapes" : base;
}

}  // namespace qshe
