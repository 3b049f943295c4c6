// Modeless dialogs on the scripted desktop: each control's text, check,
// enabled state and list are kept as plain values; a test "types" and
// "clicks" through the scripting calls, which notify the listener as the
// window system would.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/headless/headless_surface.h"

namespace qshe::platform {

// A scrolling view on the scripted desktop: a surface the size of the view,
// the scroll position kept within the whole, and pop-up menus answered from
// a queue (0, nothing chosen, when it is empty).
class HeadlessScrollView : public ScrollView {
 public:
  HeadlessScrollView(int width, int height) : surface_(std::make_unique<HeadlessSurface>(width, height)) {}
  // The view takes a new size or scale (the caller notifies Resized).
  void Resize(int width, int height, int scale);

  int scale = 1;
  int contentHeight = 0;
  int step = 1;
  int scrollY = 0;
  std::vector<int> menuAnswers;
  std::vector<std::vector<MenuItem>> menusShown;

  HeadlessSurface& surface() { return *surface_; }
  WindowSurface& Surface() override { return *surface_; }
  int ViewWidth() override { return surface_->width(); }
  int ViewHeight() override { return surface_->height(); }
  int Scale() override { return scale; }
  void SetContentHeight(int height, int stepSize) override;
  int ScrollPosition() override { return scrollY; }
  void SetScrollPosition(int y) override;
  int PopupMenu(const std::vector<MenuItem>& items, int x, int y) override;

 private:
  std::unique_ptr<HeadlessSurface> surface_;
};

class HeadlessDialogs : public DialogHost {
 public:
  struct Control {
    ControlKind kind = ControlKind::Label;
    std::string text;
    bool checked = false;
    bool enabled = true;
    std::vector<std::string> items;
    int selection = -1;
    std::string warning;
    std::unique_ptr<HeadlessSurface> surface;
    std::unique_ptr<HeadlessScrollView> view;
  };
  struct Dialog {
    DialogResource resource;
    std::string title;
    bool visible = false;
    int timesShown = 0;
    std::map<int, Control> controls;
  };

  // The font the scripted dialogs are laid out with.
  DialogBaseUnits baseUnits{6, 13};

  // ----- scripting: what the user does -----
  // Replaces an edit's text as typing would, then notifies.
  void Type(int dialog, int control, const std::string& text);
  // Presses a button; a check box toggles first.
  void Click(int dialog, int control);
  // Picks entry `index` of a drop-down list.
  void Choose(int dialog, int control, int index);
  // The close box.
  void Close(int dialog);
  // The mouse on a Surface control, in its pixels; between a press and its
  // release the points may lie outside it, as with a captured mouse.
  void Press(int dialog, int control, int x, int y, int button = 1);
  void Drag(int dialog, int control, int x, int y);
  void Release(int dialog, int control, int x, int y, int button = 1);
  // The dialog became the active window, or stopped being it.
  void Activate(int dialog);
  // A key typed while the focus is on a control that is not an edit: a key
  // of the dialog's resource presses its button. False when no key matched.
  bool PressKey(int dialog, const std::string& key);
  // A ScrollView: a press with modifier keys held (kShiftKey, kCtrlKey), a
  // key, the bar moved by the user, the view resized or rescaled.
  void PressWith(int dialog, int control, int x, int y, int button, int modifiers);
  void Key(int dialog, int control, ViewKey key, int modifiers = 0);
  void ScrollBy(int dialog, int control, int dy);
  void ResizeView(int dialog, int control, int width, int height, int scale);
  // Times the main window was brought to the front.
  int ownerActivations = 0;

  // ----- what the user would see -----
  const Dialog* Find(int dialog) const;
  // The control's state; an empty, unchecked one for a control that does not exist.
  const Control& Item(int dialog, int control) const;
  // Ids of the dialogs in the order they were created.
  std::vector<int> created;

  // ----- the interface -----
  void SetDialogListener(std::function<void(const DialogNotification&)> listener) override {
    listener_ = std::move(listener);
  }
  void CreateDialog(const DialogResource& resource) override;
  bool DialogExists(int dialog) override { return dialogs_.count(dialog) != 0; }
  void ShowDialog(int dialog) override;
  void HideDialog(int dialog) override;
  bool DialogVisible(int dialog) override;
  void SetDialogTitle(int dialog, const std::string& title) override;
  void SetItemText(int dialog, int control, const std::string& text) override;
  std::string ItemText(int dialog, int control) override;
  void SetItemChecked(int dialog, int control, bool checked) override;
  bool ItemChecked(int dialog, int control) override;
  void SetItemEnabled(int dialog, int control, bool enabled) override;
  void SetListItems(int dialog, int control, const std::vector<std::string>& items) override;
  void SetListSelection(int dialog, int control, int index) override;
  int ListSelection(int dialog, int control) override;
  void SetItemWarning(int dialog, int control, const std::string& text) override;
  WindowSurface* ItemSurface(int dialog, int control) override;
  ScrollView* ItemScrollView(int dialog, int control) override;
  HeadlessScrollView* View(int dialog, int control);
  void ActivateOwner() override { ++ownerActivations; }

 private:
  Control* Lookup(int dialog, int control);
  void Notify(int dialog, int control, DialogEvent event, int x = 0, int y = 0, int button = 0);
  void NotifySurface(int dialog, int control, DialogEvent event, int x, int y, int button);

  std::map<int, Dialog> dialogs_;
  std::function<void(const DialogNotification&)> listener_;
};

}  // namespace qshe::platform
