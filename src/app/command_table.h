// Every menu entry and keyboard shortcut of the main window, as data.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/menu.h"

namespace qshe {

// Menu command identifiers. Shortcuts carry identifiers of their own that
// MenuIdFor maps back to these.
enum CommandId : int {
  kCmdNew = 40032, kCmdOpen = 40033, kCmdSave = 40034, kCmdSaveAs = 40004,
  kCmdImportSingle = 40005, kCmdImportMultiple = 40041, kCmdImportCollage = 40006,
  kCmdExportBitmap = 40016, kCmdExit = 40001,

  kCmdUndo = 40039, kCmdRedo = 40118, kCmdCut = 40035, kCmdCopy = 40036, kCmdPaste = 40037,
  kCmdSelectAll = 40122, kCmdAddShapes = 40011, kCmdRemoveShape = 40012, kCmdSwapWith = 40078,
  kCmdFlipHorizontal = 40013, kCmdFlipVertical = 40014, kCmdForeToBack = 40085,
  kCmdRevertShape = 40087,

  kCmdShapeProperties = 40042, kCmdJumpWindow = 40113, kCmdShapePosition = 40043,
  kCmdTavrelPosition = 40044, kCmdPositionSettings = 40088, kCmdGridWhileZooming = 40091,
  kCmdWindowScale1 = 40201, kCmdWindowScale2 = 40202, kCmdWindowScale3 = 40203, kCmdWindowScale4 = 40204,
  kCmdAnimation = 40310, kCmdOnionSkin = 40312, kCmdOnionPrevious = 40314, kCmdOnionNext = 40315,
  kCmdOnionBoth = 40316,

  kCmdNextShape = 40052, kCmdPreviousShape = 40053, kCmdForward8 = 40054, kCmdBackward8 = 40055,
  kCmdFirstShape = 40210, kCmdLastShape = 40211,
  // File > Open Recent: "Clear List", and the files above it, newest first.
  kCmdClearRecent = 40212, kCmdRecentFile0 = 40220,  // .. 40229

  kCmdImportQbj = 40051, kCmdPresetFloors = 40048, kCmdPresetItem = 40046,
  kCmdPresetItem2 = 40047, kCmdPresetWall = 40049, kCmdDefaultQs2Numbering = 40050,

  kCmdPencil = 40066, kCmdEraser = 40067, kCmdHand = 40068, kCmdEyedropper = 40069,
  kCmdSelect = 40070, kCmdBucket = 40071, kCmdZoomIn = 40072, kCmdZoomOut = 40073,
  kCmdCenterView = 40074, kCmdSecondView = 40075, kCmdChangeBackground = 40076,
  kCmdChangePencilSize = 40077,
  kCmdLine = 40320, kCmdRectangle = 40321, kCmdEllipse = 40322, kCmdFilledRectangles = 40323,
  kCmdFilledEllipses = 40324,

  kCmdAllColors = 40092, kCmdQuorvaneColors = 40093, kCmdBadgeColor = 40094,
  kCmdBootColors = 40103, kCmdBracerColors = 40098, kCmdCapeColors = 40095,
  kCmdEyeColor = 40096, kCmdFurColors = 40101, kCmdHairColors = 40099,
  kCmdMarkingColors = 40100, kCmdTrouserColors = 40102, kCmdVestColors = 40097,

  kCmdHelp = 40115, kCmdAbout = 40089,

  // The Shapes window and the list operations it shares with the Edit menu.
  kCmdShapesWindow = 40300, kCmdDuplicateShape = 40301, kCmdExportSelected = 40302,

  // Shortcuts without a menu entry.
  kCmdPanLeft = 40058, kCmdPanRight = 40059, kCmdPanUp = 40057, kCmdPanDown = 40056,
  kCmdDelete = 40086, kCmdWindowLarger = 40205, kCmdWindowSmaller = 40206,
  kCmdCancelFigure = 40325,

  // File > Import > Single picture with settings: the import window every time.
  kCmdImportSingleWithSettings = 40330,
};

// The menu identifier a command arrives as: a shortcut's identifier maps to
// its menu entry's; the window system's flag in the upper 16 bits is dropped.
// Nothing for identifiers the table does not know.
std::optional<int> MenuIdFor(int identifier);

// The eight pull-downs, in order, with every entry's label and shortcut text.
const std::vector<platform::MenuItem>& MainMenu();
// Every keyboard shortcut with the identifier it sends.
const std::vector<platform::Accelerator>& MainAccelerators();
// Every command identifier that has a menu entry.
std::vector<int> MenuCommandIds();

}  // namespace qshe
