// The main window's menu bar and keyboard shortcuts, handed to the window
// system as data.
#pragma once

#include <string>
#include <vector>

namespace qshe::platform {

struct MenuItem {
  enum class Kind { Command, Separator, SubMenu };
  Kind kind = Kind::Command;
  std::string label;  // "&Open..." with its mnemonic
  int id = 0;         // command identifier of a Command entry
  std::string keys;   // the shortcut shown beside the label, "Ctrl+O"
  std::vector<MenuItem> children;  // entries of a SubMenu (and of a pull-down)
};

// One keyboard shortcut of the main window. Keys are written "Ctrl+N", "U",
// "+", "=", "Left", "Delete", "Ctrl+1".
struct Accelerator {
  std::string key;
  int id = 0;
};

class MenuBar {
 public:
  virtual ~MenuBar() = default;
  // Builds the pull-downs and the shortcuts; every command entry starts
  // enabled and unchecked.
  virtual void BuildMenus(const std::vector<MenuItem>& pulldowns,
                          const std::vector<Accelerator>& accelerators) = 0;
  virtual void SetMenuChecked(int id, bool checked) = 0;
  virtual void SetMenuEnabled(int id, bool enabled) = 0;
  // A line about the entry (what Undo would take back), shown when the
  // pointer rests on it.
  virtual void SetMenuTip(int id, const std::string& tip) = 0;
  // Entries that change while the program runs (the recent files): put into
  // the pull-down that holds command `anchorId`, just above it, in place of
  // the ones put there before, with a separator after them when there are any.
  virtual void SetDynamicEntries(int anchorId, const std::vector<MenuItem>& entries) = 0;
};

}  // namespace qshe::platform
