#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "document/presets.h"
#include "platform/headless/headless.h"

using namespace qshe;
using platform::Answer;

namespace {

struct PresetsTest : ::testing::Test {
  std::unique_ptr<Document> doc;
  platform::HeadlessPlatform desk;

  PresetsTest() { Prepare(); }
  // Every slot starts out with properties no preset gives, so that a test
  // sees which slots a preset reached.
  void Prepare() {
    doc = std::make_unique<Document>();
    doc->list.count = 20;
    for (Shape& s : doc->list.slots) {
      std::tie(s.tavrelX, s.tavrelY, s.replacement) = std::make_tuple(9, -9, -5);
      s.gettable = s.sittable = s.walkable = 1;
    }
    AllocateShape(doc->list.slots[3], 2, 2);
    doc->list.slots[3].replacement = -5;
    doc->state.modified = kModified;
  }
  const Shape& S(int i) const { return doc->list.slots[static_cast<size_t>(i)]; }
  // "gsw" as 0/1 digits, for compact comparisons.
  std::string Props(int i) const {
    return std::to_string(S(i).gettable) + std::to_string(S(i).sittable) + std::to_string(S(i).walkable);
  }
  bool Untouched(int i) const { return S(i).tavrelX == 9 && S(i).tavrelY == -9 && Props(i) == "111"; }
};

}  // namespace

// Each preset against its range, totals and the shapes where its runs start and end.
TEST_F(PresetsTest, PresetBoundaries) {
  struct Case {
    void (*preset)(Document&);
    int shapes;
    const char* totals;  // how many of the range are gettable / sittable / walkable
    std::vector<std::pair<int, const char*>> props;
  };
  const Case cases[] = {
      {PresetFloors, 208, "0/0/165",
       {{0, "001"}, {79, "001"}, {80, "000"}, {119, "000"}, {120, "001"}, {160, "001"}, {161, "000"}, {163, "000"},
        {164, "001"}, {207, "001"}}},
      {PresetItem, 305, "101/40/180",
       {{0, "101"}, {1, "111"}, {2, "111"}, {3, "011"}, {32, "111"}, {33, "101"}, {35, "101"}, {36, "000"},
        {54, "000"}, {68, "010"}, {72, "011"}, {80, "101"}, {104, "001"}, {105, "000"}, {178, "011"}, {255, "101"},
        {292, "011"}, {301, "001"}, {302, "000"}, {304, "000"}}},
      {PresetItem2, 320, "59/37/269",
       {{0, "111"}, {13, "111"}, {14, "101"}, {15, "000"}, {27, "000"}, {28, "011"}, {31, "111"}, {80, "000"},
        {81, "111"}, {123, "000"}, {227, "011"}, {240, "000"}, {271, "111"}, {304, "000"}, {309, "000"},
        {313, "111"}, {319, "101"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shapes);
    Prepare();
    c.preset(*doc);
    int g = 0, si = 0, w = 0;
    for (int i = 0; i < c.shapes; ++i) {
      ASSERT_EQ(std::tie(S(i).tavrelX, S(i).tavrelY, S(i).replacement), std::make_tuple(0, 0, -5)) << i;
      g += S(i).gettable, si += S(i).sittable, w += S(i).walkable;
    }
    EXPECT_EQ(std::to_string(g) + "/" + std::to_string(si) + "/" + std::to_string(w), c.totals);
    EXPECT_TRUE(Untouched(c.shapes));
    EXPECT_TRUE(S(3).HasPixels());
    EXPECT_EQ(std::tie(doc->state.qbjFlag, doc->state.modified), std::make_tuple(1, kModified));
    for (const auto& [shape, props] : c.props) EXPECT_EQ(Props(shape), props) << "shape " << shape;
  }
}

TEST_F(PresetsTest, CommandsAskFirstAndChangeAndRefreshOnlyOnYes) {
  int refreshed = 0;
  auto refresh = [&] { ++refreshed; };
  desk.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(PresetCommand(*doc, desk, Preset::Item, refresh));
  EXPECT_TRUE(Untouched(36));
  EXPECT_EQ(refreshed, 0);
  EXPECT_TRUE(PresetCommand(*doc, desk, Preset::Item, refresh));
  EXPECT_EQ(Props(36), "000");
  EXPECT_EQ(refreshed, 1);
  ASSERT_EQ(desk.messages.size(), 2u);
  EXPECT_EQ(desk.messages[0].text, "This will reset the QBJ shape settings to default. Do you want to continue?");
  EXPECT_EQ(desk.messages[0].buttons, platform::Buttons::YesNo);

  // Default QS2 numbering numbers every slot, and only that.
  Prepare();
  desk.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(DefaultQS2NumberingCommand(*doc, desk, refresh));
  EXPECT_EQ(S(17).replacement, -5);
  EXPECT_EQ(doc->state.qs2Flag, 0);
  EXPECT_TRUE(DefaultQS2NumberingCommand(*doc, desk, refresh));
  for (int i : {0, 17, 4999}) EXPECT_EQ(S(i).replacement, i);
  EXPECT_TRUE(Untouched(17));
  EXPECT_EQ(std::tie(doc->state.qs2Flag, doc->state.qbjFlag, doc->state.modified), std::make_tuple(1, 0, kModified));
  EXPECT_EQ(refreshed, 2);
  EXPECT_EQ(desk.messages.back().text, "This will reset the QS2 shape settings to default. Do you want to continue?");
}
