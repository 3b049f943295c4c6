#include "app/help_window.h"

#include "app/program_dir.h"
#include "document/file_io.h"
#include "platform/messages.h"

namespace qshe {
namespace {

// The help text is a few kilobytes; anything much larger is not it.
constexpr size_t kLargestHelpText = 1 << 20;

}  // namespace

const platform::DialogResource& HelpDialog() {
  using K = platform::ControlKind;
  // About 80 columns and 40 lines; the window is made smaller where the
  // screen has no room, and the user may resize it.
  static const platform::DialogResource resource{
      kHelpDialog, "QSH Editor Help", 340, 330, {{kHelpText, K::TextView, "", 0, 0, 340, 330, {}}}};
  return resource;
}

std::string HelpPath(const Editor& e) { return LocateProgramFile("help.txt", e.paths.programDir); }

void ShowHelp(Editor& e) {
  if (!e.desktop.control.OpenTextFile(HelpPath(e))) ShowHelpWindow(e);
}

void ShowHelpWindow(Editor& e) {
  const std::string path = HelpPath(e);
  ReadProblem problem;
  auto bytes = ReadWholeFile(path, kLargestHelpText, &problem);
  if (!bytes) {
    platform::ShowError(e.ui().boxes, "Could not open the help text \"" + path + "\": " + problem.text + ".");
    return;
  }
  std::string text(reinterpret_cast<const char*>(bytes->data.get()), bytes->size);
  // The file keeps the line ends other systems' viewers expect.
  std::erase(text, '\r');
  platform::DialogHost& host = e.desktop.dialogs;
  host.CreateDialog(HelpDialog());
  host.SetItemText(kHelpDialog, kHelpText, text);
  host.ShowDialog(kHelpDialog);
}

void OnTextViewerFailed(Editor& e, const std::string& path) {
  if (path == HelpPath(e)) ShowHelpWindow(e);
}

}  // namespace qshe
