// Everything the generator writes, built in memory so tests can call it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "palette.h"

namespace qshe::gen {

// File name -> bytes. The same bytes on every run: nothing depends on the
// clock, the machine or its fonts.
using FileSet = std::map<std::string, std::vector<uint8_t>>;

inline constexpr const char* kScreenImageName = "qshe.pcx";
inline constexpr const char* kHelperShapesName = "qshe.qsh";
inline constexpr const char* kHelpName = "help.txt";
inline constexpr const char* kIconName = "qshe-icon.png";
inline constexpr const char* kScreenshotName = "screenshot.png";

// The files that ship beside the editor.
FileSet GenerateSupportFiles();
// A picture of the composed main window, for looking at the result.
std::vector<uint8_t> GenerateScreenshot();
// An enlarged sheet of the 100 helper slots, for checking the pictures.
std::vector<uint8_t> GenerateHelperSheet();

struct CursorInfo {
  std::string fileName;
  int tool;        // 0 pencil .. 5 bucket
  int hotX, hotY;  // also stored in the PNG as the texts HotSpotX, HotSpotY
};
std::vector<CursorInfo> CursorList();
std::vector<uint8_t> EncodeCursor(const CursorInfo& info, const Palette& palette);
// The 32 x 32 icon, or the same enlarged `scale` times.
std::vector<uint8_t> EncodeIcon(const Palette& palette, int scale = 1);
// The enlarged icons for the desktop's icon theme: "qshe-icon-64.png" ...
inline constexpr int kIconScales[] = {2, 4, 8};
std::string IconName(int scale);

std::string HelpText();

}  // namespace qshe::gen
