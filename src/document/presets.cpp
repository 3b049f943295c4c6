#include "document/presets.h"

#include <span>

#include "platform/messages.h"

namespace qshe {
namespace {

// Shapes first..last (inclusive) have the value 1; every other shape of the
// preset's range has 0.
struct Run {
  int16_t first;
  int16_t last;
};

constexpr Run kItemGettable[] = {
    {0, 2},     {5, 35},    {41, 42},   {45, 53},   {57, 59},   {69, 71},   {80, 80},   {89, 96},
    {145, 148}, {150, 150}, {154, 154}, {157, 160}, {193, 201}, {205, 224}, {253, 253}, {255, 255}};
constexpr Run kItemSittable[] = {{1, 32},    {68, 68},   {72, 72},  {178, 178},
                                 {243, 243}, {269, 270}, {291, 292}};
constexpr Run kItemWalkable[] = {
    {0, 35},    {41, 42},   {45, 53},   {55, 60},   {65, 65},   {69, 72},   {80, 104},  {145, 148},
    {150, 160}, {178, 178}, {193, 242}, {247, 248}, {253, 253}, {255, 255}, {258, 261}, {263, 270},
    {278, 278}, {280, 280}, {284, 285}, {288, 289}, {291, 296}, {299, 301}};

constexpr Run kItem2Gettable[] = {{0, 14},    {16, 16},   {31, 31},   {76, 77},   {81, 81},
                                  {104, 105}, {107, 107}, {110, 110}, {112, 117}, {120, 122},
                                  {260, 271}, {279, 280}, {307, 308}, {310, 319}};
constexpr Run kItem2Sittable[] = {{0, 13},   {24, 26},   {28, 31},   {81, 81},   {89, 89},
                                  {91, 91},  {93, 93},   {106, 106}, {108, 109}, {227, 227},
                                  {235, 235}, {271, 271}, {279, 280}, {307, 308}, {313, 314}};
constexpr Run kItem2Walkable[] = {
    {0, 14},    {16, 16},   {18, 26},   {28, 79},   {81, 83},   {89, 89},
    {91, 91},   {93, 93},   {98, 101},  {104, 110}, {112, 122}, {124, 239},
    {248, 251}, {260, 271}, {279, 280}, {288, 303}, {305, 308}, {310, 319}};

// Floors are never gettable or sittable.
constexpr Run kFloorsWalkable[] = {{0, 79}, {120, 160}, {164, 207}};

struct PresetTable {
  int32_t shapes;
  std::span<const Run> gettable;
  std::span<const Run> sittable;
  std::span<const Run> walkable;
};

PresetTable TableFor(Preset preset) {
  switch (preset) {
    case Preset::Floors: return {208, {}, {}, kFloorsWalkable};
    case Preset::Item: return {305, kItemGettable, kItemSittable, kItemWalkable};
    case Preset::Item2: return {320, kItem2Gettable, kItem2Sittable, kItem2Walkable};
  }
  return {0, {}, {}, {}};
}

int32_t InRuns(std::span<const Run> runs, int32_t s) {
  for (const Run& r : runs) {
    if (s >= r.first && s <= r.last) return 1;
  }
  return 0;
}

}  // namespace

int32_t PresetShapeCount(Preset preset) { return TableFor(preset).shapes; }

PresetValues PresetValuesFor(Preset preset, int32_t s) {
  PresetTable t = TableFor(preset);
  if (s < 0 || s >= t.shapes) return {};
  return {InRuns(t.gettable, s), InRuns(t.sittable, s), InRuns(t.walkable, s)};
}

void ApplyPreset(Document& doc, Preset preset) {
  doc.state.qbjFlag = 1;
  const int32_t shapes = PresetShapeCount(preset);
  for (int32_t s = 0; s < shapes; ++s) {
    Shape& shape = doc.list.slots[static_cast<size_t>(s)];
    PresetValues v = PresetValuesFor(preset, s);
    shape.tavrelX = 0;
    shape.tavrelY = 0;
    shape.gettable = v.gettable;
    shape.sittable = v.sittable;
    shape.walkable = v.walkable;
  }
}

void PresetFloors(Document& doc) { ApplyPreset(doc, Preset::Floors); }
void PresetItem(Document& doc) { ApplyPreset(doc, Preset::Item); }
void PresetItem2(Document& doc) { ApplyPreset(doc, Preset::Item2); }

void SetDefaultQS2Numbering(Document& doc) {
  doc.state.qs2Flag = 1;
  for (size_t i = 0; i < doc.list.slots.size(); ++i) {
    doc.list.slots[i].replacement = static_cast<int32_t>(i);
  }
}

bool PresetCommand(Document& doc, platform::MessageBoxes& boxes, Preset preset,
                   const RefreshProperties& refresh) {
  if (!platform::AskYesNo(
          boxes, "This will reset the QBJ shape settings to default. Do you want to continue?")) {
    return false;
  }
  ApplyPreset(doc, preset);
  if (refresh) refresh();
  return true;
}

bool DefaultQS2NumberingCommand(Document& doc, platform::MessageBoxes& boxes,
                                const RefreshProperties& refresh) {
  if (!platform::AskYesNo(
          boxes, "This will reset the QS2 shape settings to default. Do you want to continue?")) {
    return false;
  }
  SetDefaultQS2Numbering(doc);
  if (refresh) refresh();
  return true;
}

}  // namespace qshe
