#include <gtest/gtest.h>

#include <vector>
#include <memory>
#include <utility>

#include "document/presets.h"
#include "platform/headless/headless.h"

using namespace qshe;
using platform::Answer;

namespace {

struct PresetsTest : ::testing::Test {
  std::unique_ptr<Document> doc = std::make_unique<Document>();
  platform::HeadlessPlatform desk;

  PresetsTest() { Prepare(); }
  void Prepare() {
    // Every slot starts out with properties no preset gives, so that a test
    // sees which slots a preset reached.
    doc->list.count = 20;
    for (size_t i = 0; i < doc->list.slots.size(); ++i) {
      Shape& s = doc->list.slots[i];
      s.tavrelX = 9;
      s.tavrelY = -9;
      s.gettable = s.sittable = s.walkable = 1;
      s.replacement = -5;
    }
    AllocateShape(doc->list.slots[3], 2, 2);
    doc->list.slots[3].replacement = -5;
    doc->state.modified = kModified;
  }
  const Shape& S(int i) const { return doc->list.slots[static_cast<size_t>(i)]; }
  // "gsw" as 0/1 digits, for compact comparisons.
  std::string Props(int i) const {
    const Shape& s = S(i);
    return std::to_string(s.gettable) + std::to_string(s.sittable) + std::to_string(s.walkable);
  }
  bool Untouched(int i) const {
    const Shape& s = S(i);
    return s.tavrelX == 9 && s.tavrelY == -9 && Props(i) == "111";
  }
  // How many slots of the range have each property, as "g/s/w".
  std::string Totals(int shapes) const {
    int g = 0, si = 0, w = 0;
    for (int i = 0; i < shapes; ++i) {
      g += S(i).gettable;
      si += S(i).sittable;
      w += S(i).walkable;
    }
    return std::to_string(g) + "/" + std::to_string(si) + "/" + std::to_string(w);
  }
  void ExpectRangeReset(int shapes) const {
    for (int i = 0; i < shapes; ++i) {
      ASSERT_EQ(S(i).tavrelX, 0) << i;
      ASSERT_EQ(S(i).tavrelY, 0) << i;
      ASSERT_EQ(S(i).replacement, -5) << i;
    }
    EXPECT_TRUE(Untouched(shapes));
    EXPECT_TRUE(S(3).HasPixels());
    EXPECT_EQ(doc->state.qbjFlag, 1);
    EXPECT_EQ(doc->state.modified, kModified);
  }
};

}  // namespace

// Each preset against its range, totals and the shapes where its runs start and end.
TEST_F(PresetsTest, PresetBoundaries) {
  struct Case {
    void (*preset)(Document&);
    int shapes;
    const char* totals;
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
    doc = std::make_unique<Document>();
    Prepare();
    c.preset(*doc);
    ExpectRangeReset(c.shapes);
    EXPECT_EQ(Totals(c.shapes), c.totals);
    for (const auto& [shape, props] : c.props) EXPECT_EQ(Props(shape), props) << "shape " << shape;
  }
}

TEST_F(PresetsTest, DefaultQS2NumberingNumbersEverySlot) {
  SetDefaultQS2Numbering(*doc);
  EXPECT_EQ(doc->state.qs2Flag, 1);
  EXPECT_EQ(S(0).replacement, 0);
  EXPECT_EQ(S(17).replacement, 17);
  EXPECT_EQ(S(4999).replacement, 4999);
  EXPECT_TRUE(Untouched(17));
  EXPECT_EQ(doc->state.qbjFlag, 0);
  EXPECT_EQ(doc->state.modified, kModified);
}

TEST_F(PresetsTest, CommandsAskFirstAndRefreshOnlyOnYes) {
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
  EXPECT_EQ(desk.messages[0].text,
            "This will reset the QBJ shape settings to default. Do you want to continue?");
  EXPECT_EQ(desk.messages[0].buttons, platform::Buttons::YesNo);

  desk.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(DefaultQS2NumberingCommand(*doc, desk, refresh));
  EXPECT_EQ(S(17).replacement, -5);
  EXPECT_TRUE(DefaultQS2NumberingCommand(*doc, desk, refresh));
  EXPECT_EQ(S(17).replacement, 17);
  EXPECT_EQ(refreshed, 2);
  EXPECT_EQ(desk.messages.back().text,
            "This will reset the QS2 shape settings to default. Do you want to continue?");
}
