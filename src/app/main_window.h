// The main window: its display set-up, the toolbar, the two scroll bars, the
// whole-window present, and the event functions the window system calls.
#pragma once

#include <string>
#include <vector>

#include "app/editor.h"

namespace qshe {

// ----- window events (one call per event of the window system) -------------

// Mouse buttons: 1 left, 2 right. Coordinates are client pixels, negative or
// beyond the client area while the mouse is captured.
// Shift straightens figures and pencil strokes.
void OnMouseDown(Editor& e, int x, int y, int button, bool ctrl, bool shift = false);
void OnMouseMove(Editor& e, int x, int y, bool ctrl, bool shift = false);
void OnMouseUp(Editor& e, int x, int y, int button);
void OnCtrlKey(Editor& e, bool down);
void OnShiftKey(Editor& e, bool down);
void OnFocusGained(Editor& e);
void OnPaint(Editor& e);
void OnSize(Editor& e, int width, int height);
// The close box: asks about unsaved changes and quits when allowed.
void OnCloseRequest(Editor& e);
// A file dropped on the window from a file manager: opened as Open would.
void OnFileDropped(Editor& e, const std::string& path);
void OnTimer(Editor& e, int id);
// A menu entry or keyboard shortcut.
void OnCommand(Editor& e, int identifier);

// ----- the window's parts ----------------------------------------------------

// Sets up the display, the palette and the six buffers from the screen
// image. False (after the critical message and the quit request) when a
// buffer could not be made.
bool SetUpDisplay(Editor& e);
// Copies the composition to the window, then writes the shape counter.
void PresentWindow(Editor& e);
// Rebuilds the whole composition (not the window).
void RedrawScreen(Editor& e);

// Toolbar.
void PlaceToolButtons(Editor& e);
void DrawToolButton(Editor& e, int button, int pressed);
void DrawAllToolButtons(Editor& e);
void ToolbarPress(Editor& e, int x, int y);
void ToolbarRelease(Editor& e, int x, int y);
// Stores tool, background and brush size and shows them on the toolbar,
// and the figure forms on the toolbar and in the Tools menu.
void SetToolState(Editor& e, int tool, int background, int size);
// The toolbar button of a tool (0..5, then the figure buttons).
int ToolButtonOf(int tool);
// What the button under window point (x, y) does, for its tooltip; empty
// where no button has one.
std::string ToolTipAt(const Editor& e, int x, int y);

// Scroll bars.
void InitScrollBars(Editor& e);
void ScrollBarPress(Editor& e, ScrollBar& bar, int x, int y);
void ScrollBarDrag(Editor& e, ScrollBar& bar, int x, int y);
void ScrollBarRelease(Editor& e, ScrollBar& bar);
void ScrollBarTick(Editor& e, ScrollBar& bar);
void DrawScrollBar(Editor& e, const ScrollBar& bar);
void ShowScrollBar(Editor& e, const ScrollBar& bar);

// Where the window goes on a screen of the given size.
void WindowPlacement(int screenWidth, int screenHeight, int& x, int& y);

}  // namespace qshe
