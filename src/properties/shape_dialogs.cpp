#include "properties/shape_dialogs.h"

#include <string>

#include "properties/dialog_number.h"

namespace qshe {
namespace {

using K = platform::ControlKind;
using platform::kCancelButton;
using platform::kNoControl;

}  // namespace

const platform::DialogResource& InsertShapesDialog() {
  static const platform::DialogResource resource{
      kInsertDialog,
      "Insert Shapes",
      175,
      97,
      {
          {kNoControl, K::GroupBox, "Insert shapes", 7, 4, 161, 64, {}},
          {kNoControl, K::Label, "Add", 17, 22, 18, 8, {}},
          {kInsertCount, K::Edit, "5", 37, 20, 32, 12, {}, "2000"},
          {kNoControl, K::Label, "shapes", 74, 22, 40, 8, {}},
          {kInsertWhere,
           K::DropDownList,
           "",
           17,
           42,
           141,
           60,
           {"After current shape", "Before current shape", "To the beginning", "To the end"}},
          {kInsertAddButton, K::DefaultButton, "&Add", 64, 76, 50, 14, {}},
          {kCancelButton, K::Button, "&Cancel", 118, 76, 50, 14, {}},
      }};
  return resource;
}

const platform::DialogResource& SwapShapesDialog() {
  static const platform::DialogResource resource{
      kSwapDialog,
      "Swap Shapes",
      175,
      77,
      {
          {kNoControl, K::GroupBox, "Swap Shapes", 7, 4, 161, 46, {}},
          {kNoControl, K::Label, "Swap this shape with shape number", 17, 18, 96, 20, {}},
          {kSwapNumber, K::Edit, "0", 118, 20, 40, 12, {}, "4999"},
          {kSwapButton, K::DefaultButton, "&Swap", 64, 57, 50, 14, {}},
          {kCancelButton, K::Button, "&Cancel", 118, 57, 50, 14, {}},
      }};
  return resource;
}

const platform::DialogResource& JumpToDialog() {
  static const platform::DialogResource resource{
      kJumpDialog,
      "Jump To",
      121,
      47,
      {
          {kNoControl, K::GroupBox, "Jump to shape number", 7, 4, 107, 38, {}},
          {kJumpNumber, K::Edit, "", 17, 20, 40, 12, {}, "4999"},
          {kJumpButton, K::DefaultButton, "&Jump", 64, 19, 40, 14, {}},
      }};
  return resource;
}

std::optional<int32_t> InsertCount(platform::DialogHost& host) {
  int32_t k = ParseDialogNumber(host.ItemText(kInsertDialog, kInsertCount).substr(0, 254));
  if (k < 0 || k > kMaxInsertCount) return std::nullopt;
  return k;
}

int32_t InsertPlace(platform::DialogHost& host) {
  int place = host.ListSelection(kInsertDialog, kInsertWhere);
  return place >= kAddAfterCurrent && place <= kAddAtEnd ? place : kAddAfterCurrent;
}

std::optional<int32_t> TypedShapeNumber(platform::DialogHost& host, int dialog, int control,
                                        const ShapeList& list) {
  int32_t k = ParseDialogNumber(host.ItemText(dialog, control).substr(0, 254));
  if (k < 0 || k >= list.count) return std::nullopt;
  return k;
}

}  // namespace qshe
