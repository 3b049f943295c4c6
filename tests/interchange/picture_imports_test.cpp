// Bitmaps are described with designated initializers that leave most fields at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "interchange/picture_imports.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../display/pcx_builder.h"
#include "../document/test_files.h"
#include "bmp_builder.h"
#include "document/shape_file.h"
#include "platform/headless/headless.h"

namespace qshe::testing {
namespace {

const std::filesystem::path kData = std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data";

// An 8-bit grey picture of one colour.
std::vector<uint8_t> PlainBmp(int w, int h) {
  const int stride = (w + 3) / 4 * 4;
  return MakeBmp({.width = w, .height = h, .table = GreyTable(256),
                  .pixels = std::vector<uint8_t>(static_cast<size_t>(stride * h), 100)});
}

class ImportTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  std::unique_ptr<Canvas> canvas = std::make_unique<Canvas>();
  platform::HeadlessPlatform hp;
  GamePalette palette{};
  ColorMatcher colors{palette};
  TempDir dir;
  History history;  // no step is open: the imports only change the list

  // `n` shapes, each marked by its offsetX = 100 + its index.
  void MakeList(int n, int current) {
    doc->list.count = n;
    doc->list.current = current;
    for (int i = 0; i < n; ++i) doc->list.slots[static_cast<size_t>(i)].offsetX = 100 + i;
  }
  Shape& At(int i) { return doc->list.slots[static_cast<size_t>(i)]; }
  ImportCount Files(const std::string& pattern, ImportChoice choice, bool transparent = false) {
    return ImportPictureFiles(history, *doc, hp, colors, pattern, choice, transparent);
  }
};

TEST_F(ImportTest, PlacementsInsertOrOverwriteFromTheirSlot) {
  for (const char* name : {"p1.bmp", "p2.bmp", "p3.bmp"}) WriteBytes(dir.File(name), PlainBmp(name[1] - '0', 1));
  struct Case {
    ImportMode mode;
    PlacementMode placement;
    int count, current;
    int firstSlot, newCount;
    std::vector<int> moved;  // slot -> old index it now holds, past the pictures
  };
  const Case cases[] = {
      {ImportMode::AddNew, PlacementMode::AfterCurrent, 10, 4, 5, 13, {5, 6, 7, 8, 9}},
      {ImportMode::AddNew, PlacementMode::BeforeCurrent, 10, 4, 4, 13, {4, 5, 6, 7, 8, 9}},
      {ImportMode::AddNew, PlacementMode::ToBeginning, 10, 4, 0, 13, {0, 1, 2}},
      {ImportMode::ReplaceOld, PlacementMode::ToEnd, 10, 4, 10, 13, {}},
      {ImportMode::ReplaceOld, PlacementMode::StartingFromCurrent, 10, 2, 2, 10, {5, 6}},
  };
  for (const Case& c : cases) {
    doc = std::make_unique<Document>();
    MakeList(c.count, c.current);
    ImportCount n = Files(dir.File("p?.bmp"), {c.mode, c.placement, false});
    EXPECT_EQ(n.imported, 3);
    EXPECT_EQ(doc->list.count, c.newCount);
    EXPECT_EQ(doc->list.current, c.current) << "the import itself never moves the current shape";
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(At(c.firstSlot + k).width, k + 1) << "slot " << c.firstSlot + k;
      EXPECT_EQ(At(c.firstSlot + k).offsetX, 0);
    }
    for (size_t k = 0; k < c.moved.size(); ++k)
      EXPECT_EQ(At(c.firstSlot + 3 + static_cast<int>(k)).offsetX, 100 + c.moved[k]);
    EXPECT_EQ(doc->state.modified, kModified);
  }
}

TEST_F(ImportTest, ReplacingFromTheLastShapeExtendsTheList) {
  for (const char* name : {"a.bmp", "b.bmp"}) WriteBytes(dir.File(name), PlainBmp(4, 2));
  MakeList(5, 4);
  Files(dir.File("*.bmp"), {ImportMode::ReplaceOld, PlacementMode::StartingFromCurrent, false});
  EXPECT_EQ(doc->list.count, 6);
  EXPECT_EQ(At(4).width, 4);
  EXPECT_EQ(At(5).width, 4);
  EXPECT_EQ(At(3).offsetX, 103);
}

