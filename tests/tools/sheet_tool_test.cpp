#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

#include "../document/test_files.h"
#include "document/file_io.h"
#include "document/object_file.h"
#include "document/shape_file.h"
#include "interchange/bitmap_import.h"
#include "interchange/png_codec.h"
#include "qshe_tool/tool.h"
#include "support_files.h"

using namespace qshe;
using namespace qshe::testing;
using Bytes = std::vector<uint8_t>;
using Json = nlohmann::json;

namespace {

struct SheetToolTest : ::testing::Test {
  TempDir dir;
  std::string err;

  SheetToolTest() {
    for (const auto& [name, bytes] : gen::GenerateSupportFiles())
      if (name == "qshe.pcx" || name == "qshe.qsh") WriteBytes(P(name), bytes);
  }
  std::string P(const std::string& name) const { return dir.File(name); }
  int Run(std::vector<std::string> args) {
    args.insert(args.begin() + 2, {"--palette", P("qshe.pcx")});
    std::ostringstream o, e;
    int status = tool::RunTool(args, o, e);
    err = e.str();
    return status;
  }
  Json ReadJson(const std::string& name) {
    auto bytes = ReadBytes(P(name));
    return Json::parse(bytes.begin(), bytes.end());
  }
  void WriteJson(const std::string& name, const Json& j) {
    const std::string text = j.dump(1);
    WriteBytes(P(name), Bytes(text.begin(), text.end()));
  }
};

// Shapes that probe every field's extremes: empty ones of both kinds, the
// largest size, offsets and replacement at their limits, and properties.
std::vector<Shape> Assorted() {
  std::vector<Shape> v(6);
  AllocateShape(v[0], 3, 2);
  for (int i = 0; i < 6; ++i) v[0].pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 50);
  v[0].offsetX = -128;
  v[0].offsetY = 127;
  v[0].replacement = -1;
  v[0].tavrelX = -2;
  v[0].walkable = v[0].sittable = 1;
  v[1].width = 7;  // no pixels, but a width the QS2 file keeps
  v[1].offsetX = 5;
  v[1].replacement = 32767;
  AllocateShape(v[2], 255, 255);
  for (int i = 0; i < 255 * 255; ++i) v[2].pixels[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 251);
  v[2].gettable = 1;
  v[2].tavrelY = 127;
  v[2].replacement = -32768;
  AllocateShape(v[4], 1, 40);
  std::fill_n(v[4].pixels.get(), 40, uint8_t{255});
  AllocateShape(v[5], 40, 1);
  std::fill_n(v[5].pixels.get(), 40, uint8_t{1});
  return v;
}

