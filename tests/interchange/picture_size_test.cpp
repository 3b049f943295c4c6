// Picture files larger than any picture the imports take are refused from
// their size, with the usual message, before a byte of them is read.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "../document/test_files.h"
#include "interchange/bitmap_import.h"
#include "interchange/picture_imports.h"
#include "platform/headless/headless.h"

using namespace qshe;
using namespace qshe::testing;
namespace fs = std::filesystem;

TEST(PictureSize, HugeFilesAreRefusedFromTheirSizeWithAMessage) {
  TempDir dir;
  // Junk of 3 GB (sparse) that a pattern of the multiple-picture import
  // matches, beside a small picture that does not fit either.
  const std::string junk = dir.File("junk.bmp");
  WriteBytes(junk, {'B', 'M'});
  fs::resize_file(junk, uint64_t{3} << 30);
  PictureFile file = ReadPictureFile(junk);
  EXPECT_TRUE(file.opened);
  EXPECT_EQ(file.result.error, PictureError::TooBig);

  platform::HeadlessPlatform hp;
  auto doc = std::make_unique<Document>();
  auto canvas = std::make_unique<Canvas>();
  canvas->At(5, 250) = 9;
  GamePalette palette{};
  ColorMatcher colors{palette};
  doc->list.count = 1;
  ImportChoice choice;
  choice.mode = ImportMode::AddNew;
  choice.placement = PlacementMode::ToEnd;
  History history;
  ImportPictureFiles(history, *doc, hp, colors, dir.File("*.bmp"), choice, false);
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].text,
            "1 file could not be imported. No picture was imported.\n\n" + junk +
                ": This bitmap is too big. The maximum size of a bitmap is 255 x 255 pixels.");
  EXPECT_FALSE(doc->list.slots[1].HasPixels());
  EXPECT_FALSE(LoadBitmapFile(*doc, *canvas, hp, colors, junk, true, -1));
  EXPECT_EQ(canvas->At(5, 250), 9);

  // A contact sheet far larger than any PCX sheet the collage cuts.
  const std::string sheet = dir.File("sheet.pcx");
  WriteBytes(sheet, {10, 5, 1, 8});
  fs::resize_file(sheet, kMaxSheetFileBytes + 1);
  auto display = std::make_unique<DisplayState>();
  InitDisplay(*display);
  const int slot = AllocBuffer(*display, kSheetWidth, kSheetHeight);
  EXPECT_FALSE(LoadSheet(*display, slot, hp, sheet));
  EXPECT_EQ(hp.messages.back().text,
            "Can not load PCX file " + sheet + " - Only 8-bit / 640 x 480 pixels PCX files supported.");
}