TEST_F(ImportTest, ShortPatternsAndNoMatchesSayNoFilesAndChangeNothing) {
  MakeList(3, 0);
  for (const std::string& pattern : {std::string("a*"), dir.File("none*.bmp"), std::string("/no/such/dir/*")}) {
    hp.messages.clear();
    EXPECT_EQ(Files(pattern, {}).imported, 0);
    ASSERT_EQ(hp.messageTexts(), std::vector<std::string>{"No files were found for importing."}) << pattern;
    EXPECT_EQ(doc->list.count, 3);
    EXPECT_EQ(doc->state.modified, kUnmodified);
  }
}

TEST_F(ImportTest, NamesMatchInNameOrderWithOrWithoutADirectory) {
  for (const char* name : {"pic_b.bmp", "pic_a.bmp", "pic_c.png", "other.bmp", "pic[1].bmp"})
    WriteBytes(dir.File(name), PlainBmp(1, 1));
  EXPECT_EQ(MatchingFiles(dir.File("pic*.bmp")),
            (std::vector<std::string>{dir.File("pic[1].bmp"), dir.File("pic_a.bmp"), dir.File("pic_b.bmp")}));
  // The example form with backslashes, and brackets as plain characters.
  EXPECT_EQ(MatchingFiles(dir.path().string() + "\\pic_?.bmp"),
            (std::vector<std::string>{dir.File("pic_a.bmp"), dir.File("pic_b.bmp")}));
  EXPECT_EQ(MatchingFiles(dir.File("pic[1].bmp")), std::vector<std::string>{dir.File("pic[1].bmp")});

  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  std::vector<std::string> here = MatchingFiles("pic_*.bmp");
  std::filesystem::current_path(old);
  EXPECT_EQ(here, (std::vector<std::string>{"pic_a.bmp", "pic_b.bmp"}));
}

TEST_F(ImportTest, CentringSetsEveryPicturesOffsets) {
  WriteBytes(dir.File("c1.bmp"), PlainBmp(20, 30));
  WriteBytes(dir.File("c2.bmp"), PlainBmp(10, 200));
  WriteBytes(dir.File("c3.bmp"), PlainBmp(255, 1));
  MakeList(1, 0);
  Files(dir.File("c?.bmp"), {ImportMode::AddNew, PlacementMode::ToEnd, true});
  EXPECT_EQ(std::make_pair(At(1).offsetX, At(1).offsetY), std::make_pair(22, 80));
  EXPECT_EQ(std::make_pair(At(2).offsetX, At(2).offsetY), std::make_pair(27, 127));
  EXPECT_EQ(At(3).offsetX, -95);
}

