#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "../document/test_files.h"
#include "display/game_palette.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "interchange/bitmap_export.h"
#include "interchange/bitmap_import.h"
#include "qshe_tool/tool.h"
#include "support_files.h"

using namespace qshe;
using namespace qshe::testing;

namespace {

struct PictureToolTest : ::testing::Test {
  TempDir dir;
  std::string err;
  GamePalette palette{};

  void SetUp() override {
    for (const auto& [name, bytes] : gen::GenerateSupportFiles())
      if (name == "qshe.pcx") WriteBytes(P("qshe.pcx"), bytes);
    palette = *GamePaletteFromPcx(P("qshe.pcx"));
  }
  std::string P(const std::string& name) const { return dir.File(name); }
  int Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--palette", P("qshe.pcx")});
    std::ostringstream o, e;
    int status = tool::RunTool(args, o, e);
    err = e.str();
    return status;
  }
  // A w x h picture of one game colour, as the editor would export it.
  void Picture(const std::string& name, int w, int h, uint8_t index) {
    Shape s;
    AllocateShape(s, w, h);
    std::fill_n(s.pixels.get(), w * h, index);
    ASSERT_FALSE(WriteShapePicture(P(name), s, palette));
  }
  // s.qsh with two 1 x 1 shapes whose Tavrel x is 100 and 101 in s.qbj.
  void TwoShapesWithSideFile() {
    std::vector<Shape> two(2);
    for (int i = 0; i < 2; ++i) {
      AllocateShape(two[static_cast<size_t>(i)], 1, 1);
      two[static_cast<size_t>(i)].pixels[0] = 20;
      two[static_cast<size_t>(i)].tavrelX = 100 + i;
    }
    WriteBytes(P("s.qsh"), EncodeShapeFile(two, ShapeFileFormat::Qsh));
    WriteBytes(P("s.qbj"), EncodeObjectFile(two));
  }
  std::vector<Shape> Shapes(const std::string& name) {
    std::vector<Shape> table(kShapeListCapacity);
    LoadResult r = LoadShapeFile(P(name), table);
    EXPECT_EQ(r.status, LoadStatus::Ok);
    table.resize(static_cast<size_t>(r.count));
    return table;
  }
};

TEST_F(PictureToolTest, ImportAppendsInsertsAndReplacesAndCreatesTheFile) {
  Picture("a.bmp", 20, 30, 50);
  Picture("b.png", 10, 200, 60);
  Picture("c.bmp", 3, 3, 70);
  ASSERT_EQ(Run({"import", "--center", P("s.qs2"), P("a.bmp"), P("b.png")}), 0) << err;
  auto shapes = Shapes("s.qs2");
  ASSERT_EQ(shapes.size(), 2u);
  std::vector<Shape> table(10);
  EXPECT_EQ(LoadShapeFile(P("s.qs2"), table).format, ShapeFileFormat::Qs2);
  EXPECT_EQ(std::tie(shapes[0].width, shapes[0].height, shapes[0].offsetX, shapes[0].offsetY),
            std::make_tuple(20, 30, 22, 80));
  EXPECT_EQ(std::tie(shapes[1].offsetX, shapes[1].offsetY), std::make_tuple(27, 127));
  EXPECT_EQ(shapes[0].pixels[0], 50);
  EXPECT_EQ(shapes[1].pixels[1999], 60);

  ASSERT_EQ(Run({"import", "--at", "1", P("s.qs2"), P("c.bmp")}), 0) << err;
  shapes = Shapes("s.qs2");
  ASSERT_EQ(shapes.size(), 3u);
  EXPECT_EQ(shapes[1].pixels[0], 70);
  EXPECT_EQ(shapes[2].pixels[0], 60);
  EXPECT_EQ(shapes[1].offsetX, 0);

  // Replacing from the last shape on runs past the end and extends the list.
  ASSERT_EQ(Run({"import", "--replace", "--at", "2", P("s.qs2"), P("a.bmp"), P("c.bmp")}), 0) << err;
  shapes = Shapes("s.qs2");
  ASSERT_EQ(shapes.size(), 4u);
  EXPECT_EQ(shapes[2].pixels[0], 50);
  EXPECT_EQ(shapes[3].pixels[0], 70);
}

TEST_F(PictureToolTest, ImportCarriesTheSideFileAlong) {
  Picture("a.bmp", 2, 2, 50);
  TwoShapesWithSideFile();
  ASSERT_EQ(Run({"import", "--at", "0", P("s.qsh"), P("a.bmp")}), 0) << err;
  std::vector<Shape> back = Shapes("s.qsh");
  ASSERT_EQ(back.size(), 3u);
  LoadObjectFile(P("s.qbj"), back);
  EXPECT_EQ(back[0].tavrelX, 0);
  EXPECT_EQ(back[1].tavrelX, 100);
  EXPECT_EQ(back[2].tavrelX, 101);
}

