// The whole program's state: one record per module, created once at start-up.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browser/browser_view.h"
#include "display/game_palette.h"
#include "display/virtual_buffer.h"
#include "document/canvas.h"
#include "document/document.h"
#include "document/recovery.h"
#include "document/history.h"
#include "editing/canvas_view.h"
#include "editing/canvas_view_onion.h"
#include "editing/selection.h"
#include "editing/tool_state.h"
#include "editing/tools.h"
#include "editing/view_navigation.h"
#include "interchange/picture_import.h"
#include "platform/desktop.h"
#include "properties/animation.h"
#include "properties/positioning.h"
#include "properties/properties_window.h"

namespace qshe {

inline constexpr int kClientWidth = 615;
inline constexpr int kClientHeight = 285;
inline constexpr int kToolButtonCount = 26;
// The toolbar's one toggle: pressed while the second view shows.
inline constexpr int kSecondViewButton = 7;
// The line, rectangle and ellipse buttons come after the first 23, and so
// do their pictures in the helper shapes: up and pressed for each from slot
// 70, then the filled rectangle's and filled ellipse's from slot 76.
inline constexpr int kFirstFigureButton = 23;
inline constexpr int kFigureButtonSlot = 70;
inline constexpr int kFilledFigureButtonSlot = 76;

// Timer identifiers.
inline constexpr int kCommitTimer = 1;   // every 4000 ms
inline constexpr int kScrollTimer = 2;   // every 80 ms

// Slots of the six buffers made when the window is created.
struct ScreenBuffers {
  int composition = -1;     // what the window shows
  int background = -1;      // untouched copy of the screen image
  int sheet = -1;           // 640 x 480 contact sheet
  int canvasView = -1;      // 256 x 256
  int shapePosition = -1;   // 200 x 200
  int tavrelPosition = -1;  // 200 x 200
  int animation = -1;       // 200 x 200
};

struct MainWindow {
  std::string screenImagePath;
  int clientWidth = kClientWidth;
  int clientHeight = kClientHeight;
  int lastMouseX = 0;
  int lastMouseY = 0;
  GamePalette gamePalette{};
  ColorMatcher colorMatcher;  // built from gamePalette; see GameColors
  ScreenBuffers buffers;
  platform::PaletteId palette = 0;
  int32_t canvasChanged = 0;  // the canvas holds edits not committed yet
  bool failed = false;        // the display could not be set up
  // Installed by the window system's layer, which owns the window scale:
  // (1..4, 0) sets it, (0, +1 or -1) steps it. The program itself always
  // works in unscaled client pixels.
  std::function<void(int scale, int step)> scaleWindow;
};

struct ToolButton {
  int x = 0;
  int y = 0;
  int pressed = 0;
};

struct Toolbar {
  std::array<ToolButton, kToolButtonCount> buttons{};
  int pressedButton = -1;  // the button a mouse press went down on
};

enum ScrollPart : int { kNoPart = -1, kFirstArrow = 1, kSecondArrow = 2, kThumb = 3, kTrack = 4 };

struct ScrollBar {
  int width = 0;
  int height = 0;
  int x = 0;
  int y = 0;
  int enabled = 0;
  int visible = 0;
  int range = 0;
  int position = 0;
  int lastX = 0;
  int lastY = 0;
  int step = 1;
  int vertical = 0;  // 0 horizontal, 1 vertical
  int repeatCounter = 0;
  int dragging = 0;
  // Helper-shape slots: first arrow, first pressed, second arrow, second
  // pressed, thumb.
  std::array<int, 5> images{};
  int pressedPart = kNoPart;
  std::function<void()> onScroll;
};

// Which indices may be picked and the two current colours.
struct ColorPanel {
  std::array<uint8_t, 256> mask{};  // 1 = may be picked
  uint8_t foreColor = 34;           // left button
  uint8_t backColor = 58;           // right button
  int pickButton = -1;              // the button a pick in the grid started with
};

struct Slider {
  int dragging = -1;  // 1 between a press on the track and the next release
};

// What the status bar under the picture shows, piece by piece; a piece with
// nothing to say is empty.
struct StatusText {
  std::string position;  // "12, 40": the canvas pixel under the mouse
  std::string color;     // "index 123  (r, g, b)" of that pixel
  std::string zoom;      // "1:1", "x2" .. "x16"
  std::string shape;     // "Shape 3 of 20"
  std::string size;      // "40 x 30"
  std::string modified;  // "Modified" while there are unsaved changes
  std::string message;   // what the last long operation did
  std::string toolForm;  // a tool's own line, such as the form it draws
  friend bool operator==(const StatusText&, const StatusText&) = default;
};

struct StatusLine {
  bool mouseInside = false;  // the pointer is over the picture
  std::string message;
  std::string toolForm;
  StatusText shown;  // what the window was last given
  // Installed by the window system's layer, which shows the text; called
  // only when something changed.
  std::function<void(const StatusText&)> show;
};

// The wheel's part turns and the middle button's drag.
struct Navigation {
  WheelRemainder across;  // horizontal scrolling
  WheelRemainder down;    // vertical scrolling
  WheelRemainder zoom;    // Ctrl+wheel
  WheelRemainder shapes;  // over the shape slider
  bool panning = false;   // a middle-button drag moves the view
  int lastX = 0;
  int lastY = 0;
};

// The documents last opened or saved, newest first.
struct RecentFiles {
  std::vector<std::string> paths;
};

struct Paths {
  std::string programDir;       // ends in a separator
  std::string commandLineFile;  // empty when none
};

struct Editor {
  explicit Editor(platform::Desktop& d) : desktop(d) {}
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  platform::Platform& ui() { return desktop.ui; }

  platform::Desktop& desktop;
  Paths paths;
  DisplayState display;
  Document doc;
  Canvas canvas;
  History history;  // every change of the document, for Undo and Redo
  std::vector<Shape> helperShapes = std::vector<Shape>(kHelperShapeCount);
  Shape backdropShape;
  MainWindow window;
  Toolbar toolbar;
  Slider slider;
  ScrollBar verticalBar;
  ScrollBar horizontalBar;
  CanvasView view;
  ToolState tools;
  Selection selection;  // the select tool's rectangle and the floating pixels
  FillStack fillStack;  // the paint bucket's store
  Canvas figurePreview;  // the canvas with the figure being dragged, as shown
  ColorPanel colors;
  PropertiesWindow properties;
  PositioningWindows positioning;
  AnimationWindow animation;
  OnionSkin onion;  // the neighbouring shapes behind the canvas
  RecoveryJournal recovery;  // copies of unsaved work; off while its folder is empty
  ImportSettings importSettings;  // the picture imports' remembered choices
  PictureImport pictureImport;    // the "Import picture" window
  StatusLine status;
  Navigation navigation;
  RecentFiles recent;
  ShapeBrowser browser;      // the Shapes window: selection, picture, drag
};

}  // namespace qshe