TEST_F(ImportTest, PicturesOver255EitherWayAreRefusedByNameAndEverythingElseIsSavable) {
  WriteBytes(dir.File("s1.bmp"), PlainBmp(255, 255));
  WriteBytes(dir.File("s2.bmp"), PlainBmp(256, 1));
  WriteBytes(dir.File("s3.bmp"), PlainBmp(1, 256));
  MakeList(1, 0);
  ImportCount n = Files(dir.File("s?.bmp"), {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(n.imported, 1);
  EXPECT_EQ(n.failed, 2);
  EXPECT_EQ(At(1).width, 255);
  EXPECT_FALSE(At(2).HasPixels());
  EXPECT_FALSE(At(3).HasPixels());
  ASSERT_EQ(hp.messages.size(), 1u);
  const std::string tooBig = "This bitmap is too big. The maximum size of a bitmap is 255 x 255 pixels.";
  EXPECT_NE(hp.messages[0].text.find(dir.File("s2.bmp") + ": " + tooBig), std::string::npos) << hp.messages[0].text;
  EXPECT_NE(hp.messages[0].text.find(dir.File("s3.bmp") + ": " + tooBig), std::string::npos);
  // What was imported can be written to a shape file.
  EXPECT_FALSE(FindOversizedShape(std::span<const Shape>(doc->list.slots.data(), 4)));
}

// x10.txt, x11.txt, ...
std::string Numbered(int k) {
  std::string name = "x";
  name += std::to_string(10 + k);
  name += ".txt";
  return name;
}

TEST_F(ImportTest, ManyUnusableFilesGiveOneMessageWithTheFirstTenAndTheCounts) {
  for (int k = 0; k < 14; ++k) WriteBytes(dir.File(Numbered(k)), {'n', 'o'});
  WriteBytes(dir.File("x30.txt"), PlainBmp(3, 3));
  WriteBytes(dir.File("x31.txt"), PlainBmp(4, 4));
  MakeList(2, 0);
  ImportCount n = Files(dir.File("x*.txt"), {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(n.imported, 2);
  EXPECT_EQ(n.failed, 14);
  ASSERT_EQ(hp.messages.size(), 1u);
  const std::string& text = hp.messages[0].text;
  EXPECT_EQ(text.rfind("14 files could not be imported. 2 pictures were imported.\n", 0), 0u) << text;
  for (int k = 0; k < 14; ++k) {
    std::string line = dir.File(Numbered(k));
    line += ": This file is not a windows bitmap.";
    EXPECT_EQ(text.find(line) != std::string::npos, k < 10) << k;
  }
  EXPECT_NE(text.find("\n... and 4 more."), std::string::npos);
  // The failures keep their places before the pictures.
  EXPECT_EQ(doc->list.count, 18);
  EXPECT_EQ(At(16).width, 3);
  EXPECT_EQ(At(17).width, 4);
}

TEST_F(ImportTest, ARunThatImportsNothingChangesNothing) {
  for (const char* name : {"n1.bmp", "n2.bmp", "n3.bmp"}) WriteBytes(dir.File(name), {'B', 'M', 1});
  for (ImportMode mode : {ImportMode::AddNew, ImportMode::ReplaceOld}) {
    doc = std::make_unique<Document>();
    MakeList(3, 2);
    hp.messages.clear();
    ImportCount n = Files(dir.File("n*.bmp"), {mode, PlacementMode::StartingFromCurrent, true});
    EXPECT_EQ(n.imported, 0);
    EXPECT_EQ(n.failed, 3);
    EXPECT_EQ(doc->list.count, 3);
    EXPECT_EQ(At(2).offsetX, 102) << "not even centred";
    EXPECT_EQ(doc->state.modified, kUnmodified);
    ASSERT_EQ(hp.messages.size(), 1u);
    EXPECT_EQ(hp.messages[0].text.rfind("3 files could not be imported. No picture was imported.", 0), 0u);
  }
  // One file alone is told the same way.
  hp.messages.clear();
  Files(dir.File("n1.bmp"), {});
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].text.rfind("1 file could not be imported. No picture was imported.\n\n" + dir.File("n1.bmp") + ": ", 0),
            0u) << hp.messages[0].text;
}

TEST_F(ImportTest, UnreadableMatchesKeepTheirSlotAndBadPicturesAreNamed) {
  WriteBytes(dir.File("m1.bmp"), PlainBmp(2, 2));
  std::filesystem::create_directory(dir.File("m2.bmp"));
  WriteBytes(dir.File("m3.bmp"), {'n', 'o', 'p', 'e'});
  MakeList(1, 0);
  Files(dir.File("m*.bmp"), {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(doc->list.count, 4);
  EXPECT_EQ(At(1).width, 2);
  EXPECT_FALSE(At(2).HasPixels());
  EXPECT_FALSE(At(3).HasPixels());
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_NE(hp.messages[0].text.find("m3.bmp"), std::string::npos);
  EXPECT_NE(hp.messages[0].text.find(dir.File("m2.bmp") + ": Can not read the file: "), std::string::npos);

  // Replacing, a file that cannot be used leaves the old shape as it was,
  // offsets included, while the pictures after it land in their own slots.
  doc = std::make_unique<Document>();
  MakeList(5, 0);
  WriteBytes(dir.File("m4.bmp"), PlainBmp(3, 3));
  Files(dir.File("m*.bmp"), {ImportMode::ReplaceOld, PlacementMode::ToBeginning, true});
  EXPECT_EQ(At(0).width, 2);
  EXPECT_EQ(At(1).offsetX, 101);
  EXPECT_EQ(At(2).offsetX, 102);
  EXPECT_EQ(At(3).width, 3);
}

TEST_F(ImportTest, AFullListStopsTheImportWithOneMessage) {
  for (const char* name : {"f1.bmp", "f2.bmp", "f3.bmp"}) WriteBytes(dir.File(name), PlainBmp(1, 1));
  MakeList(kShapeListCapacity - 1, 0);
  ImportCount n = Files(dir.File("f*.bmp"), {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(n.imported, 1);
  EXPECT_EQ(n.leftOut, 2);
  EXPECT_EQ(doc->list.count, kShapeListCapacity);
  EXPECT_EQ(hp.messageTexts(), std::vector<std::string>{"The shape list is full (at most 5000 shapes): 1 pictures "
                                                        "were imported and 2 were left out."});

  hp.messages.clear();
  doc = std::make_unique<Document>();
  MakeList(kShapeListCapacity - 2, 0);
  n = Files(dir.File("f*.bmp"), {ImportMode::ReplaceOld, PlacementMode::ToEnd, false});
  EXPECT_EQ(n.imported, 2);
  EXPECT_EQ(n.leftOut, 1);
  EXPECT_EQ(doc->list.count, kShapeListCapacity);
  EXPECT_EQ(hp.messages.size(), 1u);
}

// ----- collages ------------------------------------------------------------

constexpr uint8_t kKey = 200;

// A sheet in sheet coordinates: y = 0 is the bottom row.
struct Sheet {
  int width = kSheetWidth, height = kSheetHeight;
  std::vector<uint8_t> px = std::vector<uint8_t>(static_cast<size_t>(kSheetWidth * kSheetHeight), kKey);
  uint8_t& At(int x, int y) { return px[static_cast<size_t>((height - 1 - y) * width + x)]; }
  // A frame of `color` with its lower-left corner at (x, y), inside filled.
  void Frame(int x, int y, int w, int h, uint8_t color, uint8_t inside) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        At(x + i, y + j) = (i == 0 || j == 0 || i == w - 1 || j == h - 1) ? color : inside;
  }
  std::vector<uint8_t> Pcx() {
    return MakePcx8(width, height, [&](int x, int y) { return px[static_cast<size_t>(y * width + x)]; },
                    std::vector<uint8_t>(768, 0));
  }
};

class CollageTest : public ImportTest {
 protected:
  std::unique_ptr<DisplayState> display = std::make_unique<DisplayState>();
  int slot = -1;
  void SetUp() override {
    InitDisplay(*display);
    slot = AllocBuffer(*display, kSheetWidth, kSheetHeight);
    MakeList(10, 0);
  }
  ImportCount Import(Sheet& sheet, ImportChoice choice = {}) {
    WriteBytes(dir.File("sheet.pcx"), sheet.Pcx());
    return ImportCollage(history, *doc, *display, slot, hp, dir.File("sheet.pcx"), choice);
  }
};

TEST_F(CollageTest, AnEmptySheetMakesNoShapes) {
  Sheet s;
  EXPECT_EQ(Import(s).imported, 0);
  EXPECT_EQ(doc->list.count, 10);
  EXPECT_TRUE(hp.messages.empty());
  EXPECT_EQ(doc->state.modified, kUnmodified);
}

TEST_F(CollageTest, OneFrameGivesItsInsideWithOffsetsFromWhereItSits) {
  struct Case {
    int keyColumns;  // leftmost inside columns in the background colour
    bool center;
    int width, offsetX, offsetY;  // the top, 143, is more than a shape file holds
  };
  for (Case c : {Case{0, false, 32, 0, 127}, Case{0, true, 32, 16, 81}, Case{4, false, 28, 2, 127}}) {
    doc = std::make_unique<Document>();
    MakeList(10, 0);
    Sheet s;
    s.Frame(50, 20, 34, 34, 5, 7);
    for (int i = 0; i < c.keyColumns; ++i)
      for (int j = 1; j < 33; ++j) s.At(51 + i, 20 + j) = kKey;
    Import(s, {ImportMode::AddNew, PlacementMode::StartingFromCurrent, c.center});
    ASSERT_EQ(doc->list.count, 11);
    const Shape& got = At(0);
    EXPECT_EQ(got.width, c.width);
    EXPECT_EQ(got.height, 32);
    EXPECT_EQ(got.offsetX, c.offsetX);
    EXPECT_EQ(got.offsetY, c.offsetY);
    EXPECT_EQ(At(1).offsetX, 100);
    EXPECT_EQ(doc->state.modified, kModified);
  }
}

TEST_F(CollageTest, FramesComeBandByBandFromTheBottomAndLeftToRight) {
  Sheet s;
  s.Frame(300, 200, 10, 10, 5, 13);  // the higher band
  s.Frame(100, 5, 10, 20, 5, 12);    // right of the lower band
  s.Frame(10, 5, 12, 20, 6, 11);     // left of the lower band, another frame colour
  Import(s, {ImportMode::AddNew, PlacementMode::ToEnd, false});
  ASSERT_EQ(doc->list.count, 13);
  EXPECT_EQ(At(10).pixels[0], 11);
  EXPECT_EQ(At(11).pixels[0], 12);
  EXPECT_EQ(At(12).pixels[0], 13);
}

TEST_F(CollageTest, InsidePixelsOfTheFrameColourStayAndKeyPixelsBecomeTransparent) {
  Sheet s;
  s.Frame(0, 0, 10, 10, 5, 7);
  s.At(3, 3) = 5;
  s.At(5, 5) = kKey;
  Import(s);
  const Shape& got = At(0);
  ASSERT_EQ(got.width, 8);
  ASSERT_EQ(got.height, 8);
  EXPECT_EQ(got.pixels[2 * 8 + 2], 5);
  EXPECT_EQ(got.pixels[4 * 8 + 4], 0);
}

TEST_F(CollageTest, ReplacingAtTheEndExtendsTheListPerFrame) {
  Sheet s;
  s.Frame(0, 0, 10, 10, 5, 7);
  s.Frame(20, 0, 10, 10, 5, 7);
  Import(s, {ImportMode::ReplaceOld, PlacementMode::ToEnd, false});
  EXPECT_EQ(doc->list.count, 12);
  EXPECT_EQ(At(11).width, 8);
}

TEST_F(CollageTest, FramesWhosePictureIsOver255EitherWayAreRefusedByName) {
  Sheet s;
  s.Frame(0, 0, 300, 20, 5, 7);      // 298 wide inside, all of it picture
  s.Frame(310, 0, 257, 257, 9, 11);  // 255 x 255 inside: the largest shape
  ImportCount n = Import(s, {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(n.imported, 1);
  EXPECT_EQ(n.failed, 1);
  ASSERT_EQ(doc->list.count, 12);
  EXPECT_FALSE(At(10).HasPixels()) << "the refused frame keeps its place";
  EXPECT_EQ(At(11).width, 255);
  EXPECT_EQ(At(11).height, 255);
  const std::string tooBig = ": This bitmap is too big. The maximum size of a bitmap is 255 x 255 pixels.";
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_EQ(hp.messages[0].text, "1 frame could not be imported. 1 picture was imported.\n\n" + dir.File("sheet.pcx") +
                                     ", the frame at 0, 460 (300 x 20)" + tooBig);

  // A sheet of nothing but refused frames changes nothing.
  doc = std::make_unique<Document>();
  MakeList(10, 0);
  hp.messages.clear();
  Sheet tall;
  tall.Frame(0, 0, 20, 400, 6, 8);  // 398 tall
  n = Import(tall, {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(n.failed, 1);
  EXPECT_EQ(doc->list.count, 10);
  EXPECT_EQ(doc->state.modified, kUnmodified);
  ASSERT_EQ(hp.messages.size(), 1u);
  EXPECT_NE(hp.messages[0].text.find(", the frame at 0, 80 (20 x 400)" + tooBig), std::string::npos) << hp.messages[0].text;
}

TEST_F(CollageTest, ALargeFrameWithASmallPictureInItsCornerIsTaken) {
  Sheet s;
  s.Frame(0, 0, 300, 400, 5, kKey);
  for (int j = 1; j <= 10; ++j)
    for (int i = 1; i <= 20; ++i) s.At(i, j) = 7;
  Import(s);
  EXPECT_TRUE(hp.messages.empty());
  EXPECT_EQ(At(0).width, 20);
  EXPECT_EQ(At(0).height, 10);
  EXPECT_EQ(At(0).offsetY, 10);
}

TEST_F(CollageTest, TinyFramesGiveEmptyShapes) {
  Sheet s;
  s.Frame(0, 0, 2, 2, 5, 7);
  s.Frame(5, 0, 2, 2, 5, 7);
  Import(s, {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(doc->list.count, 12);
  EXPECT_FALSE(At(10).HasPixels());
  EXPECT_EQ(At(10).offsetY, 0);
}

TEST_F(CollageTest, ASmallerSheetLeavesNothingOfTheOneBefore) {
  Sheet big;
  big.Frame(400, 300, 10, 10, 5, 7);
  Import(big, {ImportMode::AddNew, PlacementMode::ToEnd, false});
  ASSERT_EQ(doc->list.count, 11);
  Sheet small;
  small.width = 100;
  small.height = 60;
  small.px.assign(100 * 60, 3);
  small.Frame(10, 10, 10, 10, 5, 7);
  Import(small, {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(doc->list.count, 12);
  EXPECT_TRUE(hp.messages.empty());
}

TEST_F(CollageTest, BadFilesAreNamedAndChangeNothing) {
  WriteBytes(dir.File("bad.pcx"), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
  for (const std::string& path : {dir.File("bad.pcx"), dir.File("missing.pcx")}) {
    hp.messages.clear();
    ImportCollage(history, *doc, *display, slot, hp, path, {});
    EXPECT_EQ(hp.messageTexts(), std::vector<std::string>{"Can not load PCX file " + path +
                                                          " - Only 8-bit / 640 x 480 pixels PCX files supported."});
    EXPECT_EQ(doc->list.count, 10);
  }
}

TEST_F(CollageTest, AFullListStopsWithOneMessage) {
  MakeList(kShapeListCapacity - 1, 0);
  Sheet s;
  for (int k = 0; k < 3; ++k) s.Frame(20 * k, 0, 10, 10, 5, 7);
  ImportCount n = Import(s, {ImportMode::AddNew, PlacementMode::ToEnd, false});
  EXPECT_EQ(n.imported, 1);
  EXPECT_EQ(n.leftOut, 2);
  EXPECT_EQ(hp.messages.size(), 1u);
}

TEST_F(CollageTest, ASheetWrittenByImageMagick) {
  ASSERT_EQ(ImportCollage(history, *doc, *display, slot, hp, (kData / "im_sheet.pcx").string(),
                          {ImportMode::AddNew, PlacementMode::ToEnd, false})
                .imported,
            3);
  EXPECT_TRUE(hp.messages.empty());
  const Shape& a = At(10);
  const Shape& b = At(11);
  const Shape& c = At(12);
  EXPECT_EQ(std::make_tuple(a.width, a.height, a.offsetX, a.offsetY), std::make_tuple(32, 48, 0, 127));
  EXPECT_EQ(std::make_tuple(b.width, b.height, b.offsetX, b.offsetY), std::make_tuple(6, 11, 2, 122));
  EXPECT_EQ(std::make_tuple(c.width, c.height, c.offsetX, c.offsetY), std::make_tuple(18, 18, 0, 127));
  EXPECT_NE(a.pixels[0], 0);
  EXPECT_EQ(b.pixels[0], c.pixels[0]) << "both lime";
  EXPECT_NE(a.pixels[0], c.pixels[0]);
}

TEST(CutShape, CropsToTheVisiblePixels) {
  auto work = std::make_unique<CollageWork>();
  Shape s;
  s.tavrelX = 9;
  CutShape(s, *work);
  EXPECT_FALSE(s.HasPixels());
  EXPECT_EQ(s.tavrelX, 0);
  work->At(7, 3) = 9;
  work->At(10, 20) = 8;
  CutShape(s, *work);
  EXPECT_EQ(std::make_tuple(s.width, s.height, s.offsetX, s.offsetY), std::make_tuple(4, 18, 3, 21));
  EXPECT_EQ(s.pixels[0], 9);
  EXPECT_EQ(s.pixels[17 * 4 + 3], 8);
}

}  // namespace
}  // namespace qshe::testing
