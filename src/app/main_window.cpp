#include "app/main_window.h"

#include <algorithm>
#include <vector>

#include "app/animation_window.h"
#include "app/canvas_routing.h"
#include "app/color_panel.h"
#include "app/command_table.h"
#include "app/commands.h"
#include "app/dropped_files.h"
#include "app/navigation.h"
#include "app/program_dir.h"
#include "app/recovery.h"
#include "app/selection_commands.h"
#include "app/shape_browser.h"
#include "app/status_line.h"
#include "app/title_slider.h"
#include "app/view_commands.h"
#include "display/pcx.h"
#include "document/document_commands.h"

namespace qshe {
namespace {

// Top-left corners of the 23 toolbar buttons: tools, view, backgrounds,
// brush sizes, shape moves.
constexpr int kButtonPlaces[kToolButtonCount][2] = {
    {15, 134},  {41, 134},  {67, 134},  {93, 134},  {119, 134}, {145, 134}, {67, 159},  {93, 159},
    {119, 159}, {145, 159}, {459, 124}, {485, 124}, {511, 124}, {459, 149}, {485, 149}, {511, 149},
    {459, 171}, {485, 171}, {511, 171}, {143, 252}, {128, 252}, {158, 252}, {113, 252},
    {15, 108},  {41, 108},  {67, 108},
};

const Shape& Helper(const Editor& e, int slot) {
  static const Shape kNone;
  if (slot < 0 || slot >= static_cast<int>(e.helperShapes.size())) return kNone;
  return e.helperShapes[static_cast<size_t>(slot)];
}

// The image a button shows in its current state; the rectangle and ellipse
// buttons show the form they draw in.
const Shape& ButtonImage(const Editor& e, int button, int pressed) {
  if (button < kFirstFigureButton) return Helper(e, 2 * button + pressed);
  const int figure = button - kFirstFigureButton;
  if (FigureFilled(e.tools, kLineTool + figure)) {
    const Shape& filled = Helper(e, kFilledFigureButtonSlot + 2 * (figure - 1) + pressed);
    if (filled.HasPixels()) return filled;
  }
  return Helper(e, kFigureButtonSlot + 2 * figure + pressed);
}

bool InsideButton(const Editor& e, int button, int x, int y) {
  const ToolButton& b = e.toolbar.buttons[static_cast<size_t>(button)];
  const Shape& image = ButtonImage(e, button, b.pressed);
  return x >= b.x && x < b.x + image.width && y >= b.y && y < b.y + image.height;
}

// ----- scroll-bar geometry ----------------------------------------------------

int Extent(const Shape& image, const ScrollBar& bar) {
  return bar.vertical ? std::max(image.height, 0) : std::max(image.width, 0);
}
int FirstArrow(const Editor& e, const ScrollBar& bar) { return Extent(Helper(e, bar.images[0]), bar); }
int SecondArrow(const Editor& e, const ScrollBar& bar) { return Extent(Helper(e, bar.images[2]), bar); }
int Thumb(const Editor& e, const ScrollBar& bar) { return Extent(Helper(e, bar.images[4]), bar); }
int Length(const ScrollBar& bar) { return bar.vertical ? bar.height : bar.width; }

void PutHelper(Editor& e, const Shape& image, int left, int bottom) {
  if (!image.HasPixels()) return;
  MoveTo(e.display, left, bottom);
  PutImage(e.display, image.pixels.get(), image.width, image.height);
}

void ApplyScrollPart(Editor& e, ScrollBar& bar, int part, int x, int y) {
  switch (part) {
    case kNoPart: break;  // a step of the wheel, already made
    case kFirstArrow: bar.position -= bar.step; break;
    case kSecondArrow: bar.position += bar.step; break;
    case kThumb:
      bar.position += bar.vertical ? y - bar.lastY : x - bar.lastX;
      bar.lastX = x;
      bar.lastY = y;
      break;
    case kTrack:
      bar.position = bar.vertical ? y - FirstArrow(e, bar) - bar.y : x - FirstArrow(e, bar) - bar.x;
      break;
    default: return;
  }
  bar.position = std::clamp(bar.position, 0, std::max(bar.range, 0));
  DrawScrollBar(e, bar);
  ShowScrollBar(e, bar);
  bar.dragging = 1;
  if (bar.onScroll) bar.onScroll();
}

void ResetScrollBar(ScrollBar& bar) {
  std::function<void()> keep = std::move(bar.onScroll);
  bar = ScrollBar{};
  bar.onScroll = std::move(keep);
}

// The tool of a tool button, or -1.
int ToolOfButton(int button) {
  if (button >= 0 && button <= 5) return button;
  if (button >= kFirstFigureButton && button < kFirstFigureButton + 3) return kLineTool + button - kFirstFigureButton;
  return -1;
}

void RunToolbarAction(Editor& e, int button) {
  if (const int tool = ToolOfButton(button); tool >= 0) {
    // Tool buttons put a floating selection down and forget the selection.
    const bool hadSelection = SelectionExists(e.selection);
    PutDownSelection(e);
    ClearSelection(e.selection);
    SwitchFigureFormIfCurrent(e.tools, tool);
    SetToolState(e, tool, e.view.backgroundType, e.tools.pencilSize);
    if (hadSelection) ShowCanvas(e);
  } else if (button >= 10 && button <= 12) {
    SetBackground(e, button - 10);
  } else if (button >= 13 && button <= 18) {
    // The sizes are the brushes of every tool that strokes lines; any other
    // tool gives way to the pencil.
    const int current = e.tools.currentTool;
    const bool strokes = current == kPencil || current == kEraser || IsFigureTool(current);
    SetToolState(e, strokes ? current : kPencil, e.view.backgroundType, button - 13);
    RenderCanvasView(e);
  } else {
    RunButtonCommand(e, button);
  }
}

}  // namespace

void WindowPlacement(int screenWidth, int screenHeight, int& x, int& y) {
  x = screenWidth >= 641 ? (screenWidth - 648) / 2 : 0;
  y = screenHeight >= 481 ? (screenHeight - 502) / 2 : 0;
}

// ----- display set-up ----------------------------------------------------------

bool SetUpDisplay(Editor& e) {
  DisplayState& d = e.display;
  ScreenBuffers& b = e.window.buffers;
  SetWindowDC(d, &e.desktop.surface);
  e.window.screenImagePath = LocateSupportFile("qshe.pcx", e.paths.programDir, e.ui().settings);
  std::span<uint8_t, 768> palette(e.window.gamePalette);
  ReadPcxPalette(e.window.screenImagePath, palette);
  // Entries 10..245 come from the screen image.
  e.window.palette = CreateLogicalPalette(
      d, 10, 236, std::span<const uint8_t>(e.window.gamePalette).subspan(30, 236 * 3));
  SelectWindowPalette(d, e.window.palette);
  InitDisplay(d);

  b.composition = AllocBuffer(d, kClientWidth, kClientHeight);
  b.background = AllocBuffer(d, kClientWidth, kClientHeight);
  b.sheet = AllocBuffer(d, 640, 480);
  b.canvasView = AllocBuffer(d, 256, 256);
  b.shapePosition = AllocBuffer(d, 200, 200);
  b.tavrelPosition = AllocBuffer(d, 200, 200);
  b.animation = AllocBuffer(d, 200, 200);
  for (int slot :
       {b.composition, b.background, b.sheet, b.canvasView, b.shapePosition, b.tavrelPosition, b.animation}) {
    if (slot < 0) {
      e.window.failed = true;
      e.ui().boxes.ShowMessageBox(
          {"Not enough memory to run Qsh Editor. To free up more memory, try closing other programs.",
           "Critical Error.", platform::Icon::Stop, platform::Buttons::Ok, platform::Owner::MainWindow});
      e.desktop.control.Quit(0);
      return false;
    }
  }
  e.positioning.shape.buffer = b.shapePosition;
  e.positioning.tavrel.buffer = b.tavrelPosition;
  e.animation.buffer = b.animation;
  for (int slot : {b.background, b.canvasView, b.shapePosition, b.tavrelPosition, b.animation, b.composition}) {
    SelectBuffer(d, slot);
    UpdateBufferPalette(d);
  }
  MoveTo(d, 0, 0);
  ShowPcx(d, e.window.screenImagePath);
  CopyRect(d, 0, kClientWidth - 1, 0, kClientHeight - 1, 0, kClientHeight - 1, b.composition, b.background);
  for (int slot : {b.shapePosition, b.tavrelPosition}) {
    SelectBuffer(d, slot);
    MoveTo(d, 0, 0);
    ShowPcx(d, e.window.screenImagePath);
  }
  SelectBuffer(d, b.composition);
  GetPalette(d, 0, 256, palette);
  return true;
}

void PresentWindow(Editor& e) {
  if (e.window.failed) return;
  SelectBuffer(e.display, e.window.buffers.composition);
  int w = std::min(e.window.clientWidth, kClientWidth);
  int h = std::min(e.window.clientHeight, kClientHeight);
  if (w > 0 && h > 0) PasteToWindow(e.display, 0, w - 1, 0, h - 1, 0, w - 1, 0, h - 1);
  DrawShapeCounter(e);
}

void RedrawScreen(Editor& e) {
  if (e.window.failed) return;
  const ScreenBuffers& b = e.window.buffers;
  CopyRect(e.display, 0, kClientWidth - 1, 0, kClientHeight - 1, 0, kClientHeight - 1, b.background,
           b.composition);
  DrawAllToolButtons(e);
  RedrawLiveParts(e);
  DrawShapeSlider(e);
  DrawScrollBar(e, e.horizontalBar);
  DrawScrollBar(e, e.verticalBar);
}

// ----- toolbar ---------------------------------------------------------------------

void PlaceToolButtons(Editor& e) {
  for (int i = 0; i < kToolButtonCount; ++i) {
    e.toolbar.buttons[static_cast<size_t>(i)] = {kButtonPlaces[i][0], kButtonPlaces[i][1], 0};
  }
  e.toolbar.pressedButton = -1;
}

void DrawToolButton(Editor& e, int button, int pressed) {
  if (e.window.failed) return;
  const Shape& image = ButtonImage(e, button, pressed ? 1 : 0);
  if (!image.HasPixels()) return;
  const ToolButton& b = e.toolbar.buttons[static_cast<size_t>(button)];
  const ScreenBuffers& s = e.window.buffers;
  SelectBuffer(e.display, s.composition);
  CopyRect(e.display, b.x, b.x + image.width, b.y, b.y + image.height, b.x, b.y + image.height, s.background,
           s.composition);
  PutHelper(e, image, b.x, b.y + image.height);
}

void DrawAllToolButtons(Editor& e) {
  for (int i = 0; i < kToolButtonCount; ++i) DrawToolButton(e, i, e.toolbar.buttons[static_cast<size_t>(i)].pressed);
}

void ToolbarPress(Editor& e, int x, int y) {
  for (int i = 0; i < kToolButtonCount; ++i) {
    if (InsideButton(e, i, x, y)) {
      DrawToolButton(e, i, 1);
      e.toolbar.pressedButton = i;
    }
  }
  PresentWindow(e);
}

void ToolbarRelease(Editor& e, int x, int y) {
  int button = e.toolbar.pressedButton;
  if (button >= 0 && InsideButton(e, button, x, y)) RunToolbarAction(e, button);
  e.toolbar.pressedButton = -1;
  DrawAllToolButtons(e);
  PresentWindow(e);
}

int ToolButtonOf(int tool) { return tool <= kBucket ? tool : kFirstFigureButton + tool - kLineTool; }

void SetToolState(Editor& e, int tool, int background, int size) {
  e.tools.currentTool = tool;
  e.view.backgroundType = background;
  e.tools.pencilSize = size;
  for (int i = 0; i < kToolButtonCount; ++i) {
    if (i == kSecondViewButton) continue;
    bool on = (ToolOfButton(i) >= 0 && i == ToolButtonOf(tool)) || (i >= 10 && i <= 12 && i - 10 == background) ||
              (i >= 13 && i <= 18 && i - 13 == size);
    e.toolbar.buttons[static_cast<size_t>(i)].pressed = on ? 1 : 0;
  }
  e.desktop.menus.SetMenuChecked(kCmdFilledRectangles, e.tools.filledRectangle);
  e.desktop.menus.SetMenuChecked(kCmdFilledEllipses, e.tools.filledEllipse);
  DrawAllToolButtons(e);
  PresentWindow(e);
}

std::string ToolTipAt(const Editor& e, int x, int y) {
  static const char* const kFigureTips[] = {
      "Line (L): drag from end to end; Shift keeps it to 45 degrees",
      "Rectangle (T): drag from corner to corner; T again switches outlined and filled; Shift for squares",
      "Ellipse (O): drag across its box; O again switches outlined and filled; Shift for circles",
  };
  for (int i = kFirstFigureButton; i < kFirstFigureButton + 3; ++i) {
    if (InsideButton(e, i, x, y)) return kFigureTips[i - kFirstFigureButton];
  }
  return {};
}

// ----- scroll bars -----------------------------------------------------------------

void InitScrollBars(Editor& e) {
  ScrollBar& v = e.verticalBar;
  ScrollBar& h = e.horizontalBar;
  ResetScrollBar(v);
  ResetScrollBar(h);
  v.vertical = 1;
  v.width = 14;
  v.height = 256;
  v.x = 441;
  v.y = 8;
  v.images = {50, 51, 52, 53, 54};
  h.vertical = 0;
  h.width = 256;
  h.height = 12;
  h.x = 184;
  h.y = 265;
  h.images = {46, 47, 48, 49, 54};
  for (ScrollBar* bar : {&v, &h}) {
    bar->enabled = 1;
    bar->visible = 1;
    bar->range = Length(*bar) - FirstArrow(e, *bar) - SecondArrow(e, *bar) - Thumb(e, *bar) + 1;
    bar->position = 0;
    // Enabled only while the view is magnified.
    bar->enabled = 0;
  }
}

void ScrollBarPress(Editor& e, ScrollBar& bar, int x, int y) {
  if (x < bar.x || x > bar.x + bar.width || y < bar.y || y > bar.y + bar.height) {
    bar.pressedPart = kNoPart;
    return;
  }
  bar.lastX = x;
  bar.lastY = y;
  int d = bar.vertical ? y - bar.y : x - bar.x;
  int a1 = FirstArrow(e, bar), a2 = SecondArrow(e, bar), t = Thumb(e, bar);
  if (d <= a1) {
    bar.pressedPart = kFirstArrow;
  } else if (d >= Length(bar) - a2) {
    bar.pressedPart = kSecondArrow;
  } else if (d >= bar.position + a1 && d <= bar.position + a1 + t) {
    bar.pressedPart = kThumb;
  } else {
    bar.pressedPart = kTrack;
  }
  ApplyScrollPart(e, bar, bar.pressedPart, x, y);
}

void ScrollBarDrag(Editor& e, ScrollBar& bar, int x, int y) {
  if (bar.pressedPart == kThumb || bar.pressedPart == kTrack) ApplyScrollPart(e, bar, bar.pressedPart, x, y);
}

void ScrollBarRelease(Editor& e, ScrollBar& bar) {
  if (bar.pressedPart == kNoPart) return;
  bar.repeatCounter = 0;
  bar.pressedPart = kNoPart;
  DrawScrollBar(e, bar);
  ShowScrollBar(e, bar);
}

void ScrollBarTick(Editor& e, ScrollBar& bar) {
  if (bar.pressedPart != kFirstArrow && bar.pressedPart != kSecondArrow) return;
  // The first repeat comes on the fifth tick after the press.
  if (bar.repeatCounter > 3) {
    ApplyScrollPart(e, bar, bar.pressedPart, bar.lastX, bar.lastY);
  } else {
    ++bar.repeatCounter;
  }
}

void MoveScrollBarBy(Editor& e, ScrollBar& bar, int delta) {
  if (delta == 0) return;
  bar.position += delta;
  ApplyScrollPart(e, bar, kNoPart, bar.lastX, bar.lastY);
}

void DrawScrollBar(Editor& e, const ScrollBar& bar) {
  if (!bar.visible || e.window.failed) return;
  SelectBuffer(e.display, e.window.buffers.composition);
  SetColor(e.display, 179);
  FillRect(e.display, bar.x, bar.x + bar.width - 1, bar.y, bar.y + bar.height - 1);
  const Shape& first = Helper(e, bar.images[bar.pressedPart == kFirstArrow ? 1 : 0]);
  const Shape& second = Helper(e, bar.images[bar.pressedPart == kSecondArrow ? 3 : 2]);
  const Shape& thumb = Helper(e, bar.images[4]);
  PutHelper(e, first, bar.x, bar.y + first.height - 1);
  // The second arrow sits flush with the far end of the bar.
  if (bar.vertical) {
    PutHelper(e, second, bar.x, bar.y + bar.height - 1);
  } else {
    PutHelper(e, second, bar.x + bar.width - second.width, bar.y + second.height - 1);
  }
  if (bar.enabled) {
    int a1 = FirstArrow(e, bar);
    if (bar.vertical) {
      int top = bar.y + bar.position + a1;
      PutHelper(e, thumb, bar.x, top + thumb.height - 1);
    } else {
      PutHelper(e, thumb, bar.x + bar.position + a1, bar.y + thumb.height - 1);
    }
  }
}

void ShowScrollBar(Editor& e, const ScrollBar& bar) {
  if (e.window.failed) return;
  SelectBuffer(e.display, e.window.buffers.composition);
  int x1 = std::clamp(bar.x, 0, kClientWidth - 1), x2 = std::clamp(bar.x + bar.width, 0, kClientWidth - 1);
  int y1 = std::clamp(bar.y, 0, kClientHeight - 1), y2 = std::clamp(bar.y + bar.height, 0, kClientHeight - 1);
  PasteToWindow(e.display, x1, x2, y1, y2, x1, x2, y1, y2);
}

// ----- events ----------------------------------------------------------------------

void OnMouseDown(Editor& e, int x, int y, int button, bool ctrl, bool shift) {
  e.window.lastMouseX = x;
  e.window.lastMouseY = y;
  e.status.mouseInside = true;
  // While the middle button pans, the other buttons wait.
  if (button == kMiddleButton || e.navigation.panning) {
    if (button == kMiddleButton) {
      e.desktop.control.CaptureMouse();
      MiddlePress(e, x, y);
    }
    UpdateStatusLine(e);
    return;
  }
  e.desktop.control.CaptureMouse();
  e.tools.shift = shift;
  ToolbarPress(e, x, y);
  ToolMouseDown(e, x, y, button, ctrl);
  ColorGridPress(e, x, y, button);
  SliderPress(e, x, y);
  ScrollBarPress(e, e.verticalBar, x, y);
  ScrollBarPress(e, e.horizontalBar, x, y);
  UpdateStatusLine(e);
}

void OnMouseMove(Editor& e, int x, int y, bool ctrl, bool shift) {
  e.window.lastMouseX = x;
  e.window.lastMouseY = y;
  e.status.mouseInside = true;
  if (e.navigation.panning) {
    MiddleDrag(e, x, y);
  } else {
    e.tools.shift = shift;
    ToolMouseMove(e, x, y, ctrl);
    ColorGridDrag(e, x, y);
    SliderDrag(e, x, y);
    ScrollBarDrag(e, e.verticalBar, x, y);
    ScrollBarDrag(e, e.horizontalBar, x, y);
  }
  UpdateStatusLine(e);
}

void OnMouseUp(Editor& e, int x, int y, int button) {
  e.window.lastMouseX = x;
  e.window.lastMouseY = y;
  if (button == kMiddleButton || e.navigation.panning) {
    if (button == kMiddleButton) {
      MiddleRelease(e, x, y);
      e.desktop.control.ReleaseMouse();
    }
    UpdateStatusLine(e);
    return;
  }
  if (button == 1) {
    ToolbarRelease(e, x, y);
    ToolMouseUp(e);
    ColorGridRelease(e);
  } else {
    ToolMouseUp(e);
    ColorGridRelease(e);
    ToolbarRelease(e, x, y);
  }
  SliderRelease(e);
  ScrollBarRelease(e, e.verticalBar);
  ScrollBarRelease(e, e.horizontalBar);
  e.desktop.control.ReleaseMouse();
  UpdateStatusLine(e);
}

void OnCtrlKey(Editor& e, bool down) { ToolMouseMove(e, e.window.lastMouseX, e.window.lastMouseY, down); }

void OnShiftKey(Editor& e, bool down) { ToolShiftKey(e, down); }

void OnFocusGained(Editor& e) {
  if (!e.window.failed) SelectWindowPalette(e.display, e.window.palette);
  PresentWindow(e);
  e.ui().window.SetCursor(platform::Cursor::Arrow);
}

void OnPaint(Editor& e) {
  PresentWindow(e);
  RefreshPositionWindows(e);
}

void OnSize(Editor& e, int width, int height) {
  e.window.clientWidth = width;
  e.window.clientHeight = height;
}

void OnCloseRequest(Editor& e) {
  if (ConfirmDiscard(e.doc, e.canvas, e.ui())) {
    DiscardRecovery(e);
    e.desktop.control.Quit(0);
  }
}

void OnFileDropped(Editor& e, const std::string& path) { OnFilesDropped(e, {path}); }

void OnTimer(Editor& e, int id) {
  if (id == kCommitTimer) {
    if (e.window.canvasChanged == 1) {
      CommitCanvas(e.doc, e.canvas, e.doc.list.current, false);
      ShowPropertiesSize(e.desktop.dialogs, e.properties, e.doc);
      RefreshPositionWindows(e);
      e.window.canvasChanged = 0;
      RefreshShapesWindow(e);
    }
  } else if (id == kScrollTimer) {
    ScrollBarTick(e, e.horizontalBar);
    ScrollBarTick(e, e.verticalBar);
  } else if (id == kRecoveryTimer) {
    UpdateRecoveryCopy(e);
  } else if (id == kAnimationTimer) {
    AnimationTick(e);
  } else if (id == kRecoveryDoneTimer) {
    CollectRecoveryCopy(e, false);
  }
  UpdateStatusLine(e);
}

void OnCommand(Editor& e, int identifier) {
  RunCommand(e, identifier);
  RecoveryAfterCommand(e);
  UpdateStatusLine(e);
}

}  // namespace qshe
