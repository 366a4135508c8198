#include "generator/stamp_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace vantrel {

using shared::CharHeightForPoints;
using shared::ShadowOffsetFor;
using shared::StampPlacement;

TEST(StampGeometry, WorkedExample) {
  EXPECT_EQ(ShadowOffsetFor(4000), 5);
  EXPECT_EQ(StampFontSizeFor(4000, "1"), 140);
  EXPECT_EQ(CharHeightForPoints(140), 187);
  const StampPlacement p = PlaceStamp(4000, 3000, 1500, 190, 3, true, "8");
  EXPECT_EQ(p.shadow_offset, 5);
  EXPECT_EQ(p.margin_x, 120);
  EXPECT_EQ(p.margin_y, 90);
  EXPECT_EQ(p.box_width, 1625);
  EXPECT_EQ(p.box_height, 285);
  EXPECT_EQ(p.stamp_x, 2375);
  EXPECT_EQ(p.stamp_y, 2715);
}

TEST(ShadowOffsetFor, RoundsExactHalvesDown) {
  const std::vector<std::pair<int, int>> cases = {
      {1250, 1}, {3750, 4}, {6250, 7}, {1251, 2}, {4000, 5}, {417, 1}, {416, 0}, {0, 0},
  };
  for (const auto& [width, offset] : cases) EXPECT_EQ(ShadowOffsetFor(width), offset) << width;
  EXPECT_EQ(ShadowOffsetFor(INT_MAX), 2576980);
}

TEST(StampFontSizeFor, SizeClasses) {
  struct Case {
    int width;
    std::string size;
    int points;
  };
  const std::vector<Case> cases = {
      {4000, "0", 84},
      {4000, "1", 140},
      {4000, "2", 196},
      {4000, "", 140},
      {4000, "9", 140},
      {4000, "Medium", 140},
      {1999, "1", 70},  // 99 - 29
      {33, "0", 0},
      {34, "0", 1},
      {19, "1", 0},
      {20, "1", 1},
      {14, "2", 0},
      {15, "2", 1},
      {INT_MAX, "2", 105226699},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StampFontSizeFor(c.width, c.size), c.points) << c.width << " " << c.size;
  }
}

TEST(CharHeightForPoints, RoundsToNearestPixel) {
  EXPECT_EQ(CharHeightForPoints(1), 1);  // 1.33
  EXPECT_EQ(CharHeightForPoints(2), 3);  // 2.67
  EXPECT_EQ(CharHeightForPoints(INT_MAX), INT_MAX);
}

TEST(PlaceStamp, AllPositions) {
  // 1001 x 801 picture, text 301 x 51, margin 10 %, with shadow (offset 1).
  struct Case {
    std::string position;
    std::int64_t x, y;
  };
  const std::vector<Case> cases = {
      {"0", 100, 80},  {"1", 350, 80},  {"2", 599, 80},  {"3", 100, 375},
      {"4", 350, 375}, {"5", 599, 375}, {"6", 100, 669}, {"7", 350, 669},
      {"8", 599, 669}, {"", 599, 669},  {"x", 599, 669}, {"08", 599, 669},
  };
  for (const Case& c : cases) {
    const StampPlacement p = PlaceStamp(1001, 801, 301, 51, 10, true, c.position);
    EXPECT_EQ(p.stamp_x, c.x) << '"' << c.position << '"';
    EXPECT_EQ(p.stamp_y, c.y) << '"' << c.position << '"';
  }
}

TEST(PlaceStamp, ShadowMovesOnlyFarEdges) {
  const StampPlacement with = PlaceStamp(4000, 3000, 1500, 190, 3, true, "8");
  const StampPlacement without = PlaceStamp(4000, 3000, 1500, 190, 3, false, "8");
  EXPECT_EQ(without.stamp_x - with.stamp_x, 5);
  EXPECT_EQ(without.stamp_y - with.stamp_y, 5);
  EXPECT_EQ(without.shadow_offset, 5);

  for (const char* position : {"0", "4"}) {
    const StampPlacement a = PlaceStamp(4000, 3000, 1500, 190, 3, true, position);
    const StampPlacement b = PlaceStamp(4000, 3000, 1500, 190, 3, false, position);
    EXPECT_EQ(a.stamp_x, b.stamp_x) << position;
    EXPECT_EQ(a.stamp_y, b.stamp_y) << position;
  }
}

TEST(PlaceStamp, NegativeMarginAndOversizedText) {
  // Division drops the remainder toward zero: -3 % of 1010 is -30.
  const StampPlacement negative = PlaceStamp(1010, 1010, 100, 50, -3, false, "0");
  EXPECT_EQ(negative.margin_x, -30);
  EXPECT_EQ(negative.stamp_x, -30);
  const StampPlacement far = PlaceStamp(1010, 1010, 100, 50, -3, false, "8");
  EXPECT_EQ(far.stamp_x, 1010 - (100 - 30));

  const StampPlacement wide = PlaceStamp(400, 300, 1000, 50, 0, false, "2");
  EXPECT_EQ(wide.stamp_x, -600);
  EXPECT_EQ(PlaceStamp(400, 300, 1001, 51, 0, false, "4").stamp_x, 200 - 500);
}

TEST(PlaceStamp, HugeValuesDoNotOverflow) {
  const StampPlacement p = PlaceStamp(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, true, "8");
  const std::int64_t margin = std::int64_t{INT_MAX} * INT_MAX / 100;
  EXPECT_EQ(p.margin_x, margin);
  EXPECT_EQ(p.box_width, std::int64_t{INT_MAX} + margin + 2576980);
  EXPECT_EQ(p.stamp_x, std::int64_t{INT_MAX} - p.box_width);

  const StampPlacement low = PlaceStamp(INT_MAX, 3000, 10, 10, INT_MIN, false, "0");
  EXPECT_EQ(low.margin_x, std::int64_t{INT_MAX} * INT_MIN / 100);
  EXPECT_EQ(low.stamp_x, low.margin_x);
}

}  // namespace vantrel
