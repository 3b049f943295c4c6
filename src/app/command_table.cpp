#include "app/command_table.h"

#include <map>

namespace qshe {
namespace {

using platform::Accelerator;
using platform::MenuItem;

MenuItem Cmd(int id, const char* label, const char* keys = "") {
  return {MenuItem::Kind::Command, label, id, keys, {}};
}
MenuItem Sep() { return {MenuItem::Kind::Separator, "", 0, "", {}}; }
MenuItem Sub(const char* label, std::vector<MenuItem> children) {
  return {MenuItem::Kind::SubMenu, label, 0, "", std::move(children)};
}

// Shortcut identifier, key, and the menu identifier it stands for.
struct Shortcut {
  int id;
  const char* key;
  int menuId;
};

const Shortcut kShortcuts[] = {
    {40017, "Ctrl+N", kCmdNew},          {40018, "Ctrl+O", kCmdOpen},
    {40019, "Ctrl+S", kCmdSave},         {40020, "Ctrl+I", kCmdImportSingle},
    {40021, "Ctrl+U", kCmdImportCollage}, {40120, "Ctrl+E", kCmdExportBitmap},
    {40022, "Ctrl+Q", kCmdExit},         {40331, "Ctrl+Shift+I", kCmdImportSingleWithSettings},

    {40040, "Ctrl+Z", kCmdUndo},         {40116, "U", kCmdUndo},
    {40119, "Ctrl+Y", kCmdRedo},         {40208, "Ctrl+Shift+Z", kCmdRedo},
    {40023, "Ctrl+X", kCmdCut},
    {40024, "Ctrl+C", kCmdCopy},         {40025, "Ctrl+V", kCmdPaste},
    {40121, "Ctrl+A", kCmdSelectAll},

    {40026, "+", kCmdNextShape},         {40090, "=", kCmdNextShape},
    {40027, "-", kCmdPreviousShape},     {40028, ".", kCmdForward8},
    {40029, ",", kCmdBackward8},
    {40213, "Home", kCmdFirstShape},     {40214, "End", kCmdLastShape},
    {40215, "PgDown", kCmdForward8},     {40216, "PgUp", kCmdBackward8},

    {40060, "H", kCmdPencil},            {40061, "J", kCmdEraser},
    {40062, "K", kCmdHand},              {40063, "B", kCmdEyedropper},
    {40064, "N", kCmdSelect},            {40065, "M", kCmdBucket},
    {40326, "L", kCmdLine},              {40327, "T", kCmdRectangle},
    {40328, "O", kCmdEllipse},           {kCmdCancelFigure, "Escape", kCmdCancelFigure},
    {40079, "R", kCmdZoomIn},            {40080, "F", kCmdZoomOut},
    {40081, "E", kCmdCenterView},        {40082, "D", kCmdSecondView},
    {40083, "W", kCmdChangeBackground},  {40084, "S", kCmdChangePencilSize},

    {40104, "Ctrl+1", kCmdQuorvaneColors}, {40105, "Ctrl+2", kCmdBootColors},
    {40106, "Ctrl+3", kCmdBracerColors},   {40107, "Ctrl+4", kCmdCapeColors},
    {40108, "Ctrl+5", kCmdFurColors},      {40109, "Ctrl+6", kCmdHairColors},
    {40110, "Ctrl+7", kCmdMarkingColors},  {40111, "Ctrl+8", kCmdTrouserColors},
    {40112, "Ctrl+9", kCmdVestColors},

    {kCmdPanLeft, "Left", kCmdPanLeft},   {kCmdPanRight, "Right", kCmdPanRight},
    {kCmdPanUp, "Up", kCmdPanUp},         {kCmdPanDown, "Down", kCmdPanDown},
    {kCmdDelete, "Delete", kCmdDelete},

    {kCmdWindowLarger, "Ctrl++", kCmdWindowLarger}, {40207, "Ctrl+=", kCmdWindowLarger},
    {kCmdWindowSmaller, "Ctrl+-", kCmdWindowSmaller},

    {40311, "P", kCmdAnimation},          {40313, "G", kCmdOnionSkin},
    {40303, "V", kCmdShapesWindow},      {40304, "Ctrl+D", kCmdDuplicateShape},
};

std::vector<MenuItem> BuildMenu() {
  return {
      Sub("&File", {Cmd(kCmdNew, "&New", "Ctrl+N"), Cmd(kCmdOpen, "&Open...", "Ctrl+O"),
                    Sub("Open &Recent", {Cmd(kCmdClearRecent, "Clear List")}),
                    Cmd(kCmdSave, "&Save", "Ctrl+S"), Cmd(kCmdSaveAs, "Save &As..."), Sep(),
                    Sub("&Import", {Cmd(kCmdImportSingle, "&Single picture...", "Ctrl+I"),
                                    Cmd(kCmdImportSingleWithSettings, "Single picture with se&ttings...",
                                        "Ctrl+Shift+I"),
                                    Cmd(kCmdImportMultiple, "&Multiple pictures..."),
                                    Cmd(kCmdImportCollage, "&Picture collage...", "Ctrl+U")}),
                    Sub("Ex&port", {Cmd(kCmdExportBitmap, "Shape As Bitmap...", "Ctrl+E")}), Sep(),
                    Cmd(kCmdExit, "E&xit", "Ctrl+Q")}),
      Sub("&Edit", {Cmd(kCmdUndo, "&Undo", "Ctrl+Z"), Cmd(kCmdRedo, "&Redo", "Ctrl+Y"), Sep(),
                    Cmd(kCmdCut, "C&ut", "Ctrl+X"), Cmd(kCmdCopy, "&Copy", "Ctrl+C"),
                    Cmd(kCmdPaste, "&Paste", "Ctrl+V"), Cmd(kCmdSelectAll, "Select A&ll", "Ctrl+A"),
                    Sep(), Cmd(kCmdAddShapes, "&Add Shapes..."), Cmd(kCmdRemoveShape, "&Remove Shape"),
                    Cmd(kCmdSwapWith, "&Swap With..."),
                    Cmd(kCmdDuplicateShape, "&Duplicate Shape", "Ctrl+D"),
                    Cmd(kCmdExportSelected, "E&xport Selected..."), Sep(),
                    Cmd(kCmdFlipHorizontal, "Flip &Horizontal"),
                    Cmd(kCmdFlipVertical, "Flip &Vertical"),
                    Cmd(kCmdForeToBack, "&Forecolor To Backcolor"), Sep(),
                    Cmd(kCmdRevertShape, "R&evert Shape From Last Saved Position")}),
      Sub("&View", {Cmd(kCmdShapeProperties, "&Shape Properties"),
                    Cmd(kCmdJumpWindow, "&Jump Window"), Cmd(kCmdShapePosition, "Shape &Position"),
                    Cmd(kCmdTavrelPosition, "&Tavrel Position (QBJ)"),
                    Cmd(kCmdPositionSettings, "P&osition Settings..."),
                    Cmd(kCmdShapesWindow, "S&hapes", "V"), Cmd(kCmdAnimation, "&Animation", "P"), Sep(),
                    Cmd(kCmdGridWhileZooming, "Show Grid While &Zooming"),
                    Cmd(kCmdOnionSkin, "O&nion Skin", "G"),
                    Sub("Onion Skin Sho&ws", {Cmd(kCmdOnionPrevious, "&Previous Shape"),
                                             Cmd(kCmdOnionNext, "&Next Shape"), Cmd(kCmdOnionBoth, "&Both")}),
                    Sep(),
                    Sub("Window Scale", {Cmd(kCmdWindowScale1, "×&1"), Cmd(kCmdWindowScale2, "×&2"),
                                         Cmd(kCmdWindowScale3, "×&3"), Cmd(kCmdWindowScale4, "×&4")})}),
      Sub("&Move", {Cmd(kCmdNextShape, "&Next Shape", "+"),
                    Cmd(kCmdPreviousShape, "&Previous Shape", "-"),
                    Cmd(kCmdForward8, "&Forward 8 Shapes", ". or PgDown"),
                    Cmd(kCmdBackward8, "&Backward 8 Shapes", ", or PgUp"),
                    Cmd(kCmdFirstShape, "F&irst Shape", "Home"),
                    Cmd(kCmdLastShape, "&Last Shape", "End")}),
      Sub("&Preset",
          {Sub("&QBJ", {Cmd(kCmdImportQbj, "&1 Import From .QBJ File..."),
                        Cmd(kCmdPresetFloors, "&2 Set To Default FLOORS.QSH Properties"),
                        Cmd(kCmdPresetItem, "&3 Set To Default ITEM.QSH Properties"),
                        Cmd(kCmdPresetItem2, "&4 Set To Default ITEM2.QSH Properties"),
                        Cmd(kCmdPresetWall, "&5 Set To Default WALL.QSH Properties")}),
           Cmd(kCmdDefaultQs2Numbering, "&Set Default QS2 Numbering")}),
      Sub("&Tools", {Cmd(kCmdPencil, "&Pencil", "H"), Cmd(kCmdEraser, "&Eraser", "J"),
                     Cmd(kCmdHand, "&Hand", "K"), Cmd(kCmdEyedropper, "E&yedropper", "B"),
                     Cmd(kCmdSelect, "&Select", "N"), Cmd(kCmdBucket, "Paint &Bucket", "M"),
                     Cmd(kCmdLine, "Li&ne", "L"), Cmd(kCmdRectangle, "&Rectangle", "T"),
                     Cmd(kCmdEllipse, "E&llipse", "O"), Sep(),
                     Cmd(kCmdFilledRectangles, "&Filled Rectangles"),
                     Cmd(kCmdFilledEllipses, "Fille&d Ellipses"), Sep(),
                     Cmd(kCmdZoomIn, "Zoom &In", "R"), Cmd(kCmdZoomOut, "Zoom &Out", "F"),
                     Cmd(kCmdCenterView, "&Center View", "E"),
                     Cmd(kCmdSecondView, "Second &View", "D"), Sep(),
                     Cmd(kCmdChangeBackground, "Chan&ge Background", "W"),
                     Cmd(kCmdChangePencilSize, "Change Pencil Si&ze", "S")}),
      Sub("&Colors", {Cmd(kCmdAllColors, "&All Colors (256)"),
                      Cmd(kCmdQuorvaneColors, "&Quorvane Colors (236)", "Ctrl+1"), Sep(),
                      Cmd(kCmdBadgeColor, "&Badge Color"),
                      Cmd(kCmdBootColors, "B&oot Colors", "Ctrl+2"),
                      Cmd(kCmdBracerColors, "B&racer Colors", "Ctrl+3"),
                      Cmd(kCmdCapeColors, "&Cape Colors", "Ctrl+4"),
                      Cmd(kCmdEyeColor, "&Eye Color"), Cmd(kCmdFurColors, "F&ur Colors", "Ctrl+5"),
                      Cmd(kCmdHairColors, "&Hair Colors", "Ctrl+6"),
                      Cmd(kCmdMarkingColors, "&Marking Colors", "Ctrl+7"),
                      Cmd(kCmdTrouserColors, "&Trouser Colors", "Ctrl+8"),
                      Cmd(kCmdVestColors, "&Vest Colors", "Ctrl+9")}),
      Sub("&Help", {Cmd(kCmdHelp, "&Help..."), Cmd(kCmdAbout, "&About")}),
  };
}

void CollectIds(const std::vector<MenuItem>& items, std::vector<int>& ids) {
  for (const auto& item : items) {
    if (item.kind == MenuItem::Kind::Command) ids.push_back(item.id);
    CollectIds(item.children, ids);
  }
}

}  // namespace

const std::vector<MenuItem>& MainMenu() {
  static const std::vector<MenuItem> menu = BuildMenu();
  return menu;
}

const std::vector<Accelerator>& MainAccelerators() {
  static const std::vector<Accelerator> keys = [] {
    std::vector<Accelerator> list;
    for (const auto& s : kShortcuts) list.push_back({s.key, s.id});
    return list;
  }();
  return keys;
}

std::vector<int> MenuCommandIds() {
  std::vector<int> ids;
  CollectIds(MainMenu(), ids);
  return ids;
}

std::optional<int> MenuIdFor(int identifier) {
  static const std::map<int, int> lookup = [] {
    std::map<int, int> m;
    for (int id : MenuCommandIds()) m[id] = id;
    for (const auto& s : kShortcuts) m[s.id] = s.menuId;
    return m;
  }();
  auto it = lookup.find(identifier & 0xFFFF);
  if (it == lookup.end()) return std::nullopt;
  return it->second;
}

}  // namespace qshe
