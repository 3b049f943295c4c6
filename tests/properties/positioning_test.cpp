// The positioning previews on bare records: where shapes land, what the
// background is, and how far a drag may take the shape or the figure.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "../display/display_fixture.h"
#include "editing/canvas_view.h"
#include "properties/positioning.h"

using namespace qshe;
using platform::DialogEvent;

namespace {

Shape Solid(int w, int h, uint8_t colour, int ox = 0, int oy = 0) {
  Shape s;
  AllocateShape(s, w, h);
  std::fill(s.pixels.get(), s.pixels.get() + w * h, colour);
  s.offsetX = ox;
  s.offsetY = oy;
  return s;
}

struct PreviewDrawing : qshe::testing::DisplayTest {
  std::vector<Shape> helpers = std::vector<Shape>(kHelperShapeCount);
  Shape backdrop;
  PositionWindow shapeWindow{kShapePositionDialog, Buffer(kPreviewSize, kPreviewSize)};
  PositionWindow tavrelWindow{kTavrelPositionDialog, shapeWindow.buffer};

  void Draw(const PositionWindow& w, const Shape& current, int background = 0) {
    DrawPositionWindow(state, w, {helpers, backdrop, current, background});
    SelectBuffer(state, w.buffer);
  }
  // The rows of column x that hold colour c, as (first, last); (-1, -1) for none.
  std::pair<int, int> Rows(int x, int c) {
    int first = -1, last = -1;
    for (int y = 0; y < kPreviewSize; ++y) {
      if (ReadPixel(state, x, y) != c) continue;
      if (first < 0) first = y;
      last = y;
    }
    return {first, last};
  }
};

}  // namespace

TEST_F(PreviewDrawing, ShapesLandAtTheOriginPlusOffsetsButNeverBelowTheFloorLine) {
  // (0, 0) and 20 x 10: top-left pixel at (66, 66).
  Shape small = Solid(20, 10, 7);
  Draw(shapeWindow, small);
  EXPECT_EQ(Rows(66, 7), std::pair(66, 75));
  EXPECT_EQ(std::tuple(ReadPixel(state, 65, 66), ReadPixel(state, 85, 66), ReadPixel(state, 86, 66)),
            std::tuple(kPlainBackground, 7, kPlainBackground));
  // 40 rows at offsetY 60 would reach row 165: the bottom row sits on 160.
  Shape tall = Solid(4, 40, 9, -10, 60);
  Draw(shapeWindow, tall);
  EXPECT_EQ(Rows(56, 9), std::pair(121, kFloorLine));
  EXPECT_EQ(Rows(66, 7), std::pair(-1, -1));  // the last picture is gone

  // The floor tile's lower-left corner is fixed; the backdrop lies under the
  // shape; the figure is moved from its own place by the Tavrel position.
  helpers[kFloorTileSlot] = Solid(30, 5, 3);
  helpers[kFigureSlot] = Solid(2, 10, 4, 5, 20);
  backdrop = Solid(20, 20, 5, 0, 0);
  small.tavrelX = -7;
  small.tavrelY = 110;
  Draw(tavrelWindow, small);
  EXPECT_EQ(Rows(68, 3), std::pair(156, kFloorLine));
  EXPECT_EQ(Rows(66, 5), std::pair(76, 85));  // shows below the 10 rows of the shape
  EXPECT_EQ(PlaceFigure(helpers[kFigureSlot], small), (PreviewPoint{64, 95 + 110}));
  EXPECT_EQ(Rows(64, 4), std::pair(196, 199));  // clipped at the buffer's foot
  Draw(shapeWindow, small);
  EXPECT_EQ(Rows(64, 4), std::pair(-1, -1));  // only the Tavrel window has the figure
}

TEST_F(PreviewDrawing, BackgroundsFollowTheCanvasView) {
  Shape none;
  for (auto [type, at00, at80, at88] : {std::tuple{0, 95, 95, 95}, {1, 173, 89, 173}, {2, 50, 50, 50}}) {
    Draw(shapeWindow, none, type);
    EXPECT_EQ(std::tuple(ReadPixel(state, 0, 0), ReadPixel(state, 8, 0), ReadPixel(state, 8, 8),
                         ReadPixel(state, 199, 199)),
              std::tuple(at00, at80, at88, type == 1 ? 173 : at00))
        << type;
  }
}

namespace {

struct Drags : ::testing::Test {
  Document doc;
  PositionWindow shapeWindow{kShapePositionDialog};
  PositionWindow tavrelWindow{kTavrelPositionDialog};

  Drags() {
    doc.list.count = 1;
    AllocateShape(doc.list.Current(), 10, 40);
  }
  bool Send(PositionWindow& w, DialogEvent event, int x, int y, int button = 1) {
    return OnPositionMouse(w, doc, {w.dialog, kPreviewSurface, event, x, y, button});
  }
  // Press at `from`, move to each point, release at the last.
  void Drag(PositionWindow& w, std::pair<int, int> from, std::vector<std::pair<int, int>> to, int button = 1) {
    Send(w, DialogEvent::MouseDown, from.first, from.second, button);
    for (auto [x, y] : to) Send(w, DialogEvent::MouseMove, x, y, 0);
    Send(w, DialogEvent::MouseUp, to.back().first, to.back().second, button);
  }
  Shape& S() { return doc.list.Current(); }
};

}  // namespace

TEST_F(Drags, TheShapeStopsAtTheFloorLineAndTheLimitsAndFollowsACapturedDragOutside) {
  Drag(shapeWindow, {100, 100}, {{100, 150}, {100, 400}});
  EXPECT_EQ(S().offsetY, 55);  // 95 - 40 rows
  EXPECT_EQ(doc.state.modified, kModified);
  Drag(shapeWindow, {0, 0}, {{300, 0}});
  EXPECT_EQ(S().offsetX, 127);
  Drag(shapeWindow, {0, 0}, {{-400, -400}});
  EXPECT_EQ(std::tuple(S().offsetX, S().offsetY), std::tuple(-127, -127));
  // Pressed at x = 10, moved to 5 pixels left of the window.
  S().offsetX = 0;
  Drag(shapeWindow, {10, 50}, {{3, 50}, {-5, 50}});
  EXPECT_EQ(S().offsetX, -15);
  EXPECT_EQ(doc.state.qbjFlag, 0);

  // Only the left button drags, and only after a press in the window.
  doc.state.modified = kUnmodified;
  Drag(shapeWindow, {0, 0}, {{20, 0}}, 2);
  EXPECT_FALSE(Send(shapeWindow, DialogEvent::MouseMove, 60, 60, 0));
  EXPECT_EQ(S().offsetX, -15);
  EXPECT_EQ(doc.state.modified, kUnmodified);
}

TEST_F(Drags, TheFigureHasNoFloorLineAndGivesTheDocumentObjectProperties) {
  Drag(tavrelWindow, {50, 0}, {{50, 100}, {50, 200}});
  EXPECT_EQ(std::tuple(S().tavrelX, S().tavrelY, S().offsetY), std::tuple(0, 127, 0));
  EXPECT_EQ(doc.state.qbjFlag, 1);
  EXPECT_EQ(doc.state.modified, kModified);
  Drag(tavrelWindow, {50, 50}, {{-250, 40}});
  EXPECT_EQ(std::tuple(S().tavrelX, S().tavrelY), std::tuple(-127, 117));
}
