#include "frontend/preview_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel {
namespace {

using shared::CharHeightForPoints;
using shared::kTopLeft;
using shared::ShadowOffsetFor;
using shared::StampPlacement;

constexpr int kWidth = 518;
constexpr int kHeight = 345;
constexpr int kMedium = 1;
constexpr int kNoSelection = -1;

TEST(PreviewGeometry, SizeClassesGiveTheirFontSizes) {
  struct Case {
    int size_index, points, pixels;
  };
  const std::vector<Case> cases = {
      {kSmallSizeIndex, 11, 15}, {kMedium, 18, 24}, {kLargeSizeIndex, 26, 35},
      {kNoSelection, 18, 24},    {3, 18, 24},
  };
  for (const Case& c : cases) {
    const int points = PreviewFontPoints(kWidth, c.size_index);
    EXPECT_EQ(points, c.points) << c.size_index;
    EXPECT_EQ(CharHeightForPoints(points), c.pixels) << c.size_index;
  }
  EXPECT_EQ(ShadowOffsetFor(kWidth), 1);
}

TEST(PreviewGeometry, MarginsAndTheVerticalMarginOfLarge) {
  struct Case {
    int size_index, margin, margin_x, margin_y;
  };
  const std::vector<Case> cases = {
      {kMedium, 3, 15, 10},
      {kLargeSizeIndex, 3, 15, 13},
      {kLargeSizeIndex, 0, 0, 13},
      {kLargeSizeIndex, 10, 51, 13},
      {kSmallSizeIndex, 10, 51, 34},
      {kNoSelection, 3, 15, 10},
      {kMedium, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const StampPlacement p =
        PlacePreviewText(kWidth, kHeight, {100, 20}, {c.size_index, c.margin, true, kTopLeft});
    EXPECT_EQ(p.margin_x, c.margin_x) << c.size_index << " " << c.margin;
    EXPECT_EQ(p.margin_y, c.margin_y) << c.size_index << " " << c.margin;
    EXPECT_EQ(p.stamp_x, c.margin_x) << c.size_index << " " << c.margin;
    EXPECT_EQ(p.stamp_y, c.margin_y) << c.size_index << " " << c.margin;
  }
}

struct PositionCase {
  int position;
  int text_width;
  int size_index;
  int margin;
  bool shadow;
  std::int64_t x, y;
};

TEST(PreviewGeometry, EveryPositionWithAndWithoutShadow) {
  // Text 100 x 20 (or 101 x 20): margin 3 % is 15 across and 10 down (13 for
  // "Large"); the shadow offset is 1.
  const std::vector<PositionCase> cases = {
      {0, 100, kMedium, 3, true, 15, 10},
      {1, 100, kMedium, 3, true, 209, 10},
      {2, 100, kMedium, 3, true, 402, 10},
      {3, 100, kMedium, 3, true, 15, 162},
      {4, 100, kMedium, 3, true, 209, 162},
      {5, 100, kMedium, 3, true, 402, 162},
      {6, 100, kMedium, 3, true, 15, 314},
      {7, 100, kMedium, 3, true, 209, 314},
      {8, 100, kMedium, 3, true, 402, 314},
      {8, 100, kMedium, 3, false, 403, 315},
      {2, 100, kMedium, 3, false, 403, 10},
      {5, 100, kMedium, 3, false, 403, 162},
      {6, 100, kMedium, 3, false, 15, 315},
      {7, 100, kMedium, 3, false, 209, 315},
      {kNoSelection, 100, kMedium, 3, true, 402, 314},
      {9, 100, kMedium, 3, true, 402, 314},
      {0, 100, kMedium, 0, true, 0, 0},
      {4, 100, kMedium, 0, false, 209, 162},
      {4, 100, kLargeSizeIndex, 10, true, 209, 162},
      {4, 101, kMedium, 3, true, 209, 162},
      {1, 101, kMedium, 3, true, 209, 10},
      {2, 101, kMedium, 3, true, 401, 10},
      {8, 101, kMedium, 3, false, 402, 315},
      {0, 100, kLargeSizeIndex, 3, true, 15, 13},
      {8, 100, kLargeSizeIndex, 3, true, 402, 311},
      {8, 100, kLargeSizeIndex, 0, false, 418, 312},
      {8, 600, kMedium, 0, false, -82, 325},
  };
  for (const PositionCase& c : cases) {
    const StampPlacement p = PlacePreviewText(kWidth, kHeight, {c.text_width, 20},
                                              {c.size_index, c.margin, c.shadow, c.position});
    const std::string label = "position " + std::to_string(c.position) + ", width " +
                              std::to_string(c.text_width) + ", size " +
                              std::to_string(c.size_index) + ", margin " +
                              std::to_string(c.margin) + (c.shadow ? ", shadow" : "");
    EXPECT_EQ(p.stamp_x, c.x) << label;
    EXPECT_EQ(p.stamp_y, c.y) << label;
    EXPECT_EQ(p.shadow_offset, 1) << label;
    EXPECT_EQ(p.drop_shadow, c.shadow) << label;
  }
}

}  // namespace
}  // namespace quorvel
