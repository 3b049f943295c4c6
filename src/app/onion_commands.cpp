#include "app/onion_commands.h"

#include "app/canvas_routing.h"
#include "app/command_table.h"
#include "properties/positioning.h"

namespace qshe {
namespace {

// Where the shape's top-left pixel lands in a positioning preview.
PreviewPoint TopLeft(const Shape& s) {
  PreviewPoint p = PlaceInPreview(s, s.offsetX, s.offsetY);
  p.y -= s.height - 1;
  return p;
}

}  // namespace

OnionSource OnionNeighbour(const Shape& current, const Shape& neighbour) {
  const PreviewPoint c = TopLeft(current), n = TopLeft(neighbour);
  return {&neighbour, n.x - c.x, n.y - c.y};
}

const OnionSkin* PrepareOnionSkin(Editor& e) {
  OnionSkin& onion = e.onion;
  if (onion.enabled != 1) return nullptr;
  if (!onion.tinted) SetOnionTints(onion, e.window.gamePalette);
  ShapeList& list = e.doc.list;
  const int32_t i = list.current;
  const Shape& current = list.Current();
  OnionSource previous, next;
  if ((onion.sides & kOnionPrevious) && i > 0 && i - 1 < list.count) {
    previous = OnionNeighbour(current, list.slots[static_cast<size_t>(i - 1)]);
  }
  if ((onion.sides & kOnionNext) && i + 1 < list.count) {
    next = OnionNeighbour(current, list.slots[static_cast<size_t>(i + 1)]);
  }
  UpdateOnionSkin(onion, previous, next);
  return &onion;
}

void ShowOnionChecks(Editor& e) {
  platform::MenuBar& menus = e.desktop.menus;
  menus.SetMenuChecked(kCmdOnionSkin, e.onion.enabled == 1);
  menus.SetMenuChecked(kCmdOnionPrevious, e.onion.sides == kOnionPrevious);
  menus.SetMenuChecked(kCmdOnionNext, e.onion.sides == kOnionNext);
  menus.SetMenuChecked(kCmdOnionBoth, e.onion.sides == kOnionBoth);
}

void ToggleOnionSkin(Editor& e) {
  e.onion.enabled = 1 - e.onion.enabled;
  ShowOnionChecks(e);
  ShowCanvas(e);
}

void ChooseOnionSides(Editor& e, int32_t sides) {
  if (sides != kOnionPrevious && sides != kOnionNext && sides != kOnionBoth) return;
  e.onion.sides = sides;
  // Choosing what to see means wanting to see it.
  e.onion.enabled = 1;
  ShowOnionChecks(e);
  ShowCanvas(e);
}

void RefreshOnionSkin(Editor& e) {
  if (e.onion.enabled == 1) ShowCanvas(e);
}

}  // namespace qshe