TEST_F(PictureToolTest, ImportIsAllOrNothing) {
  Picture("a.bmp", 2, 2, 50);
  std::vector<uint8_t> cut = ReadBytes(P("a.bmp"));
  cut.resize(cut.size() - 6);
  WriteBytes(P("cut.bmp"), cut);
  WriteBytes(P("text.bmp"), {'h', 'i'});
  Picture("wide.png", 256, 1, 50);
  ASSERT_EQ(Run({"import", P("s.qsh"), P("a.bmp")}), 0) << err;
  const auto before = ReadBytes(P("s.qsh"));
  EXPECT_EQ(Run({"import", P("s.qsh"), P("a.bmp"), P("cut.bmp"), P("text.bmp"), P("none.bmp"), P("wide.png")}), 1);
  for (const char* name : {"cut.bmp", "text.bmp", "none.bmp", "wide.png"})
    EXPECT_NE(err.find(P(name)), std::string::npos) << name << "\n" << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 4) << err;
  EXPECT_EQ(ReadBytes(P("s.qsh")), before);
  EXPECT_EQ(Run({"import", P("missing.qsh"), P("cut.bmp")}), 1);
  EXPECT_FALSE(std::filesystem::exists(P("missing.qsh")));
}

TEST_F(PictureToolTest, ExportWritesTheEditorsBytesOrPngForTheNamedShapes) {
  Picture("a.bmp", 3, 2, 50);
  Picture("b.bmp", 5, 5, 60);
  ASSERT_EQ(Run({"import", P("s.qsh"), P("a.bmp"), P("b.bmp")}), 0) << err;
  auto shapes = Shapes("s.qsh");
  ASSERT_EQ(Run({"export", P("s.qsh"), P("out")}), 0) << err;
  EXPECT_EQ(ReadBytes(P("out/shape0.bmp")), EncodeShapeBitmap(shapes[0], palette));
  EXPECT_EQ(ReadBytes(P("out/shape1.bmp")), EncodeShapeBitmap(shapes[1], palette));
  ASSERT_EQ(Run({"export", "--png", "--shape", "1", P("s.qsh"), P("png")}), 0) << err;
  EXPECT_FALSE(std::filesystem::exists(P("png/shape0.png")));
  PictureResult r = DecodePicture(ReadBytes(P("png/shape1.png")));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.picture.pixels, std::vector<uint8_t>(25, 60));
  EXPECT_EQ(Run({"export", "--shape", "2", P("s.qsh"), P("out")}), 1);
}

}  // namespace