TEST_F(SheetToolTest, ExportThenImportGivesBackEveryFileByteForByte) {
  std::vector<Shape> assorted = Assorted();
  std::vector<Shape> qshShapes = Assorted();
  for (Shape& s : qshShapes) s.replacement = 0;
  struct Case {
    const char* name;
    Bytes shapeFile;
    bool side;
    std::vector<std::string> options;
  };
  const std::vector<Case> cases = {
      {"one.qsh", kQsh, false, {}},
      {"one.qs2", kQs2, false, {"--padding", "3"}},
      {"assorted.qs2", EncodeShapeFile(assorted, ShapeFileFormat::Qs2), true, {}},
      {"assorted.qsh", EncodeShapeFile(qshShapes, ShapeFileFormat::Qsh), true, {"--columns", "1"}},
      {"wide.qs2", EncodeShapeFile(assorted, ShapeFileFormat::Qs2), false, {"--columns", "5000", "--padding", "255"}},
      {"helpers.qsh", ReadBytes(P("qshe.qsh")), false, {"--columns", "7", "--padding", "1"}},
      {"none.qs2", EncodeShapeFile({}, ShapeFileFormat::Qs2), false, {}},
      {"width-only.qs2", EncodeShapeFile(std::span<const Shape>(&assorted[1], 1), ShapeFileFormat::Qs2), false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string in = P(std::string("in-") + c.name), out = P(std::string("out-") + c.name);
    WriteBytes(in, c.shapeFile);
    const Bytes side = EncodeObjectFile(assorted);
    if (c.side) WriteBytes(ObjectFileName(in), side);
    std::vector<std::string> args = {"sheet", "export"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.insert(args.end(), {in, P("sheet.png")});
    ASSERT_EQ(Run(args), 0) << err;
    ASSERT_EQ(Run({"sheet", "import", P("sheet.png"), out}), 0) << err;
    EXPECT_EQ(ReadBytes(out), c.shapeFile);
    EXPECT_EQ(FileExists(ObjectFileName(out)), c.side);
    if (c.side) {
      EXPECT_EQ(ReadBytes(ObjectFileName(out)), side);
    }
  }
}

TEST_F(SheetToolTest, TheSheetIsAPalettisedGridWithEveryShapeListed) {
  std::vector<Shape> shapes = Assorted();
  WriteBytes(P("a.qs2"), EncodeShapeFile(shapes, ShapeFileFormat::Qs2));
  ASSERT_EQ(Run({"sheet", "export", "--columns", "4", "--padding", "2", P("a.qs2"), P("s.png")}), 0) << err;
  Json j = ReadJson("s.json");
  EXPECT_EQ(j["format"], "QS2");
  EXPECT_EQ(j["objectFile"], false);
  EXPECT_EQ(j["columns"], 4);
  EXPECT_EQ(j["rows"], 2);
  ASSERT_EQ(j["shapes"].size(), 6u);
  // The empty shape keeps its entry and its sizes.
  EXPECT_EQ(j["shapes"][1]["width"], 7);
  EXPECT_EQ(j["shapes"][1]["height"], 0);
  EXPECT_EQ(j["shapes"][1]["replacement"], 32767);
  EXPECT_EQ(j["shapes"][5]["cell"], Json({{"x", 257}, {"y", 257}, {"width", 255}, {"height", 255}}));
  EXPECT_FALSE(j["shapes"][0].contains("tavrelX"));

  auto bytes = ReadBytes(P("s.png"));
  PictureResult r = DecodePng(bytes, 1 << 16, 1 << 24);
  ASSERT_TRUE(r.ok());
  ASSERT_TRUE(r.picture.indexed);
  EXPECT_EQ(r.picture.width, 4 * 255 + 3 * 2);
  EXPECT_EQ(r.picture.height, 2 * 255 + 2);
  EXPECT_EQ(r.picture.paletteAlpha[0], 0);
  EXPECT_EQ(r.picture.paletteAlpha[1], 255);
  // Shape 0's top-left pixel (its last row, first column) at the sheet's top-left.
  EXPECT_EQ(r.picture.Row(r.picture.height - 1)[0], 150);
  EXPECT_EQ(r.picture.Row(r.picture.height - 2)[0], 0);
  // Shape 2 starts at x = 2 * 257, after two cells and two gaps that stay clear.
  EXPECT_EQ(r.picture.Row(r.picture.height - 1)[514], shapes[2].pixels[254u * 255u]);
  EXPECT_EQ(r.picture.Row(r.picture.height - 1)[513], 0);
  // Shape 4 (1 x 40) starts the second row of cells.
  EXPECT_EQ(r.picture.Row(r.picture.height - 1 - 257)[0], 255);
}

TEST_F(SheetToolTest, ImportRefusesABadSheetWithOneLineAndLeavesTheFileAlone) {
  std::vector<Shape> shapes = Assorted();
  WriteBytes(P("a.qs2"), EncodeShapeFile(shapes, ShapeFileFormat::Qs2));
  WriteBytes(ObjectFileName(P("a.qs2")), EncodeObjectFile(shapes));
  ASSERT_EQ(Run({"sheet", "export", P("a.qs2"), P("s.png")}), 0) << err;
  const Json good = ReadJson("s.json");
  WriteBytes(P("target.qsh"), kQsh);
  const Bytes png = ReadBytes(P("s.png"));

  struct Case {
    const char* what;
    std::function<void(Json&)> edit;
    const char* said;
  };
  const std::vector<Case> cases = {
      {"wrong type", [](Json& j) { j["shapes"][2]["offsetX"] = "3"; }, "shape 2: \"offsetX\" must be a whole number"},
      {"missing field", [](Json& j) { j["shapes"][3].erase("height"); }, "shape 3 has no \"height\""},
      {"too wide", [](Json& j) { j["shapes"][0]["width"] = 256; }, "shape 0 is 256 pixels wide"},
      {"offset out of range", [](Json& j) { j["shapes"][0]["offsetY"] = 128; }, "from -128 to 127, not 128"},
      {"flag not 0 or 1", [](Json& j) { j["shapes"][1]["walkable"] = 2; }, "\"walkable\" must be"},
      {"missing cell", [](Json& j) { j["shapes"][4]["cell"]["y"] = 1000; }, "lacks the cell of shape 4"},
      {"no cell", [](Json& j) { j["shapes"][4].erase("cell"); }, "shape 4 has no \"cell\""},
      {"out of order", [](Json& j) { j["shapes"][1]["index"] = 2; }, "shape 1 has \"index\" 2"},
      {"bad format", [](Json& j) { j["format"] = "BMP"; }, "\"format\" must be \"QSH\" or \"QS2\""},
      {"replacement in QSH", [](Json& j) { j["format"] = "QSH"; }, "which a QSH file cannot hold"},
      {"shapes not a list", [](Json& j) { j["shapes"] = 3; }, "\"shapes\" must be a list"},
      {"bad objectFile", [](Json& j) { j["objectFile"] = 1; }, "\"objectFile\" must be true or false"},
      {"shape smaller than drawn", [](Json& j) { j["shapes"][2]["height"] = 254; }, "has pixels outside its 255 x 254"},
      {"empty shape drawn on", [](Json& j) { j["shapes"][2]["width"] = 0; }, "has pixels outside its 0 x 255"},
      {"too many shapes",
       [](Json& j) {
         for (int i = 6; i <= kShapeListCapacity; ++i) j["shapes"].push_back(j["shapes"][0]);
       },
       "it lists 5001 shapes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Json j = good;
    c.edit(j);
    WriteJson("s.json", j);
    EXPECT_EQ(Run({"sheet", "import", P("s.png"), P("target.qsh")}), 1);
    EXPECT_NE(err.find(c.said), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(ReadBytes(P("target.qsh")), kQsh);
    EXPECT_FALSE(FileExists(P("target.qbj")));
  }

  WriteBytes(P("s.json"), {'{', '"'});
  EXPECT_EQ(Run({"sheet", "import", P("s.png"), P("target.qsh")}), 1);
  EXPECT_NE(err.find("is not JSON"), std::string::npos) << err;
  WriteJson("s.json", good);
  WriteBytes(P("s.png"), Bytes(png.begin(), png.begin() + static_cast<long>(png.size() / 2)));
  EXPECT_EQ(Run({"sheet", "import", P("s.png"), P("target.qsh")}), 1);
  EXPECT_NE(err.find("damaged"), std::string::npos) << err;
  EXPECT_EQ(Run({"sheet", "import", P("none.png"), P("target.qsh")}), 1);
  EXPECT_NE(err.find("cannot read"), std::string::npos) << err;
  EXPECT_EQ(ReadBytes(P("target.qsh")), kQsh);

  // A JSON that cannot be written takes the new picture back with it.
  WriteBytes(P("keep.png"), {'o', 'l', 'd'});
  std::filesystem::create_directory(P("keep.json"));
  EXPECT_EQ(Run({"sheet", "export", P("a.qs2"), P("keep.png")}), 1);
  EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
  EXPECT_EQ(ReadBytes(P("keep.png")), Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(Run({"sheet", "export", P("a.qs2"), P("s.json")}), 1);
  EXPECT_NE(err.find("overwritten by its own JSON"), std::string::npos) << err;
  EXPECT_EQ(Run({"sheet", "export", "--columns", "0", P("a.qs2"), P("s.png")}), 2);
  EXPECT_EQ(Run({"sheet", "export", "--padding", "-1", P("a.qs2"), P("s.png")}), 2);
  EXPECT_EQ(Run({"sheet", "rotate", P("a.qs2"), P("s.png")}), 2);
}

// A sheet whose colour table another program rewrote: entries still at their
// exported place keep their index, moved ones are matched by colour.
TEST_F(SheetToolTest, AForeignColourTableIsMatchedEntryByEntry) {
  Shape s;
  AllocateShape(s, 4, 1);
  const uint8_t px[4] = {0, 100, 200, 30};
  std::copy(px, px + 4, s.pixels.get());
  WriteBytes(P("a.qsh"), EncodeShapeFile(std::span<const Shape>(&s, 1), ShapeFileFormat::Qsh));
  ASSERT_EQ(Run({"sheet", "export", P("a.qsh"), P("s.png")}), 0) << err;
  const GamePalette palette = *GamePaletteFromPcx(P("qshe.pcx"));

  // Four entries: transparent, colour 100 where it was not, colour 200 at its
  // own place (so the table keeps it), and a plain red.
  std::vector<uint8_t> table(256 * 3, 0);
  auto put = [&](int k, const uint8_t* rgb) { std::copy(rgb, rgb + 3, table.begin() + 3 * k); };
  const uint8_t red[3] = {255, 0, 0};
  put(1, palette.data() + 300);
  put(200, palette.data() + 600);
  put(3, red);
  const uint8_t alpha[1] = {0};
  const uint8_t pixels[4] = {0, 1, 200, 3};
  auto png = EncodeIndexedPng({4, 1, pixels, table, alpha});
  ASSERT_TRUE(png);
  WriteBytes(P("s.png"), *png);
  ASSERT_EQ(Run({"sheet", "import", P("s.png"), P("b.qsh")}), 0) << err;
  std::vector<Shape> back(2);
  ASSERT_EQ(LoadShapeFile(P("b.qsh"), back).status, LoadStatus::Ok);
  const ColorMatcher colors(palette);
  EXPECT_EQ(back[0].pixels[0], 0);
  EXPECT_EQ(back[0].pixels[1], colors.Nearest(palette[300], palette[301], palette[302]));
  EXPECT_EQ(back[0].pixels[2], 200);
  EXPECT_EQ(back[0].pixels[3], colors.Nearest(255, 0, 0));
}

// ----- edited by ImageMagick -------------------------------------------------

bool HaveImageMagick() { return std::system("convert -version > /dev/null 2>&1") == 0; }

TEST_F(SheetToolTest, AnEditByImageMagickComesBackWithEveryPropertyIntact) {
  if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  std::vector<Shape> shapes = Assorted();
  WriteBytes(P("a.qs2"), EncodeShapeFile(shapes, ShapeFileFormat::Qs2));
  WriteBytes(ObjectFileName(P("a.qs2")), EncodeObjectFile(shapes));
  ASSERT_EQ(Run({"sheet", "export", "--columns", "3", P("a.qs2"), P("s.png")}), 0) << err;
  const GamePalette palette = *GamePaletteFromPcx(P("qshe.pcx"));
  const ColorMatcher colors(palette);
  // A red block inside shape 2 (cell 2 at x = 510), kept palettised, and the
  // same as an RGB picture with and without alpha.
  for (const char* kind : {"PNG8:", "PNG24:", "PNG32:", "-alpha off PNG24:"}) {
    SCOPED_TRACE(kind);
    const std::string edited = P("e.png");
    const std::string cmd = "convert '" + P("s.png") + "' +antialias -fill '#ff0000' -draw 'rectangle 515,3 524,12' " + kind +
                            "'" + edited + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::filesystem::copy_file(P("s.json"), P("e.json"), std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(Run({"sheet", "import", edited, P("b.qs2")}), 0) << err;
    std::vector<Shape> back(10);
    LoadResult r = LoadShapeFile(P("b.qs2"), back);
    ASSERT_EQ(r.count, 6);
    ASSERT_TRUE(LoadObjectFile(ObjectFileName(P("b.qs2")), std::span<Shape>(back.data(), 6)).isObjectFile);
    for (int i = 0; i < 6; ++i) {
      const Shape &a = shapes[static_cast<size_t>(i)], &b = back[static_cast<size_t>(i)];
      EXPECT_EQ(std::tie(a.width, a.height, a.offsetX, a.offsetY, a.replacement, a.tavrelX, a.tavrelY, a.gettable,
                         a.sittable, a.walkable),
                std::tie(b.width, b.height, b.offsetX, b.offsetY, b.replacement, b.tavrelX, b.tavrelY, b.gettable,
                         b.sittable, b.walkable))
          << "shape " << i;
    }
    const Shape& edit = back[2];
    const uint8_t red = colors.Nearest(255, 0, 0);
    EXPECT_EQ(edit.pixels[251u * 255u + 5u], red);   // the block's top-left: x 5, 3 rows down
    EXPECT_EQ(edit.pixels[242u * 255u + 14u], red);  // and its bottom-right
    const uint8_t beside = shapes[2].pixels[240u * 255u + 16u];  // just outside the block
    EXPECT_EQ(edit.pixels[240u * 255u + 16u],
              colors.Nearest(palette[3u * beside], palette[3u * beside + 1], palette[3u * beside + 2]));
    // Transparency survives every route; a game colour comes back as itself.
    EXPECT_EQ(back[0].pixels[0], 0);
    const uint8_t* c50 = palette.data() + 3 * 50;
    EXPECT_EQ(back[0].pixels[1], colors.Nearest(c50[0], c50[1], c50[2]));
  }
}

}  // namespace
