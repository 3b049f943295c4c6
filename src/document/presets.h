// The standard property sets of the game's floor and item files, and the
// default QS2 numbering.
#pragma once

#include <cstdint>

#include "document/document.h"
#include "document/object_file.h"
#include "platform/platform.h"

namespace qshe {

enum class Preset { Floors, Item, Item2 };

struct PresetValues {
  int32_t gettable = 0;
  int32_t sittable = 0;
  int32_t walkable = 0;
};

// How many shapes, from 0, a preset covers: 208, 305 and 320.
int32_t PresetShapeCount(Preset preset);
// The preset's values for shape s; all 0 outside its range.
PresetValues PresetValuesFor(Preset preset, int32_t s);

// Sets the QBJ flag and gives every slot of the preset's range its values and
// a Tavrel position of 0, whatever the document's count. Slots past the range,
// images and replacement numbers are left alone; nothing asks.
void ApplyPreset(Document& doc, Preset preset);
void PresetFloors(Document& doc);
void PresetItem(Document& doc);
void PresetItem2(Document& doc);

// Sets the QS2 flag and numbers every slot as the game shape of its own index.
void SetDefaultQS2Numbering(Document& doc);

// The menu commands: ask first, then run and refresh the properties window.
// True when the user said Yes.
bool PresetCommand(Document& doc, platform::MessageBoxes& boxes, Preset preset,
                   const RefreshProperties& refresh);
bool DefaultQS2NumberingCommand(Document& doc, platform::MessageBoxes& boxes,
                                const RefreshProperties& refresh);

}  // namespace qshe