namespace {

const std::string kSheet =
    (std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data" / "im_sheet.pcx").string();

int RunCollage(const std::vector<std::string>& args, std::string& err) {
  std::vector<std::string> all = {"collage"};
  all.insert(all.end(), args.begin(), args.end());
  std::ostringstream o, e;
  int status = tool::RunTool(all, o, e);
  err = e.str();
  return status;
}

}  // namespace

TEST_F(PictureToolTest, CollageCreatesInsertsAndReplacesWithTheSideFile) {
  ASSERT_EQ(RunCollage({"--center", P("c.qsh"), kSheet}, err), 0) << err;
  std::vector<Shape> made = Shapes("c.qsh");
  ASSERT_EQ(made.size(), 3u);
  EXPECT_EQ(std::make_tuple(made[0].width, made[0].height, made[0].offsetX, made[0].offsetY),
            std::make_tuple(32, 48, 16, 89));
  EXPECT_EQ(made[1].width, 6);

  TwoShapesWithSideFile();
  ASSERT_EQ(RunCollage({"--at", "1", P("s.qsh"), kSheet}, err), 0) << err;
  std::vector<Shape> back = Shapes("s.qsh");
  ASSERT_EQ(back.size(), 5u);
  LoadObjectFile(P("s.qbj"), back);
  EXPECT_EQ(back[0].tavrelX, 100);
  EXPECT_EQ(back[1].width, 32);
  EXPECT_EQ(back[4].tavrelX, 101);

  ASSERT_EQ(RunCollage({"--replace", "--at", "4", P("s.qsh"), kSheet}, err), 0) << err;
  back = Shapes("s.qsh");
  ASSERT_EQ(back.size(), 7u);
  EXPECT_EQ(back[4].width, 32);
  EXPECT_EQ(back[6].width, 18);
}

TEST_F(PictureToolTest, CollageIsAllOrNothing) {
  ASSERT_EQ(RunCollage({P("s.qsh"), kSheet}, err), 0) << err;
  const auto before = ReadBytes(P("s.qsh"));
  WriteBytes(P("bad.pcx"), {'h', 'i'});
  EXPECT_EQ(RunCollage({P("s.qsh"), P("bad.pcx")}, err), 1);
  EXPECT_NE(err.find("Can not load PCX file " + P("bad.pcx")), std::string::npos) << err;
  EXPECT_EQ(RunCollage({"--at", "9", P("s.qsh"), kSheet}, err), 1);
  EXPECT_EQ(RunCollage({P("s.qsh")}, err), 2);
  EXPECT_EQ(ReadBytes(P("s.qsh")), before);
  EXPECT_EQ(RunCollage({P("missing.qsh"), P("bad.pcx")}, err), 1);
  EXPECT_FALSE(std::filesystem::exists(P("missing.qsh")));
}

namespace {

std::string Data(const std::string& name) {
  return (std::filesystem::path(QSHE_TESTS_DIR) / "interchange" / "data" / name).string();
}

}  // namespace

TEST_F(PictureToolTest, ImportTakesTheTransparencyAndDitherChoices) {
  const ColorMatcher m(palette);
  // 24 x 20 on magenta with a black detail at (5..7, 5..7) from the top.
  auto pixel = [](const Shape& s, int x, int top) {
    return s.pixels[static_cast<size_t>(s.height - 1 - top) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
  };
  ASSERT_EQ(Run({"import", P("a.qsh"), Data("im_key.bmp")}), 0) << err;
  EXPECT_EQ(pixel(Shapes("a.qsh")[0], 0, 0), m.Nearest(255, 0, 255)) << "no flag: nothing transparent, as always";
  ASSERT_EQ(Run({"import", "--transparent", P("b.qsh"), Data("im_key.bmp")}), 0) << err;
  EXPECT_EQ(pixel(Shapes("b.qsh")[0], 0, 0), 0) << "the bare flag is auto";
  ASSERT_EQ(Run({"import", "--transparent", "#000000", "--dither", "diffusion", P("c.qsh"), Data("im_key.bmp")}), 0)
      << err;
  const Shape c = std::move(Shapes("c.qsh")[0]);
  EXPECT_EQ(pixel(c, 6, 6), 0);
  EXPECT_NE(pixel(c, 0, 0), 0);
  ASSERT_EQ(Run({"import", "--transparent", "none", "--dither", "none", P("d.qsh"), Data("im_entry0.bmp")}), 0)
      << err;
  EXPECT_EQ(pixel(Shapes("d.qsh")[0], 0, 0), m.Nearest(200, 30, 30)) << "entry 0 is the subject and stays";
  // The same picture and choices, the same bytes.
  ASSERT_EQ(Run({"import", "--transparent", "#000000", "--dither", "diffusion", P("e.qsh"), Data("im_key.bmp")}), 0);
  EXPECT_EQ(ReadBytes(P("c.qsh")), ReadBytes(P("e.qsh")));
}

TEST_F(PictureToolTest, ImportAndCollageRefuseChoicesTheyCannotRead) {
  for (std::vector<std::string> bad : {
           std::vector<std::string>{"import", "--transparent", "#ff00f", P("a.qsh"), Data("im_key.bmp")},
           {"import", "--transparent", "#ff00fg", P("a.qsh"), Data("im_key.bmp")},
           {"import", "--dither", "floyd", P("a.qsh"), Data("im_key.bmp")},
           {"import", "--dither"},
           {"collage", "--dither", "sierra", "--match-colours", P("a.qsh"), Data("im_sheet_any.bmp")},
           {"collage", "--transparent", "#12", P("a.qsh"), Data("im_sheet_any.bmp")},
       }) {
    EXPECT_EQ(Run(bad), 2) << bad[1] << " " << bad[2];
    EXPECT_FALSE(std::filesystem::exists(P("a.qsh")));
  }
  EXPECT_EQ(Run({"collage", "--dither", "diffusion", P("a.qsh"), kSheet}), 2);
  EXPECT_NE(err.find("--dither needs --match-colours"), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(P("a.qsh")));
}

TEST_F(PictureToolTest, CollageMatchesSheetsInAnyPaletteAndAnySize) {
  const ColorMatcher m(palette);
  ASSERT_EQ(Run({"collage", "--match-colours", "--dither", "diffusion", P("a.qsh"), Data("im_sheet_any.bmp")}), 0)
      << err;
  std::vector<Shape> a = Shapes("a.qsh");
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(std::make_pair(a[0].width, a[0].height), std::make_pair(32, 68));
  // A 24-bit PNG sheet has no colour numbers to keep: always matched.
  ASSERT_EQ(Run({"collage", P("b.qsh"), Data("im_sheet_any.png")}), 0) << err;
  std::vector<Shape> b = Shapes("b.qsh");
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].pixels[0], m.Nearest(20, 20, 200));
  // With the background kept, each frame's inside comes whole.
  ASSERT_EQ(Run({"collage", "--transparent", "none", P("c.qsh"), Data("im_sheet_any.png")}), 0) << err;
  EXPECT_EQ(Shapes("c.qsh")[1].width, 59);
}
