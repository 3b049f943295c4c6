#include "app/program_dir.h"
#include "picture_commands.h"
#include "platform/headless/headless.h"

namespace qshe::tool {

bool LoadToolPalette(const std::string& pcxPath, GamePalette& palette, std::ostream& err) {
  std::string path = pcxPath;
  if (path.empty()) {
    // The tool has no settings of its own: the patch directory is not known,
    // so the file below or beside the program is the one.
    platform::HeadlessPlatform settings;
    path = LocateSupportFile("qshe.pcx", ProgramDir(), settings);
  }
  auto loaded = GamePaletteFromPcx(path);
  if (!loaded) {
    err << "qshe-tool: no palette: " << path << " is not a readable PCX picture with a palette\n";
    return false;
  }
  palette = *loaded;
  return true;
}

}  // namespace qshe::tool
