// The "Import picture" window as the editor runs it: nothing changes before
// Import, the previews follow the choices, a click picks the transparent
// colour, the choices are remembered, and "Always use these settings" skips
// the window except for Ctrl+Shift+I.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/command_table.h"
#include "app/commands.h"
#include "app/history_commands.h"
#include "app/main_window.h"
#include "editor_fixture.h"
#include "interchange/import_dialogs.h"
#include "interchange/picture_import.h"
#include "platform/headless/headless_surface.h"

namespace qshe::testing {
namespace {

const std::filesystem::path kData = std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data";

struct PictureImportTest : EditorFixture {
  platform::HeadlessDialogs& dlg = hp.dialogs;
  void SetUp() override { ASSERT_TRUE(Start()); }

  void Ask(const std::string& name, int command = kCmdImportSingle) {
    hp.fileNames = {(kData / name).string()};
    OnCommand(e, command);
  }
  bool Open() { return dlg.DialogVisible(kImportPictureDialog); }
  // The small preview's pixel at (x, y) from its top left.
  platform::Rgb Preview(int x, int y) {
    auto* surface = static_cast<platform::HeadlessSurface*>(dlg.ItemSurface(kImportPictureDialog, kPictureSmall));
    return surface->Pixel(x, y);
  }
  // Canvas pixel at column x, row `top` from the picture's top.
  uint8_t Canvas(int x, int top) const { return e.canvas.At(x, kCanvasSize - 1 - top); }
};

TEST_F(PictureImportTest, CtrlIShowsTheWindowAndOnlyImportChangesTheCanvas) {
  e.canvas.At(5, 250) = 33;
  RecordCanvasStep(e, "Pencil");
  Ask("im_key.bmp");
  ASSERT_TRUE(Open());
  EXPECT_EQ(dlg.ListSelection(kImportPictureDialog, kPictureTransparency), 0);  // Automatic
  EXPECT_EQ(dlg.ListSelection(kImportPictureDialog, kPictureMethod), 0);        // Nearest colour
  EXPECT_FALSE(dlg.Item(kImportPictureDialog, kPictureColor).enabled);
  EXPECT_NE(dlg.Item(kImportPictureDialog, kPictureInfo).text.find("#ff00ff is transparent"), std::string::npos);
  EXPECT_EQ(e.canvas.At(5, 250), 33);
  // The preview shows the blue square in its game colour, and the magenta
  // key as the canvas view's background.
  const uint8_t blue = GameColors(e).Nearest(40, 120, 220);
  EXPECT_EQ(Preview(10, 10), PaletteColor(blue));
  EXPECT_NE(Preview(0, 0), (platform::Rgb{255, 0, 255}));

  dlg.Click(kImportPictureDialog, platform::kCancelButton);
  EXPECT_FALSE(Open());
  EXPECT_EQ(e.canvas.At(5, 250), 33);

  const uint8_t before = Canvas(10, 10);
  Ask("im_key.bmp");
  dlg.Click(kImportPictureDialog, kPictureImport);
  EXPECT_FALSE(Open());
  EXPECT_EQ(Canvas(10, 10), blue);
  EXPECT_EQ(Canvas(0, 0), 0);
  EXPECT_EQ(e.canvas.At(5, 250), GameColors(e).Nearest(0, 0, 0)) << "the black detail covers the stroke";
  // One step: Undo brings the stroke back.
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.canvas.At(5, 250), 33);
  EXPECT_EQ(Canvas(10, 10), before);
}

TEST_F(PictureImportTest, AChangedChoiceRedrawsThePreview) {
  Ask("im_entry0.bmp");
  ASSERT_TRUE(Open());
  const platform::Rgb background = Preview(0, 0);  // the red subject is entry 0: gone
  dlg.Choose(kImportPictureDialog, kPictureTransparency, 1);  // None
  const uint8_t red = GameColors(e).Nearest(200, 30, 30);
  EXPECT_EQ(Preview(0, 0), PaletteColor(red));
  dlg.Choose(kImportPictureDialog, kPictureTransparency, 0);
  EXPECT_EQ(Preview(0, 0), background);
  // The x2 preview shows each pixel as a 2 x 2 block.
  dlg.Choose(kImportPictureDialog, kPictureTransparency, 1);
  auto* large = static_cast<platform::HeadlessSurface*>(dlg.ItemSurface(kImportPictureDialog, kPictureLarge));
  EXPECT_EQ(large->Pixel(1, 1), PaletteColor(red));
  EXPECT_EQ(large->Pixel(23, 23), PaletteColor(red));
  EXPECT_NE(large->Pixel(25, 25), PaletteColor(red));
}

TEST_F(PictureImportTest, AClickOnThePreviewPicksTheTransparentColour) {
  Ask("im_key.bmp");
  ASSERT_TRUE(Open());
  dlg.Press(kImportPictureDialog, kPictureLarge, 12, 12);  // the black detail at x2
  EXPECT_EQ(dlg.ListSelection(kImportPictureDialog, kPictureTransparency), 2);
  EXPECT_EQ(dlg.Item(kImportPictureDialog, kPictureColor).text, "#000000");
  EXPECT_TRUE(dlg.Item(kImportPictureDialog, kPictureColor).enabled);
  dlg.Click(kImportPictureDialog, kPictureImport);
  EXPECT_EQ(Canvas(6, 6), 0);
  EXPECT_NE(Canvas(0, 0), 0) << "magenta is a colour now";
}

TEST_F(PictureImportTest, ATypedColourThatIsNoColourKeepsTheWindowOpen) {
  Ask("im_key.bmp");
  dlg.Choose(kImportPictureDialog, kPictureTransparency, 2);
  dlg.Type(kImportPictureDialog, kPictureColor, "#12345");
  EXPECT_FALSE(dlg.Item(kImportPictureDialog, kPictureColor).warning.empty());
  dlg.Click(kImportPictureDialog, kPictureImport);
  EXPECT_TRUE(Open());
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_NE(hp.messages[0].text.find("#rrggbb"), std::string::npos);
  EXPECT_EQ(Canvas(10, 10), 0);
  dlg.Type(kImportPictureDialog, kPictureColor, "#FF00FF");
  EXPECT_TRUE(dlg.Item(kImportPictureDialog, kPictureColor).warning.empty());
  dlg.Click(kImportPictureDialog, kPictureImport);
  EXPECT_FALSE(Open());
  EXPECT_EQ(Canvas(0, 0), 0);
}

TEST_F(PictureImportTest, TheChoicesAreRememberedAndAlwaysUseSkipsTheWindowButNotCtrlShiftI) {
  Ask("im_key.bmp");
  dlg.Choose(kImportPictureDialog, kPictureTransparency, 1);  // None
  dlg.Choose(kImportPictureDialog, kPictureMethod, 2);        // Error diffusion
  dlg.Click(kImportPictureDialog, kPictureAlways);
  dlg.Click(kImportPictureDialog, kPictureImport);
  // In the settings store, for the next start.
  ImportSettings stored;
  ReadImportSettings(hp, stored);
  EXPECT_EQ(stored.picture.transparency, Transparency::None);
  EXPECT_EQ(stored.picture.method, ColorMethod::ErrorDiffusion);
  EXPECT_TRUE(stored.alwaysUse);

  e.canvas.pixels.fill(0);
  const int shown = dlg.Find(kImportPictureDialog)->timesShown;
  Ask("im_alpha.png");
  EXPECT_FALSE(Open());
  EXPECT_EQ(dlg.Find(kImportPictureDialog)->timesShown, shown);
  EXPECT_NE(Canvas(0, 0), 0) << "None: the transparent corner is a colour";

  Ask("im_alpha.png", kCmdImportSingleWithSettings);
  ASSERT_TRUE(Open());
  EXPECT_EQ(dlg.ListSelection(kImportPictureDialog, kPictureTransparency), 1);
  EXPECT_EQ(dlg.ListSelection(kImportPictureDialog, kPictureMethod), 2);
  EXPECT_TRUE(dlg.Item(kImportPictureDialog, kPictureAlways).checked);
}

TEST_F(PictureImportTest, ADroppedPictureGoesThroughTheWindow) {
  OnFileDropped(e, (kData / "im_alpha.png").string());
  EXPECT_TRUE(Open());
  EXPECT_EQ(Canvas(12, 10), 0);
  dlg.Click(kImportPictureDialog, kPictureImport);
  EXPECT_NE(Canvas(12, 10), 0);
}

TEST_F(PictureImportTest, MultiplePicturesTakeTheirOwnChoicesAsOneStep) {
  const int count = e.doc.list.count;
  OnCommand(e, kCmdImportMultiple);
  ASSERT_TRUE(dlg.DialogVisible(kImportFilesDialog));
  dlg.Choose(kImportFilesDialog, kFilesTransparency, 2);
  EXPECT_TRUE(dlg.Item(kImportFilesDialog, kFilesColor).enabled);
  dlg.Type(kImportFilesDialog, kFilesColor, "#000000");
  dlg.Choose(kImportFilesDialog, kFilesMethod, 1);
  dlg.Choose(kImportFilesDialog, kFilesPlacement, 4);  // to the end
  dlg.Type(kImportFilesDialog, kFilesPattern, (kData / "im_key.bmp").string());
  dlg.Click(kImportFilesDialog, kFilesImport);
  ASSERT_EQ(e.doc.list.count, count + 1);
  const Shape& s = e.doc.list.slots[static_cast<size_t>(count)];
  ASSERT_EQ(std::make_pair(s.width, s.height), std::make_pair(24, 20));
  EXPECT_EQ(s.pixels[static_cast<size_t>(19 - 6) * 24 + 6], 0) << "black went";
  EXPECT_NE(s.pixels[0], 0) << "magenta stays";
  ImportSettings stored;
  ReadImportSettings(hp, stored);
  EXPECT_EQ(stored.files.transparency, Transparency::ThisColor);
  EXPECT_EQ(HexColor(stored.files.color), "#000000");
  EXPECT_EQ(stored.files.method, ColorMethod::OrderedDither);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.count, count);
}

