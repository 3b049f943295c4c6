#include "properties/properties_window.h"

#include <string>

#include "properties/dialog_number.h"

namespace qshe {
namespace {

using platform::ControlKind;
using platform::DialogControl;
using platform::DialogHost;
using platform::kNoControl;

constexpr int kOffsetLimit = 127;

// Sets `updating` for the scope and clears it on every way out.
struct Updating {
  explicit Updating(PropertiesWindow& w) : window(w) { window.updating = 1; }
  ~Updating() { window.updating = 0; }
  PropertiesWindow& window;
};

void SetNumber(DialogHost& host, int control, int32_t value) {
  host.SetItemText(kPropertiesDialog, control, std::to_string(value));
}

// The value of a box; outside lo..hi it is stored as 0.
int32_t ReadNumber(DialogHost& host, int control, int32_t lo, int32_t hi) {
  std::string text = host.ItemText(kPropertiesDialog, control).substr(0, 254);
  int32_t value = ParseDialogNumber(text);
  return value < lo || value > hi ? 0 : value;
}

// A box whose text is not the number that was stored says so, unless it is
// empty or only a sign, the first steps of typing a number. Blanks around the
// number are read past, as the stored value reads past them.
void MarkIfNotStored(DialogHost& host, int control, int32_t stored, const std::string& range) {
  std::string text = TrimBlanks(host.ItemText(kPropertiesDialog, control));
  bool partial = text.empty() || text == "-" || text == "+";
  bool shows = partial || (IsWholeNumber(text) && ParseDialogNumber(text) == stored);
  host.SetItemWarning(kPropertiesDialog, control,
                      shows ? "" : "Allowed: " + range + ". Stored as " + std::to_string(stored) + ".");
}

bool Changed(int32_t& field, int32_t value) {
  bool changed = field != value;
  field = value;
  return changed;
}

bool UserChanged(const PropertiesWindow& window, int control) { return window.changed.count(control) != 0; }

// A number box the user changed: its value goes into `field` by the range
// rule, and the box is marked when it shows something else.
bool ReadTypedNumber(DialogHost& host, const PropertiesWindow& window, int control, int32_t& field, int32_t lo,
                     int32_t hi) {
  if (!UserChanged(window, control)) return false;
  bool changed = Changed(field, ReadNumber(host, control, lo, hi));
  MarkIfNotStored(host, control, field, std::to_string(lo) + " to " + std::to_string(hi));
  return changed;
}

bool ReadCheck(DialogHost& host, const PropertiesWindow& window, int control, int32_t& field) {
  if (!UserChanged(window, control)) return false;
  return Changed(field, host.ItemChecked(kPropertiesDialog, control) ? 1 : 0);
}

constexpr int kQs2Controls[] = {kPropReplacement, kPropQs2Frame, kPropQs2Label};
constexpr int kQbjControls[] = {kPropQbjFrame, kPropSittable,     kPropGettable,     kPropWalkable, kPropTavrelX,
                                kPropTavrelY,  kPropTavrelXLabel, kPropTavrelYLabel};
constexpr int kNumberBoxes[] = {kPropOffsetX, kPropOffsetY, kPropReplacement, kPropTavrelX, kPropTavrelY};

}  // namespace

const platform::DialogResource& PropertiesDialog() {
  using K = ControlKind;
  static const platform::DialogResource resource{
      kPropertiesDialog,
      "Shape Properties",
      108,
      202,
      {
          {kNoControl, K::GroupBox, "Basic properties", 4, 0, 100, 64, {}},
          {kNoControl, K::Label, "Position X", 14, 12, 35, 10, {}},
          {kPropOffsetX, K::Edit, "", 56, 11, 18, 12, {}, "-128"},
          {kNoControl, K::Label, "Position Y", 14, 27, 35, 10, {}},
          {kPropOffsetY, K::Edit, "", 56, 25, 18, 12, {}, "-128"},
          {kNoControl, K::Label, "Width", 26, 41, 23, 10, {}},
          {kPropWidth, K::Number, "102", 56, 41, 34, 8, {}},
          {kNoControl, K::Label, "Height", 26, 52, 23, 10, {}},
          {kPropHeight, K::Number, "102", 56, 52, 34, 8, {}},
          {kPropQs2Flag, K::CheckBox, "QS&2 properties:", 4, 68, 61, 9, {}},
          {kPropQs2Frame, K::GroupBox, "", 4, 74, 100, 37, {}},
          {kPropQs2Label, K::Label, "This shape will replace the shape number", 19, 83, 51, 26, {}},
          {kPropReplacement, K::Edit, "", 71, 89, 26, 12, {}, "-32768"},
          {kPropQbjFlag, K::CheckBox, "QB&J properties:", 4, 115, 60, 10, {}},
          {kPropQbjFrame, K::GroupBox, "", 4, 121, 100, 77, {}},
          {kPropSittable, K::CheckBox, "&Sittable", 19, 130, 78, 8, {}},
          {kPropGettable, K::CheckBox, "&Gettable", 19, 141, 78, 8, {}},
          {kPropWalkable, K::CheckBox, "&Walkable", 19, 152, 78, 8, {}},
          {kPropTavrelXLabel, K::Label, "Tavrel Pos X", 19, 167, 39, 11, {}},
          {kPropTavrelX, K::Edit, "", 62, 166, 20, 12, {}, "-128"},
          {kPropTavrelYLabel, K::Label, "Tavrel Pos Y", 19, 183, 39, 11, {}},
          {kPropTavrelY, K::Edit, "", 62, 182, 20, 12, {}, "-128"},
      }};
  return resource;
}

void ShowPropertiesWindow(DialogHost& host, PropertiesWindow& window, const Document& doc) {
  host.CreateDialog(PropertiesDialog());
  host.ShowDialog(kPropertiesDialog);
  FillPropertiesWindow(host, window, doc);
}

void FillPropertiesWindow(DialogHost& host, PropertiesWindow& window, const Document& doc) {
  if (!host.DialogExists(kPropertiesDialog) || window.updating == 1) return;
  Updating guard(window);
  const int32_t current = doc.list.current;
  const Shape& s = doc.list.slots[static_cast<size_t>(current)];
  host.SetDialogTitle(kPropertiesDialog, "Shape " + std::to_string(current) + " properties");
  SetNumber(host, kPropOffsetX, s.offsetX);
  SetNumber(host, kPropOffsetY, s.offsetY);
  SetNumber(host, kPropWidth, s.width);
  SetNumber(host, kPropHeight, s.height);

  const bool qs2 = doc.state.qs2Flag != 0;
  for (int c : kQs2Controls) host.SetItemEnabled(kPropertiesDialog, c, qs2);
  host.SetItemChecked(kPropertiesDialog, kPropQs2Flag, qs2);
  if (qs2) SetNumber(host, kPropReplacement, s.replacement);

  const bool qbj = doc.state.qbjFlag != 0;
  for (int c : kQbjControls) host.SetItemEnabled(kPropertiesDialog, c, qbj);
  host.SetItemChecked(kPropertiesDialog, kPropQbjFlag, qbj);
  if (qbj) {
    host.SetItemChecked(kPropertiesDialog, kPropSittable, s.sittable != 0);
    host.SetItemChecked(kPropertiesDialog, kPropGettable, s.gettable != 0);
    host.SetItemChecked(kPropertiesDialog, kPropWalkable, s.walkable != 0);
    SetNumber(host, kPropTavrelX, s.tavrelX);
    SetNumber(host, kPropTavrelY, s.tavrelY);
  }
  // Every box now shows what is stored, or is switched off.
  for (int c : kNumberBoxes) host.SetItemWarning(kPropertiesDialog, c, "");
  window.changed.clear();
}

void ShowPropertiesSize(DialogHost& host, PropertiesWindow& window, const Document& doc) {
  if (!host.DialogExists(kPropertiesDialog) || window.updating == 1) return;
  const Shape& s = doc.list.slots[static_cast<size_t>(doc.list.current)];
  SetNumber(host, kPropWidth, s.width);
  SetNumber(host, kPropHeight, s.height);
}

void ReadPropertiesWindow(DialogHost& host, PropertiesWindow& window, Document& doc, int32_t index) {
  if (!host.DialogExists(kPropertiesDialog) || window.updating == 1) return;
  if (index < 0 || index >= kShapeListCapacity) return;
  Updating guard(window);
  Shape& s = doc.list.slots[static_cast<size_t>(index)];
  bool changed = false;
  changed |= ReadTypedNumber(host, window, kPropOffsetX, s.offsetX, -kOffsetLimit, kOffsetLimit);
  changed |= ReadTypedNumber(host, window, kPropOffsetY, s.offsetY, -kOffsetLimit, kOffsetLimit);
  if (doc.state.qs2Flag != 0) {
    changed |= ReadTypedNumber(host, window, kPropReplacement, s.replacement, 0, kMaxReplacement);
  }
  if (doc.state.qbjFlag != 0) {
    changed |= ReadTypedNumber(host, window, kPropTavrelX, s.tavrelX, -kOffsetLimit, kOffsetLimit);
    changed |= ReadTypedNumber(host, window, kPropTavrelY, s.tavrelY, -kOffsetLimit, kOffsetLimit);
    changed |= ReadCheck(host, window, kPropSittable, s.sittable);
    changed |= ReadCheck(host, window, kPropGettable, s.gettable);
    changed |= ReadCheck(host, window, kPropWalkable, s.walkable);
  }
  // What was typed is part of the document: Exit and Open must ask before
  // dropping it.
  if (changed) MarkModified(doc);
}

PropertiesOutcome OnPropertiesNotification(DialogHost& host, PropertiesWindow& window, Document& doc,
                                           const platform::DialogNotification& n) {
  using platform::DialogEvent;
  switch (n.event) {
    case DialogEvent::EditChanged:
      // Texts the program writes while filling are not the user's changes.
      if (window.updating == 1) return PropertiesOutcome::Nothing;
      window.changed.insert(n.control);
      ReadPropertiesWindow(host, window, doc, doc.list.current);
      return PropertiesOutcome::ShapeChanged;
    case DialogEvent::Clicked: {
      int32_t* flag = n.control == kPropQs2Flag ? &doc.state.qs2Flag
                      : n.control == kPropQbjFlag ? &doc.state.qbjFlag
                                                  : nullptr;
      if (!flag) {
        // An object flag goes into the shape at once, so that the document
        // counts as changed before anything can drop it.
        if (window.updating == 1) return PropertiesOutcome::Nothing;
        window.changed.insert(n.control);
        ReadPropertiesWindow(host, window, doc, doc.list.current);
        return PropertiesOutcome::Nothing;
      }
      if (Changed(*flag, host.ItemChecked(kPropertiesDialog, n.control) ? 1 : 0)) {
        MarkModified(doc);
      }
      FillPropertiesWindow(host, window, doc);
      return PropertiesOutcome::Nothing;
    }
    case DialogEvent::Close:
      ReadPropertiesWindow(host, window, doc, doc.list.current);
      host.HideDialog(kPropertiesDialog);
      return PropertiesOutcome::Closed;
    default: return PropertiesOutcome::Nothing;
  }
}

}  // namespace qshe
