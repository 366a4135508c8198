#include "frontend/preview_render.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using shared::kBottomRight;

constexpr platform::ColorRef kRed = platform::MakeColorRef(255, 0, 0);
constexpr platform::ColorRef kBlue = platform::MakeColorRef(0, 0, 255);
constexpr int kMedium = 1;

// A sample with detail everywhere, so that a stray or missing pixel shows.
platform::Bitmap MakeSample(int width = kPreviewWidth, int height = kPreviewHeight) {
  platform::Bitmap sample(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = sample.row(y);
    for (int x = 0; x < width; ++x) {
      row[x * 3 + 0] = static_cast<std::uint8_t>(x * 7 + y);
      row[x * 3 + 1] = static_cast<std::uint8_t>(y * 5);
      row[x * 3 + 2] = static_cast<std::uint8_t>((x ^ y) * 3);
    }
  }
  return sample;
}

PreviewInputs Inputs(std::string text) {
  PreviewInputs inputs;
  inputs.text = std::move(text);
  inputs.face = "DejaVu Sans";
  inputs.size_index = kMedium;
  inputs.text_colour = kRed;
  inputs.shadow_colour = kBlue;
  inputs.drop_shadow = true;
  inputs.margin_index = 3;
  inputs.position_index = kBottomRight;
  return inputs;
}

int CountDifferentPixels(const platform::Bitmap& a, const platform::Bitmap& b) {
  int count = 0;
  for (std::size_t i = 0; i < a.pixels.size(); i += 3) {
    if (a.pixels[i] != b.pixels[i] || a.pixels[i + 1] != b.pixels[i + 1] ||
        a.pixels[i + 2] != b.pixels[i + 2]) {
      ++count;
    }
  }
  return count;
}

struct DrawingCase {
  const char* name;
  int size_index;
  int char_height;  // what the size class gives on the preview
  bool bold, italic, underline, strikeout;
  int position;
  int margin;
  bool shadow;
  const char* text = "Mon. 5 Jan 2009, 8:03:04";
  const char* unlike = nullptr;  // a text whose preview must look different
};

// The cell corner on the 518 x 345 preview, written out for the positions the
// table uses.
std::pair<std::int64_t, std::int64_t> CornerFor(const DrawingCase& c, platform::TextExtent text) {
  const int shadow = c.shadow ? 1 : 0;
  const std::int64_t margin_x = kPreviewWidth * c.margin / 100;
  const std::int64_t margin_y =
      kPreviewHeight * (c.size_index == kLargeSizeIndex ? 4 : c.margin) / 100;
  switch (c.position) {
    case 0:
      return {margin_x, margin_y};
    case 4:
      return {kPreviewWidth / 2 - text.width / 2, kPreviewHeight / 2 - text.height / 2};
    default:
      return {kPreviewWidth - (text.width + margin_x + shadow),
              kPreviewHeight - (text.height + margin_y + shadow)};
  }
}

