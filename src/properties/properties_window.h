// The Shape Properties window: offsets, size, the QS2 replacement number and
// the QBJ object properties of the current shape, and the document's QS2 and
// QBJ switches. Modeless; once made it is only hidden and shown, and filled
// and read back also while hidden.
#pragma once

#include <cstdint>
#include <set>

#include "document/document.h"
#include "platform/dialogs.h"

namespace qshe {

inline constexpr int kPropertiesDialog = 107;

enum PropertiesControl : int {
  kPropOffsetX = 1008,
  kPropOffsetY = 1009,
  kPropWidth = 1036,
  kPropHeight = 1037,
  kPropQs2Flag = 1019,
  kPropQs2Frame = 1020,
  kPropQs2Label = 1022,
  kPropReplacement = 1010,
  kPropQbjFlag = 1018,
  kPropQbjFrame = 1021,
  kPropSittable = 1011,
  kPropGettable = 1012,
  kPropWalkable = 1013,
  kPropTavrelXLabel = 1023,
  kPropTavrelX = 1016,
  kPropTavrelYLabel = 1024,
  kPropTavrelY = 1015,
};

// The largest replacement number a QS2 file holds.
inline constexpr int32_t kMaxReplacement = 32767;

struct PropertiesWindow {
  // 1 while the window is being filled or read: the edit notifications that
  // filling causes must not read half-filled values back.
  int32_t updating = 0;
  // The boxes the user changed since the window was last filled. Only these
  // are read back: a file may hold values no box would let the user type
  // (-128, a negative replacement), and they stay as they are until the
  // user changes that very box.
  std::set<int> changed;
};

const platform::DialogResource& PropertiesDialog();

// Makes the window on first use, shows it and fills it.
void ShowPropertiesWindow(platform::DialogHost& host, PropertiesWindow& window, const Document& doc);
// Shows the current shape; nothing before the window exists.
void FillPropertiesWindow(platform::DialogHost& host, PropertiesWindow& window, const Document& doc);
// Writes only the current shape's size: after a commit the size may have
// changed while the boxes keep what the user typed.
void ShowPropertiesSize(platform::DialogHost& host, PropertiesWindow& window, const Document& doc);
// Stores the values of the boxes the user changed in shape `index`. Offsets
// and Tavrel position outside -127..127 and a replacement outside 0..32767
// are stored as 0, and the box that then shows something else is marked. A
// stored value that changes marks the document modified.
void ReadPropertiesWindow(platform::DialogHost& host, PropertiesWindow& window, Document& doc, int32_t index);

// What a notification asks of the rest of the editor.
enum class PropertiesOutcome { Nothing, ShapeChanged, Closed };
PropertiesOutcome OnPropertiesNotification(platform::DialogHost& host, PropertiesWindow& window, Document& doc,
                                           const platform::DialogNotification& n);

}  // namespace qshe