TEST_F(PictureImportTest, TheCollageMatchesASheetWhenAskedAndRemembersIt) {
  const int count = e.doc.list.count;
  OnCommand(e, kCmdImportCollage);
  ASSERT_TRUE(dlg.DialogVisible(kImportCollageDialog));
  EXPECT_EQ(dlg.ListSelection(kImportCollageDialog, kCollageSheetColors), 0);
  dlg.Choose(kImportCollageDialog, kCollageSheetColors, 1);
  dlg.Choose(kImportCollageDialog, kCollagePlacement, 4);
  dlg.Type(kImportCollageDialog, kCollageFile, (kData / "im_sheet_any.bmp").string());
  dlg.Click(kImportCollageDialog, kCollageImport);
  EXPECT_TRUE(hp.messages.empty());
  ASSERT_EQ(e.doc.list.count, count + 2);
  EXPECT_EQ(e.doc.list.slots[static_cast<size_t>(count)].pixels[0], GameColors(e).Nearest(20, 20, 200));
  ImportSettings stored;
  ReadImportSettings(hp, stored);
  EXPECT_TRUE(stored.matchSheet);
  OnCommand(e, kCmdUndo);
  EXPECT_EQ(e.doc.list.count, count);
}

}  // namespace
}  // namespace qshe::testing
