#include "app/shape_browser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string>

#include "app/commands.h"
#include "app/history_commands.h"
#include "browser/browser.h"
#include "document/document_commands.h"
#include "document/file_io.h"
#include "editing/canvas_view.h"
#include "interchange/bitmap_export.h"
#include "interchange/clipboard_bitmap.h"
#include "platform/messages.h"
#include "properties/properties_window.h"

namespace qshe {
namespace {

using platform::DialogEvent;
using platform::ViewKey;

// Entries of the window's pop-up menu.
enum MenuEntry : int { kMenuDuplicate = 1, kMenuRemove, kMenuExport, kMenuCopy };

platform::ScrollView* View(Editor& e) { return e.desktop.dialogs.ItemScrollView(kShapesDialog, kShapesView); }

bool WindowOpen(const Editor& e) {
  auto& host = const_cast<Editor&>(e).desktop.dialogs;
  return host.DialogExists(kShapesDialog) && host.DialogVisible(kShapesDialog);
}

ThumbBackground Background(const CanvasView& view) {
  ThumbBackground b;
  b.checker = view.backgroundType == 1;
  b.plain = view.backgroundType == 2 ? kContrastBackground : kPlainBackground;
  b.light = kCheckerLight;
  b.dark = kCheckerDark;
  b.cell = 8;
  return b;
}

BrowserScene Scene(Editor& e) {
  BrowserScene scene;
  const ShapeList& list = e.doc.list;
  scene.shapes = std::span<const Shape>(list.slots.data(), static_cast<size_t>(std::max(list.count, 0)));
  scene.current = list.current;
  scene.selection = &e.browser.selection;
  scene.showReplacement = e.doc.state.qs2Flag != 0;
  scene.background = Background(e.view);
  scene.dropGap = e.browser.dragging ? e.browser.dropGap : -1;
  return scene;
}

// The view's size, scale and scroll position as the window has them now.
void SyncGeometry(Editor& e, platform::ScrollView& sv) {
  BrowserView& v = e.browser.view;
  SetBrowserGeometry(v, e.doc.list.count, sv.ViewWidth(), sv.ViewHeight(), sv.Scale(), sv.ScrollPosition());
  sv.SetContentHeight(ContentHeight(v.layout), std::max(1, v.layout.cellHeight / 4));
  if (sv.ScrollPosition() != v.scrollY) sv.SetScrollPosition(v.scrollY);
}

void ScrollTo(Editor& e, platform::ScrollView& sv, int y) {
  BrowserView& v = e.browser.view;
  v.scrollY = ClampScroll(v.layout, y);
  sv.SetScrollPosition(v.scrollY);
}

void Present(Editor& e, platform::ScrollView& sv, const std::vector<platform::Rect>& rects) {
  const BrowserImage& image = e.browser.view.image;
  if (rects.empty() || image.pixels.empty()) return;
  // The colours as the main window shows them now.
  std::array<uint8_t, 1024> table{};
  for (size_t i = 0; i < 256; ++i) {
    const platform::PaletteEntry& p = e.display.logicalPalette[i];
    table[4 * i] = p.blue;
    table[4 * i + 1] = p.green;
    table[4 * i + 2] = p.red;
  }
  const platform::IndexedImage picture{image.width, image.height, image.width, image.pixels.data(), table.data(),
                                       platform::ColorUsage::RgbColors};
  for (const platform::Rect& r : rects) sv.Surface().Present(picture, r, r);
}

// Shows shape `index` in the main window, committing the canvas first as
// every move does.
void MakeCurrent(Editor& e, int32_t index) {
  if (index < 0 || index >= e.doc.list.count || index == e.doc.list.current) return;
  ShowShape(e.doc, e.canvas, index, true, e.doc.list.current);
  e.window.canvasChanged = 0;
  RefreshShapeViews(e);
}

std::string CountName(const char* verb, const std::vector<int32_t>& shapes) {
  if (shapes.size() == 1) return std::string(verb) + " Shape " + std::to_string(shapes.front());
  return std::string(verb) + " " + std::to_string(shapes.size()) + " Shapes";
}

// The painting not yet committed goes into the current shape, so what is
// exported or copied is what the user sees.
void CommitPending(Editor& e) {
  if (e.window.canvasChanged != 1) return;
  CommitCanvas(e.doc, e.canvas, e.doc.list.current, false);
  ShowPropertiesSize(e.desktop.dialogs, e.properties, e.doc);
  e.window.canvasChanged = 0;
}

void AfterListChange(Editor& e) {
  CallHook(e.doc.hooks.fillPropertiesWindow);
  RefreshShapeViews(e);
}

void MoveSelectionTo(Editor& e, int gap) {
  ShapeBrowser& b = e.browser;
  ShapeList& list = e.doc.list;
  const std::vector<int32_t> selected = b.selection.indices;
  if (selected.empty() || !MoveChangesOrder(list.count, selected, gap)) return;
  BeginEditorStep(e, CountName("Move", selected));
  const std::vector<int32_t> p = MoveShapesToGap(e.history, list, selected, gap);
  list.current = p[static_cast<size_t>(list.current)];
  // The moved shapes stay selected where they now are (before the step
  // ends, which shows the window anew).
  for (int32_t& i : b.selection.indices) i = p[static_cast<size_t>(i)];
  std::sort(b.selection.indices.begin(), b.selection.indices.end());
  if (b.selection.anchor >= 0 && b.selection.anchor < list.count) {
    b.selection.anchor = p[static_cast<size_t>(b.selection.anchor)];
  }
  b.lastCurrent = list.current;
  EndEditorStep(e);
  AfterListChange(e);
}

void EndPress(ShapeBrowser& b) {
  b.pressIndex = -1;
  b.dragging = false;
  b.collapseOnRelease = false;
  b.dropGap = -1;
}

int Modifiers(const platform::DialogNotification& n) {
  return ((n.modifiers & platform::kShiftKey) ? kSelectShift : 0) |
         ((n.modifiers & platform::kCtrlKey) ? kSelectCtrl : 0);
}

void OnPress(Editor& e, platform::ScrollView& sv, const platform::DialogNotification& n) {
  ShapeBrowser& b = e.browser;
  const BrowserLayout& l = b.view.layout;
  const int y = ContentY(b.view, n.y);
  const int index = CellAt(l, n.x, y);
  if (n.button == 2) {
    // The menu acts on the selection; a cell outside it is selected first.
    if (index >= 0 && !IsSelected(b.selection, index)) {
      ClickSelect(b.selection, index, kSelectPlain);
      MakeCurrent(e, index);
      RefreshShapesWindow(e);
    }
    const std::vector<platform::MenuItem> menu = {
        {platform::MenuItem::Kind::Command, "&Duplicate Shape", kMenuDuplicate, "Ctrl+D", {}},
        {platform::MenuItem::Kind::Command, "&Remove", kMenuRemove, "Delete", {}},
        {platform::MenuItem::Kind::Command, "E&xport Selected...", kMenuExport, "", {}},
        {platform::MenuItem::Kind::Command, "&Copy", kMenuCopy, "Ctrl+C", {}},
    };
    switch (sv.PopupMenu(menu, n.x, n.y)) {
      case kMenuDuplicate: DuplicateShapesCommand(e); break;
      case kMenuRemove: RemoveShapesCommand(e); break;
      case kMenuExport: ExportSelectedCommand(e); break;
      case kMenuCopy: CopyShapeCommand(e); break;
      default: break;
    }
    return;
  }
  if (n.button != 1 || index < 0) return;
  const int modifiers = Modifiers(n);
  EndPress(b);
  b.pressIndex = index;
  b.pressX = n.x;
  b.pressY = y;
  if (modifiers == kSelectPlain && IsSelected(b.selection, index) && b.selection.indices.size() > 1) {
    // Perhaps the start of a drag of all of them; a click without one
    // selects this shape alone on release.
    b.collapseOnRelease = true;
  } else {
    ClickSelect(b.selection, index, modifiers);
  }
  if (IsSelected(b.selection, index)) {
    MakeCurrent(e, index);
  } else if (!b.selection.indices.empty() && !IsSelected(b.selection, e.doc.list.current)) {
    // Ctrl+click took the current shape out of the selection.
    MakeCurrent(e, b.selection.indices.front());
  }
  b.lastCurrent = e.doc.list.current;
  RefreshShapesWindow(e);
}

void OnDrag(Editor& e, platform::ScrollView& sv, const platform::DialogNotification& n) {
  ShapeBrowser& b = e.browser;
  // Only a press on a selected shape drags (Ctrl+click may have taken it away).
  if (b.pressIndex < 0 || !IsSelected(b.selection, b.pressIndex)) return;
  const BrowserLayout& l = b.view.layout;
  // Past an edge of the view the grid scrolls towards the pointer.
  if (n.y < 0 || n.y >= l.viewHeight) {
    const int over = n.y < 0 ? n.y : n.y - l.viewHeight + 1;
    ScrollTo(e, sv, b.view.scrollY + std::clamp(over, -l.cellHeight / 2, l.cellHeight / 2));
  }
  const int y = ContentY(b.view, n.y);
  if (!b.dragging) {
    const int slack = 4 * l.scale;
    if (std::abs(n.x - b.pressX) <= slack && std::abs(y - b.pressY) <= slack) return;
    b.dragging = true;
    b.collapseOnRelease = false;
  }
  const int gap = GapAt(l, n.x, y);
  b.dropGap = MoveChangesOrder(e.doc.list.count, b.selection.indices, gap) ? gap : -1;
  RefreshShapesWindow(e);
}

void OnRelease(Editor& e, const platform::DialogNotification& n) {
  ShapeBrowser& b = e.browser;
  if (n.button != 1 || b.pressIndex < 0) return;
  const bool drop = b.dragging && b.dropGap >= 0;
  const int gap = b.dropGap;
  const int pressed = b.pressIndex;
  const bool collapse = b.collapseOnRelease;
  EndPress(b);
  if (drop) {
    MoveSelectionTo(e, gap);
  } else if (collapse) {
    ClickSelect(b.selection, pressed, kSelectPlain);
  }
  RefreshShapesWindow(e);
}

void OnKey(Editor& e, platform::ScrollView& sv, const platform::DialogNotification& n) {
  ShapeBrowser& b = e.browser;
  const BrowserLayout& l = b.view.layout;
  const int32_t count = e.doc.list.count, current = e.doc.list.current;
  const int page = std::max(1, l.viewHeight / l.cellHeight) * l.columns;
  int32_t target = -1;
  switch (n.key) {
    case ViewKey::Left: target = current - 1; break;
    case ViewKey::Right: target = current + 1; break;
    case ViewKey::Up: target = current - l.columns; break;
    case ViewKey::Down: target = current + l.columns; break;
    case ViewKey::PageUp: target = current - page; break;
    case ViewKey::PageDown: target = current + page; break;
    case ViewKey::Home: target = 0; break;
    case ViewKey::End: target = count - 1; break;
    case ViewKey::Enter: e.desktop.dialogs.ActivateOwner(); return;
    case ViewKey::Delete: RemoveShapesCommand(e); return;
    case ViewKey::Copy: CopyShapeCommand(e); return;
    case ViewKey::SelectAll:
      b.selection.indices.resize(static_cast<size_t>(count));
      for (int32_t i = 0; i < count; ++i) b.selection.indices[static_cast<size_t>(i)] = i;
      RefreshShapesWindow(e);
      return;
    default: return;
  }
  target = std::clamp(target, 0, std::max(0, count - 1));
  // Shift extends the selection from its anchor; a plain key selects the
  // shape it goes to.
  if (n.modifiers & platform::kShiftKey) {
    if (b.selection.anchor < 0) b.selection.anchor = current;
    ClickSelect(b.selection, target, kSelectShift);
  } else {
    ClickSelect(b.selection, target, kSelectPlain);
  }
  MakeCurrent(e, target);
  b.lastCurrent = e.doc.list.current;
  ScrollTo(e, sv, ScrollToShow(b.view.layout, b.view.scrollY, target));
  RefreshShapesWindow(e);
}

}  // namespace

const platform::DialogResource& ShapesDialog() {
  // Five columns at window scale 1 beside the bar; the user may resize it.
  static const platform::DialogResource resource{
      kShapesDialog, "Shapes", 384, 432,
      {{kShapesView, platform::ControlKind::ScrollView, "", 0, 0, 384, 432, {}}}, true};
  return resource;
}

void ShowShapesWindow(Editor& e) {
  platform::DialogHost& host = e.desktop.dialogs;
  host.CreateDialog(ShapesDialog());
  host.ShowDialog(kShapesDialog);
  // The current shape in sight, and every cell drawn.
  e.browser.lastCurrent = -1;
  e.browser.view.drawn = false;
  RefreshShapesWindow(e);
}

void RefreshShapesWindow(Editor& e) {
  if (!WindowOpen(e)) return;
  platform::ScrollView* sv = View(e);
  if (!sv) return;
  ShapeBrowser& b = e.browser;
  const int32_t current = e.doc.list.current;
  KeepSelection(b.selection, e.doc.list.count, current);
  if (b.pressIndex >= e.doc.list.count) EndPress(b);
  SyncGeometry(e, *sv);
  if (current != b.lastCurrent) {
    // Another shape was shown (here or in the main window): it comes into sight.
    b.lastCurrent = current;
    ScrollTo(e, *sv, ScrollToShow(b.view.layout, b.view.scrollY, current));
  }
  Present(e, *sv, UpdateBrowserView(b.view, Scene(e)));
}

void OnShapesWindowEvent(Editor& e, const platform::DialogNotification& n) {
  platform::DialogHost& host = e.desktop.dialogs;
  platform::ScrollView* sv = View(e);
  switch (n.event) {
    case DialogEvent::Close:
      EndPress(e.browser);
      host.HideDialog(kShapesDialog);
      return;
    case DialogEvent::Activated:
      // The thumbnail shows the painting not yet committed.
      CommitPending(e);
      RefreshShapesWindow(e);
      return;
    case DialogEvent::Resized:
      // The window's picture may have been made afresh: all of it is drawn.
      e.browser.view.drawn = false;
      RefreshShapesWindow(e);
      return;
    case DialogEvent::Scrolled: RefreshShapesWindow(e); return;
    default: break;
  }
  if (!sv || n.control != kShapesView) return;
  switch (n.event) {
    case DialogEvent::MouseDown: OnPress(e, *sv, n); break;
    case DialogEvent::MouseMove: OnDrag(e, *sv, n); break;
    case DialogEvent::MouseUp: OnRelease(e, n); break;
    case DialogEvent::KeyDown: OnKey(e, *sv, n); break;
    default: break;
  }
}

std::vector<int32_t> TargetShapes(const Editor& e) {
  const std::vector<int32_t>& s = e.browser.selection.indices;
  const int32_t current = e.doc.list.current;
  if (WindowOpen(e) && std::binary_search(s.begin(), s.end(), current)) {
    std::vector<int32_t> kept;
    for (int32_t i : s) {
      if (i >= 0 && i < e.doc.list.count) kept.push_back(i);
    }
    return kept;
  }
  return {current};
}

std::vector<int32_t> BrowserSelectedShapes(const Editor& e) { return TargetShapes(e); }

void DuplicateShapesCommand(Editor& e) {
  const std::vector<int32_t> targets = TargetShapes(e);
  ShapeList& list = e.doc.list;
  // The same message as Add Shapes at the limit.
  if (!PlaceAddedShapes(list, e.ui().boxes, static_cast<int32_t>(targets.size()), kAddAtEnd)) return;
  const int32_t currentAt = static_cast<int32_t>(
      std::find(targets.begin(), targets.end(), list.current) - targets.begin());
  BeginEditorStep(e, CountName("Duplicate", targets));
  const std::optional<int32_t> at = DuplicateShapes(e.history, list, targets);
  if (at) list.current = *at + std::min(currentAt, static_cast<int32_t>(targets.size()) - 1);
  EndEditorStep(e);
  if (!at) {
    platform::ShowError(e.ui().boxes, "There is not enough memory to duplicate the shapes.");
    return;
  }
  // The copies are selected, the copy of the current shape current.
  BrowserSelection& s = e.browser.selection;
  s.indices.clear();
  for (int32_t i = 0; i < static_cast<int32_t>(targets.size()); ++i) s.indices.push_back(*at + i);
  s.anchor = *at;
  e.browser.lastCurrent = -1;
  AfterListChange(e);
}

void RemoveShapesCommand(Editor& e) {
  const std::vector<int32_t> targets = TargetShapes(e);
  const std::string question = targets.size() == 1
                                   ? "Permanently remove this shape?"
                                   : "Permanently remove the " + std::to_string(targets.size()) + " selected shapes?";
  if (!platform::AskYesNo(e.ui().boxes, question)) return;
  BeginEditorStep(e, CountName("Remove", targets));
  RemoveSelectedShapes(e.history, e.doc.list, targets);
  EndEditorStep(e);
  e.browser.selection = {};
  e.browser.lastCurrent = -1;
  AfterListChange(e);
}

void ExportSelectedCommand(Editor& e) {
  CommitPending(e);
  const std::vector<int32_t> targets = TargetShapes(e);
  platform::Platform& ui = e.ui();
  const std::string stem = DocumentStem(e.doc.state.documentPath);
  int filter = 0;
  platform::FileDialogRequest request;
  request.filters = {{"PNG pictures (*.png)", "*.png"}, {"Windows Bitmap file (*.bmp)", "*.bmp"}};
  request.title = "Export the selected shapes: choose the folder (the names are " + stem + "_<number>)";
  request.initialName = ExportName(stem, targets.front(), "png");
  request.defaultExtension = "png";
  request.pathMustExist = true;
  request.chosenFilter = &filter;
  const std::optional<std::string> chosen = ui.files.AskSaveFileName(request);
  if (!chosen) return;
  const size_t slash = chosen->find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? std::string() : chosen->substr(0, slash + 1);
  // The name typed or the filter chosen picks the format.
  const bool bmp = EndsWithNoCase(*chosen, ".bmp") || (!EndsWithNoCase(*chosen, ".png") && filter == 1);
  const std::string extension = bmp ? "bmp" : "png";
  std::vector<int32_t> written;
  int existing = 0, empty = 0;
  for (int32_t i : targets) {
    if (!e.doc.list.slots[static_cast<size_t>(i)].HasPixels()) {
      ++empty;
      continue;
    }
    written.push_back(i);
    if (FileExists(folder + ExportName(stem, i, extension))) ++existing;
  }
  if (existing > 0 &&
      !platform::AskYesNo(ui.boxes, std::to_string(existing) + (existing == 1 ? " file" : " files") +
                                        " of the export already exist in " + (folder.empty() ? "." : folder) +
                                        ".\nDo you want to replace them?")) {
    return;
  }
  for (int32_t i : written) {
    const std::string path = folder + ExportName(stem, i, extension);
    if (auto error = WriteShapePicture(path, e.doc.list.slots[static_cast<size_t>(i)], e.window.gamePalette)) {
      platform::ShowError(ui.boxes, "Could not write " + path + ": " + *error + ".");
      return;
    }
  }
  if (empty > 0) {
    ui.boxes.ShowMessageBox({std::to_string(written.size()) + " shapes were exported. " + std::to_string(empty) +
                                 (empty == 1 ? " shape is" : " shapes are") +
                                 " empty and have no picture, so they were left out.",
                             platform::kCaption, platform::Icon::Information, platform::Buttons::Ok,
                             platform::Owner::ActiveWindow});
  }
}

void CopyShapeCommand(Editor& e) {
  CommitPending(e);
  const int32_t index = e.doc.list.current;
  const Shape& shape = e.doc.list.Current();
  if (!shape.HasPixels()) {
    platform::ShowError(e.ui().boxes, "Shape " + std::to_string(index) + " is empty. There is nothing to copy.");
    return;
  }
  IndexBlock block{shape.width, shape.height,
                   std::vector<uint8_t>(shape.pixels.get(), shape.pixels.get() + shape.PixelCount())};
  platform::ClipboardContent content;
  content.bitmap = IndicesToClipboardBitmap(block, e.window.gamePalette);
  content.indices = EncodeIndexBlock(block);
  e.desktop.clipboard.PutClipboard(content);
}

}  // namespace qshe
