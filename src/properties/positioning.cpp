#include "properties/positioning.h"

#include <algorithm>
#include <string>

#include "document/document_commands.h"
#include "document/shape_file.h"
#include "editing/canvas_view.h"
#include "properties/dialog_number.h"

namespace qshe {
namespace {

constexpr int kLast = kPreviewSize - 1;
constexpr int kCheckerCell = 8;

bool IsTavrel(const PositionWindow& window) { return window.dialog == kTavrelPositionDialog; }

const Shape* Helper(std::span<const Shape> helpers, int slot) {
  return slot < static_cast<int>(helpers.size()) ? &helpers[static_cast<size_t>(slot)] : nullptr;
}

void Put(DisplayState& d, const Shape& shape, PreviewPoint at) {
  if (!shape.HasPixels()) return;
  MoveTo(d, at.x, at.y);
  PutImage(d, shape.pixels.get(), shape.width, shape.height);
}

void FillBackground(DisplayState& d, int32_t type) {
  if (type == 1) {
    FillChecker(d, 0, kLast, 0, kLast, kCheckerLight, kCheckerDark, kCheckerCell);
    return;
  }
  SetColor(d, type == 2 ? kContrastBackground : kPlainBackground);
  FillRect(d, 0, kLast, 0, kLast);
}

int Limit(int v) { return std::clamp(v, -kPositionLimit, kPositionLimit); }

// Stores v and tells whether that changed anything.
bool Store(int32_t& field, int32_t v) {
  if (field == v) return false;
  field = v;
  return true;
}

bool DragStep(PositionWindow& window, Document& doc, int x, int y) {
  const int dx = x - window.lastX, dy = y - window.lastY;
  window.lastX = x;
  window.lastY = y;
  Shape& s = doc.list.Current();
  bool changed = false;
  if (IsTavrel(window)) {
    changed |= Store(s.tavrelX, Limit(s.tavrelX + dx));
    changed |= Store(s.tavrelY, Limit(s.tavrelY + dy));
    // Placing the figure gives the document object properties.
    changed |= Store(doc.state.qbjFlag, 1);
  } else {
    changed |= Store(s.offsetX, Limit(s.offsetX + dx));
    int oy = s.offsetY + dy;
    if (oy + s.height > kFloorDepth) oy = kFloorDepth - s.height;
    changed |= Store(s.offsetY, Limit(oy));
  }
  if (changed) MarkModified(doc);
  return changed;
}

}  // namespace

PreviewPoint PlaceInPreview(const Shape& shape, int ox, int oy) {
  return {kPreviewOriginX + ox, kPreviewOriginY - 1 + std::min(oy + shape.height, kFloorDepth)};
}

PreviewPoint PlaceFigure(const Shape& figure, const Shape& current) {
  PreviewPoint p = PlaceInPreview(figure, figure.offsetX + current.tavrelX, figure.offsetY);
  p.y += current.tavrelY;
  return p;
}

void OpenPositionWindow(PreviewDisplay& pd, PositionWindow& window) {
  platform::DialogHost& host = pd.host;
  if (!host.DialogExists(window.dialog)) {
    host.CreateDialog(window.dialog == kShapePositionDialog ? ShapePositionDialog() : TavrelPositionDialog());
    // The preview's own palette, in the colours the main window has now.
    // The layer's logical palette is left as it is, so the main window's
    // text and colour tables keep their colours.
    if (platform::WindowSurface* surface = host.ItemSurface(window.dialog, kPreviewSurface)) {
      window.palette = surface->palettes().CreatePalette(pd.display.logicalPalette);
    }
    window.dragging = -1;
    window.lastX = window.lastY = -1;
  }
  host.ShowDialog(window.dialog);
}

void DrawPreviewScene(DisplayState& d, int buffer, const PreviewScene& scene, PreviewLayers layers) {
  if (SelectBuffer(d, buffer) != 0) return;
  FillBackground(d, scene.background);
  if (layers.floor) {
    if (const Shape* floor = Helper(scene.helpers, kFloorTileSlot)) Put(d, *floor, {kFloorTileX, kFloorLine});
    Put(d, scene.backdrop, PlaceInPreview(scene.backdrop, scene.backdrop.offsetX, scene.backdrop.offsetY));
  }
  Put(d, scene.current, PlaceInPreview(scene.current, scene.current.offsetX, scene.current.offsetY));
  if (layers.figure) {
    if (const Shape* figure = Helper(scene.helpers, kFigureSlot)) Put(d, *figure, PlaceFigure(*figure, scene.current));
  }
}

void DrawPositionWindow(DisplayState& d, const PositionWindow& window, const PreviewScene& scene) {
  DrawPreviewScene(d, window.buffer, scene, {true, IsTavrel(window)});
}

void PaintPreviewPicture(PreviewDisplay& pd, int dialog, int control, int buffer, PaletteId palette) {
  platform::WindowSurface* surface = pd.host.ItemSurface(dialog, control);
  if (!surface || SelectBuffer(pd.display, buffer) != 0) return;
  DisplayState& d = pd.display;
  SetWindowDC(d, surface);
  SelectWindowPalette(d, palette);
  PasteToWindow(d, 0, kLast, 0, kLast, 0, kLast, 0, kLast);
  // Back to the main window, also as the palette that colour changes animate.
  SetWindowDC(d, &pd.mainSurface);
  SelectWindowPalette(d, pd.mainPalette);
}

void PaintPositionWindow(PreviewDisplay& pd, const PositionWindow& window) {
  PaintPreviewPicture(pd, window.dialog, kPreviewSurface, window.buffer, window.palette);
}

void RefreshPositionWindow(PreviewDisplay& pd, const PositionWindow& window, const PreviewScene& scene) {
  if (!pd.host.DialogExists(window.dialog)) return;
  DrawPositionWindow(pd.display, window, scene);
  PaintPositionWindow(pd, window);
}

bool OnPositionMouse(PositionWindow& window, Document& doc, const platform::DialogNotification& n) {
  using platform::DialogEvent;
  switch (n.event) {
    case DialogEvent::MouseDown:
      if (n.button != 1) return false;
      window.dragging = 1;
      ++window.drags;
      window.lastX = n.x;
      window.lastY = n.y;
      return false;
    case DialogEvent::MouseUp:
      if (n.button == 1) window.dragging = -1;
      return false;
    case DialogEvent::MouseMove: return window.dragging == 1 && DragStep(window, doc, n.x, n.y);
    default: return false;
  }
}

void BrowseBackdropFile(platform::DialogHost& host, platform::FileDialogs& files) {
  platform::FileDialogRequest request = ShapeFileOpenRequest();
  request.owner = platform::Owner::ActiveWindow;
  if (auto chosen = files.AskOpenFileName(request)) host.SetItemText(kPositionSettingsDialog, kBackdropFile, *chosen);
}

bool ApplyPositionSettings(platform::DialogHost& host, platform::MessageBoxes& boxes, Shape& backdrop) {
  const std::string path = host.ItemText(kPositionSettingsDialog, kBackdropFile);
  if (path.empty()) {
    ClearShape(backdrop);
    return true;
  }
  const int32_t n = ParseDialogNumber(host.ItemText(kPositionSettingsDialog, kBackdropNumber).substr(0, 254));
  // The loader reads into the shape only once the whole record is there.
  return ReadOneShape(boxes, backdrop, path, n);
}

}  // namespace qshe
