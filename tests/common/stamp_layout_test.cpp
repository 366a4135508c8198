#include "shared/stamp_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace shared {
namespace {

TEST(PlaceTextCell, PositionIndexesAndTheirFallBack) {
  // 1001 x 801 picture, text 301 x 51, margins 100 across and 40 down, shadow
  // offset 1.
  struct Case {
    int position;
    std::int64_t x, y;
  };
  const std::vector<Case> cases = {
      {0, 100, 40},  {1, 350, 40},   {2, 599, 40},        {3, 100, 375},       {4, 350, 375},
      {5, 599, 375}, {6, 100, 709},  {7, 350, 709},       {8, 599, 709},       {-1, 599, 709},
      {9, 599, 709}, {30, 599, 709}, {INT_MIN, 599, 709}, {INT_MAX, 599, 709},
  };
  for (const Case& c : cases) {
    const StampPlacement p = PlaceTextCell(1001, 801, 301, 51, 100, 40, true, c.position);
    EXPECT_EQ(p.stamp_x, c.x) << c.position;
    EXPECT_EQ(p.stamp_y, c.y) << c.position;
    EXPECT_EQ(p.box_width, 301 + 100 + 1) << c.position;
    EXPECT_EQ(p.box_height, 51 + 40 + 1) << c.position;
  }
}

int CountPixelsOf(const platform::Bitmap& bitmap, platform::ColorRef colour) {
  int count = 0;
  for (std::size_t i = 0; i < bitmap.pixels.size(); i += 3) {
    if (bitmap.pixels[i] == platform::RedOf(colour) &&
        bitmap.pixels[i + 1] == platform::GreenOf(colour) &&
        bitmap.pixels[i + 2] == platform::BlueOf(colour)) {
      ++count;
    }
  }
  return count;
}

TEST(DrawStamp, ShadowFirstAtItsOffsetThenTheTextOnTop) {
  constexpr platform::ColorRef kRed = platform::MakeColorRef(255, 0, 0);
  constexpr platform::ColorRef kBlue = platform::MakeColorRef(0, 0, 255);
  const platform::Font font({"DejaVu Sans", 40});
  const std::string text = "HIM";
  for (const bool shadow : {true, false}) {
    StampPlacement place = PlaceTextCell(4000, 120, 0, 0, 20, 20, shadow, kTopLeft);
    ASSERT_EQ(place.shadow_offset, 5);
    platform::Bitmap drawn(300, 120);
    DrawStamp(drawn, font, text, place, {kRed, kBlue});

    platform::Bitmap expected(300, 120);
    if (shadow) font.Draw(expected, 25, 25, text, kBlue);
    font.Draw(expected, 20, 20, text, kRed);
    EXPECT_EQ(drawn.pixels, expected.pixels) << shadow;
    EXPECT_GT(CountPixelsOf(drawn, kRed), 100) << shadow;
    EXPECT_EQ(CountPixelsOf(drawn, kBlue) > 100, shadow) << shadow;
  }
}

}  // namespace
}  // namespace shared
