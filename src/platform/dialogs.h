// Modeless dialogs as the program asks for them: each is built once from a
// resource (data: controls with id, kind, text and a rectangle in dialog
// units), then hidden and shown, keeping what the user typed. Controls are
// addressed by dialog and control id; what the user does comes back as
// notifications to one listener.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/surface.h"

namespace qshe::platform {

// Controls without an id of their own (labels, frames).
inline constexpr int kNoControl = -1;
// The id every dialog's Cancel button has.
inline constexpr int kCancelButton = 2;

enum class ControlKind {
  Label,          // static text
  Number,         // static text that shows a value the program writes
  Edit,           // one-line edit box
  CheckBox,       // check box that toggles itself when clicked
  GroupBox,       // frame with an optional title
  DropDownList,   // pick-only combo box; its rectangle's height includes the list
  Button,         // push button
  DefaultButton,  // push button that Enter presses
  Surface,        // a small picture the program draws into (previews)
  TextView,       // read-only text of many lines in a fixed-pitch font, scrolled;
                  // a dialog with one can be resized by the user
  ScrollView,     // a tall picture the program draws, seen through a view the
                  // user scrolls (ItemScrollView); a dialog with one can be
                  // resized by the user, and its keys go to the program
};

struct DialogControl {
  int id = kNoControl;
  ControlKind kind = ControlKind::Label;
  std::string text;  // with "&" before the mnemonic
  int x = 0;         // rectangle in dialog units
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<std::string> items;  // a drop-down list's entries, in order
  // An edit's widest text, which it shows whole at every font size (a number
  // box's longest value, sign included); empty: the rectangle as it is.
  std::string widest = {};
};

// A key that presses a button of the dialog wherever its focus is (Space
// for a player's play button), except in an edit, which takes its typing.
// Keys are written as for the main window's shortcuts.
struct DialogKey {
  std::string key;
  int control = kNoControl;
};

struct DialogResource {
  int id = 0;
  std::string caption;
  int width = 0;  // client size in dialog units
  int height = 0;
  std::vector<DialogControl> controls;  // in Tab order
  // Sizes and rectangles are pixels whatever the font (the previews, whose
  // pictures have a fixed size).
  bool inPixels = false;
  std::vector<DialogKey> keys = {};
};

// A dialog unit is a quarter of the dialog font's average character width
// across and an eighth of its height down.
struct DialogBaseUnits {
  int charWidth = 0;
  int charHeight = 0;
};
// The units a resource is laid out in, given the dialog font's.
inline DialogBaseUnits ResourceUnits(const DialogResource& r, const DialogBaseUnits& font) {
  return r.inPixels ? DialogBaseUnits{4, 8} : font;
}
inline int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base) { return units * base.charWidth / 4; }
inline int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base) { return units * base.charHeight / 8; }
// The control's rectangle in client pixels.
inline Rect ControlPixels(const DialogControl& c, const DialogBaseUnits& base) {
  int x1 = DialogUnitsToPixelsX(c.x, base), y1 = DialogUnitsToPixelsY(c.y, base);
  return {x1, x1 + DialogUnitsToPixelsX(c.width, base) - 1, y1, y1 + DialogUnitsToPixelsY(c.height, base) - 1};
}

enum class DialogEvent {
  EditChanged,       // an edit's text changed, by the user or by the program
  Clicked,           // a button or check box was pressed (a check box has toggled already)
  SelectionChanged,  // the user picked another entry of a drop-down list
  Close,             // close box or Escape; the program decides whether to hide
  MouseDown,         // on a Surface control, in its pixels; button 1 left, 2 right
  MouseMove,         // while a button is held the drag goes on outside the
  MouseUp,           // control, with coordinates below 0 or past its size
  Activated,         // the dialog became or stopped being the active window
  KeyDown,           // a key on a ScrollView: `key` and `modifiers`
  Scrolled,          // the user scrolled a ScrollView (bar or wheel)
  Resized,           // a ScrollView's view changed size or window scale
};

// Modifier bits of a notification.
inline constexpr int kShiftKey = 1;
inline constexpr int kCtrlKey = 2;

// The keys a ScrollView passes on.
enum class ViewKey : int {
  None = 0, Left, Right, Up, Down, Home, End, PageUp, PageDown, Enter, Delete, SelectAll, Copy,
};

struct DialogNotification {
  int dialog = 0;
  int control = kNoControl;
  DialogEvent event = DialogEvent::EditChanged;
  int x = 0;
  int y = 0;
  int button = 0;
  int modifiers = 0;  // kShiftKey, kCtrlKey: mouse presses and keys
  ViewKey key = ViewKey::None;
};

// The program's side of a ScrollView: it draws the visible part on the
// surface in view pixels (0, 0 the view's top-left corner), says how tall
// the whole is, and moves the view; the window system shows the bar.
class ScrollView {
 public:
  virtual ~ScrollView() = default;
  virtual WindowSurface& Surface() = 0;
  virtual int ViewWidth() = 0;
  virtual int ViewHeight() = 0;
  // The window scale (1..4) the contents are laid out at.
  virtual int Scale() = 0;
  // The height of the whole, and how far one step of the bar moves.
  virtual void SetContentHeight(int height, int step) = 0;
  virtual int ScrollPosition() = 0;
  // Moves the view (kept within the whole); no notification follows.
  virtual void SetScrollPosition(int y) = 0;
  // A pop-up menu at view point (x, y); the chosen entry's id, or 0.
  virtual int PopupMenu(const std::vector<MenuItem>& items, int x, int y) = 0;
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Where every notification goes; an empty function drops them.
  virtual void SetDialogListener(std::function<void(const DialogNotification&)> listener) = 0;
  // Builds the dialog, hidden and owned by the main window, unless it exists.
  // Drop-down lists start with their items and the first one selected.
  virtual void CreateDialog(const DialogResource& resource) = 0;
  virtual bool DialogExists(int dialog) = 0;
  virtual void ShowDialog(int dialog) = 0;
  virtual void HideDialog(int dialog) = 0;
  virtual bool DialogVisible(int dialog) = 0;
  virtual void SetDialogTitle(int dialog, const std::string& title) = 0;

  // Unknown dialogs and controls are ignored, and read as empty, unchecked
  // and selection -1.
  virtual void SetItemText(int dialog, int control, const std::string& text) = 0;
  virtual std::string ItemText(int dialog, int control) = 0;
  virtual void SetItemChecked(int dialog, int control, bool checked) = 0;
  virtual bool ItemChecked(int dialog, int control) = 0;
  virtual void SetItemEnabled(int dialog, int control, bool enabled) = 0;
  virtual void SetListItems(int dialog, int control, const std::vector<std::string>& items) = 0;
  virtual void SetListSelection(int dialog, int control, int index) = 0;
  virtual int ListSelection(int dialog, int control) = 0;
  // Marks a control as not showing what is stored, with the reason as its
  // tool tip; an empty text takes the mark away.
  virtual void SetItemWarning(int dialog, int control, const std::string& text) = 0;
  // What a Surface control draws on, or null when the control is none.
  virtual WindowSurface* ItemSurface(int dialog, int control) = 0;
  // A ScrollView control, or null when the control is none.
  virtual ScrollView* ItemScrollView(int /*dialog*/, int /*control*/) { return nullptr; }
  // Brings the main window to the front (Enter in a browsing window).
  virtual void ActivateOwner() {}
};

}  // namespace qshe::platform