// The preview must show the very pixels the generator puts on a picture of the
// same size: the same font, the shadow one offset further, the text on top.
TEST(PreviewRender, DrawsTheShadowThenTheTextAtThePreviewsCorner) {
  const std::vector<DrawingCase> cases = {
      {"defaults, bottom right", kMedium, 24, false, false, false, false, 8, 3, true},
      {"no shadow", kMedium, 24, false, false, false, false, 8, 3, false},
      {"small, top left without margin", kSmallSizeIndex, 15, false, false, false, false, 0, 0,
       true},
      {"large keeps its vertical margin", kLargeSizeIndex, 35, false, false, false, false, 0, 0,
       true},
      {"large bottom right", kLargeSizeIndex, 35, false, false, false, false, 8, 5, true},
      {"no size selected, centre", -1, 24, false, false, false, false, 4, 10, true},
      {"bold and italic", kMedium, 24, true, true, false, false, 8, 3, true},
      {"underline and strike-out", kMedium, 24, false, false, true, true, 0, 2, false},
      {"no position selected", kMedium, 24, false, false, false, false, -1, 3, true},
      // U+10FFFD is mapped by no font: it shows as DejaVu Sans's missing-glyph box.
      {"Japanese from a font that has it", kMedium, 24, false, false, false, false, 8, 3, true,
       "\u6771\u4EAC", "\U0010FFFD\U0010FFFD"},
  };
  const platform::Bitmap sample = MakeSample();
  for (const DrawingCase& c : cases) {
    const std::string text = c.text;
    PreviewInputs inputs = Inputs(text);
    inputs.size_index = c.size_index;
    inputs.bold = c.bold;
    inputs.italic = c.italic;
    inputs.underline = c.underline;
    inputs.strikeout = c.strikeout;
    inputs.position_index = c.position;
    inputs.margin_index = c.margin;
    inputs.drop_shadow = c.shadow;
    const PreviewRendering rendering = RenderPreview(sample, inputs);

    const platform::Font font(
        {"DejaVu Sans", c.char_height, c.bold, c.italic, c.underline, c.strikeout});
    const platform::TextExtent extent = font.Measure(text);
    const auto [x, y] = CornerFor(c, extent);
    platform::Bitmap expected = sample;
    if (c.shadow) font.Draw(expected, x + 1, y + 1, text, kBlue);
    font.Draw(expected, x, y, text, kRed);

    EXPECT_EQ(rendering.extent.width, extent.width) << c.name;
    EXPECT_EQ(rendering.extent.height, extent.height) << c.name;
    EXPECT_EQ(rendering.placement.stamp_x, x) << c.name;
    EXPECT_EQ(rendering.placement.stamp_y, y) << c.name;
    EXPECT_EQ(CountDifferentPixels(rendering.picture, expected), 0) << c.name;
    EXPECT_GT(CountDifferentPixels(rendering.picture, sample), 50) << c.name;
    if (c.unlike != nullptr) {
      inputs.text = c.unlike;
      EXPECT_GT(CountDifferentPixels(rendering.picture, RenderPreview(sample, inputs).picture), 50)
          << c.name;
    }
  }
}

TEST(PreviewRender, ManyRenderingsLeaveTheSampleAsItWasAndOneStamp) {
  const platform::Bitmap sample = MakeSample();
  const platform::Bitmap untouched = sample;
  const PreviewInputs inputs = Inputs("Mon. 5 Jan 2009, 8:03:04");
  const PreviewRendering first = RenderPreview(sample, inputs);
  for (int i = 0; i < 20; ++i) {
    const PreviewRendering again = RenderPreview(sample, inputs);
    ASSERT_EQ(again.picture.pixels, first.picture.pixels) << "rendering " << i;
  }
  EXPECT_EQ(sample.pixels, untouched.pixels);

  // The one shadow is there beside the one text.
  PreviewInputs without_shadow = inputs;
  without_shadow.drop_shadow = false;
  const platform::Bitmap plain = RenderPreview(sample, without_shadow).picture;
  EXPECT_GT(CountDifferentPixels(first.picture, plain), 50);
}

TEST(PreviewRender, OddInputGivesAPictureAndNoCrash) {
  const platform::Bitmap sample = MakeSample();
  struct Case {
    const char* name;
    std::string text;
    int position;
  };
  const std::vector<Case> cases = {
      {"empty text", "", kBottomRight},
      {"bytes that are not UTF-8", std::string("\xff\xfe\xc3\x28 \x80", 6), 4},
      {"text far wider than the preview", std::string(400, 'W'), 2},
      {"position beyond the list", "12:00", 42},
      {"zero bytes", std::string("a\0b", 3), 0},
  };
  for (const Case& c : cases) {
    PreviewInputs inputs = Inputs(c.text);
    inputs.position_index = c.position;
    const PreviewRendering rendering = RenderPreview(sample, inputs);
    EXPECT_EQ(rendering.picture.width, kPreviewWidth) << c.name;
    EXPECT_EQ(rendering.picture.height, kPreviewHeight) << c.name;
    EXPECT_EQ(rendering.picture.pixels.size(), sample.pixels.size()) << c.name;
  }
  EXPECT_EQ(RenderPreview(sample, Inputs("")).picture.pixels, sample.pixels);

  const platform::Bitmap empty;
  EXPECT_TRUE(RenderPreview(empty, Inputs("12:00")).picture.pixels.empty());
}

}  // namespace
}  // namespace quorvel
