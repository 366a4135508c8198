// What the real generator draws: where the stamp lands, its shadow, size and
// style, and that nothing else of the picture changes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "generator/jpeg_picture.h"
#include "generator/stamp_geometry.h"
#include "platform/text.h"
#include "shared/names.h"
#include "support/generator_run.h"
#include "support/jpeg_maker.h"
#include "support/settings_file.h"

namespace vantrel {
namespace {

using shared::CharHeightForPoints;
using shared::FrontEndExe;
using shared::StampPlacement;
using testing_support::Box;
using testing_support::BoxWhere;
using testing_support::FlatPicture;
using testing_support::GeneratorRun;
using testing_support::ShortTag;
using testing_support::StandInProcess;
namespace fs = std::filesystem;

constexpr platform::ColorRef kGray = platform::MakeColorRef(128, 128, 128);
// A change spreads over the 16 x 16 blocks it touches, and the decoder's
// smooth chroma upsampling carries it one pixel into the next block.
constexpr int kMcu = 16;
constexpr int kUpsamplingReach = 1;

bool IsRed(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return r > 200 && g < 90 && b < 90;
}
bool IsBlue(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return b > 200 && r < 90 && g < 90;
}

bool Inside(const Box& inner, const Box& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

class StampDrawing : public GeneratorRun {
 protected:
  // Stamps one picture with `settings` (red text, blue shadow unless given)
  // and returns the decoded output.
  platform::Bitmap Stamp(const platform::Bitmap& source,
                         const std::map<std::string, std::string>& settings) {
    const std::string name = "p" + std::to_string(++runs_) + ".jpg";
    return StampFile(MakePicture(name, source, std::nullopt), settings);
  }

  // The same for a source picture already made; its name must be new.
  platform::Bitmap StampFile(const std::string& path, std::map<std::string, std::string> settings) {
    settings.try_emplace("r_font_color", "255");
    settings.try_emplace("g_font_color", "0");
    settings.try_emplace("b_font_color", "0");
    settings.try_emplace("r_DropShadow_color", "0");
    settings.try_emplace("g_DropShadow_color", "0");
    settings.try_emplace("b_DropShadow_color", "255");
    WriteSettings(settings);
    WriteList({path});
    const auto result = RunGenerator();
    EXPECT_EQ(result.exit_code, 0) << result.standard_error;
    return DecodeJpegFile(out() + fs::path(path).stem().string() + "_DateTime_0001.jpg");
  }

  StandInProcess front_end_{app(), FrontEndExe};
  int runs_ = 0;
};

// Where the generator should put `text` in the default face.
struct ExpectedStamp {
  StampPlacement place;
  platform::TextExtent extent;
};

ExpectedStamp Expected(int width, int height, const std::string& text, int margin, bool shadow,
                       const std::string& position) {
  const platform::Font font({"DejaVu Sans", CharHeightForPoints(StampFontSizeFor(width, "1"))});
  const auto extent = font.Measure(text);
  return {PlaceStamp(width, height, extent.width, extent.height, margin, shadow, position), extent};
}

// Where drawing the stamp may change a picture: a change spreads over the
// 16 x 16 blocks it touches, and the decoder's smooth chroma upsampling carries
// it one pixel into the next block.
Box StampBlocks(const ExpectedStamp& stamp) {
  const auto block_start = [](std::int64_t v) {
    return static_cast<int>(v) / kMcu * kMcu - kUpsamplingReach;
  };
  const auto block_end = [](std::int64_t v) {
    return static_cast<int>(v) / kMcu * kMcu + kMcu - 1 + kUpsamplingReach;
  };
  const auto& [place, extent] = stamp;
  return {block_start(place.stamp_x), block_start(place.stamp_y),
          block_end(place.stamp_x + extent.width + place.shadow_offset),
          block_end(place.stamp_y + extent.height + place.shadow_offset)};
}

// Where the text's ink lies: its cell, give or take the drawing's edge pixels.
Box TextCell(const ExpectedStamp& stamp) {
  const auto& [place, extent] = stamp;
  return {static_cast<int>(place.stamp_x) - 2, static_cast<int>(place.stamp_y) - 2,
          static_cast<int>(place.stamp_x) + extent.width + 2,
          static_cast<int>(place.stamp_y) + extent.height + 2};
}

bool Contains(const Box& box, int x, int y) {
  return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

// The source brought upright by ImageMagick, which is trusted to read the
// EXIF orientation as viewers do.
platform::Bitmap UprightByTrustedTool(const fs::path& convert, const fs::path& source, int width,
                                      int height) {
  const fs::path raw = source.parent_path() / "upright.rgb";
  const auto result = testing_support::RunProgram(
      convert, {source.string(), "-auto-orient", "-depth", "8", "rgb:" + raw.string()},
      source.parent_path());
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  platform::Bitmap upright(width, height);
  const std::string bytes = testing_support::ReadFile(raw);
  EXPECT_EQ(bytes.size(), upright.pixels.size()) << "ImageMagick's picture has another size";
  std::copy_n(bytes.begin(), std::min(bytes.size(), upright.pixels.size()), upright.pixels.begin());
  return upright;
}

TEST_F(StampDrawing, OnlyTheStampBoxDiffersFromAPlainReEncode) {
  WriteSettings();
  testing_support::ExifSpec exif;
  exif.date_time_original = "2023:01:05 14:03:09";
  const std::string source = MakePicture("dated.jpg", 640, 480, exif);
  WriteList({source});
  ASSERT_EQ(RunGenerator().exit_code, 0);

  const auto stamped = DecodeJpegFile(out() + "dated_DateTime_0001.jpg");
  SaveJpegFile(DecodeJpegFile(source), (pictures() / "plain.jpg").string(), 100);
  const auto plain = DecodeJpegFile((pictures() / "plain.jpg").string());

  const Box allowed = StampBlocks(Expected(640, 480, "Thu. 5 Jan 2023, 14:03:09", 3, true, "8"));

  int changed = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640 * 3; ++x) {
      if (stamped.row(y)[x] == plain.row(y)[x]) continue;
      ++changed;
      const int px = x / 3;
      ASSERT_TRUE(Contains(allowed, px, y))
          << "pixel " << px << "," << y << " changed outside the stamp " << allowed.left << ","
          << allowed.top << " - " << allowed.right << "," << allowed.bottom;
    }
  }
  EXPECT_GT(changed, 100);
}

TEST_F(StampDrawing, EveryPositionPlacesTheTextInsideItsCell) {
  const auto source = FlatPicture(800, 600, kGray);
  for (const std::string position : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "", "x"}) {
    const auto stamped = Stamp(
        source,
        {{"MyTXT", "HH"}, {"DropShadow", "no"}, {"TxtPosition", position}, {"border_margin", "5"}});
    const Box cell = TextCell(Expected(800, 600, "HH", 5, false, position));
    const Box ink = BoxWhere(stamped, IsRed);
    ASSERT_FALSE(ink.empty()) << "position " << position;
    EXPECT_TRUE(Inside(ink, cell)) << "position '" << position << "' ink " << ink.left << ","
                                   << ink.top << " - " << ink.right << "," << ink.bottom;
  }
}

TEST_F(StampDrawing, TheShadowMovesTheTextInAndLiesBehindItOffset) {
  // 6250 pixels wide: a shadow offset of 7 pixels.
  const auto source = FlatPicture(6250, 300, kGray);
  const std::map<std::string, std::string> common = {
      {"MyTXT", "H"}, {"StampSize", "0"}, {"border_margin", "0"}, {"TxtPosition", "8"}};
  auto without = common;
  without["DropShadow"] = "no";
  auto with = common;
  with["DropShadow"] = "yes";

  const Box plain_text = BoxWhere(Stamp(source, without), IsRed);
  const auto shadowed = Stamp(source, with);
  const Box text = BoxWhere(shadowed, IsRed);
  const Box shadow = BoxWhere(shadowed, IsBlue);
  ASSERT_FALSE(plain_text.empty());
  ASSERT_FALSE(shadow.empty());
  EXPECT_NEAR(text.left, plain_text.left - 7, 1);
  EXPECT_NEAR(text.top, plain_text.top - 7, 1);
  EXPECT_NEAR(shadow.right, text.right + 7, 1);
  EXPECT_NEAR(shadow.bottom, text.bottom + 7, 1);
}

TEST_F(StampDrawing, SizeClassesGrowTheText) {
  const auto source = FlatPicture(2000, 400, kGray);
  int last_height = 0;
  for (const std::string size : {"0", "1", "2"}) {
    const Box ink =
        BoxWhere(Stamp(source, {{"MyTXT", "H"}, {"DropShadow", "no"}, {"StampSize", size}}), IsRed);
    ASSERT_FALSE(ink.empty());
    const int height = ink.bottom - ink.top + 1;
    EXPECT_GT(height, last_height) << "size " << size;
    last_height = height;
  }
}

TEST_F(StampDrawing, EachStyleChangesTheDrawnText) {
  const auto source = FlatPicture(600, 200, kGray);
  const std::map<std::string, std::string> plain = {{"MyTXT", "Style"}, {"DropShadow", "no"}};
  const auto reference = Stamp(source, plain);
  for (const std::string key : {"TextBold", "TextItalic", "TextUnderline", "TextStrikeout"}) {
    auto styled = plain;
    styled[key] = "yes";
    EXPECT_GT(testing_support::MeanAbsDifference(Stamp(source, styled), reference), 0.01) << key;
    styled[key] = "Yes";  // only the exact "yes" switches a style on
    EXPECT_EQ(testing_support::MeanAbsDifference(Stamp(source, styled), reference), 0.0) << key;
  }
}

TEST_F(StampDrawing, TheShippedFontIsInTheCommonFolderAndDrawsDifferently) {
  const fs::path shipped = fs::path(QUORVEL_APP_DIR) / "package" / "Fenwyn.pack";
  ASSERT_TRUE(fs::exists(shipped));
  EXPECT_GT(fs::file_size(shipped), 1000u);
  const auto source = FlatPicture(600, 200, kGray);
  const std::map<std::string, std::string> dejavu = {{"MyTXT", "12:34"}, {"DropShadow", "no"}};
  auto dseg = dejavu;
  dseg["font_select_name"] = "DSEG14 Classic";
  EXPECT_GT(testing_support::MeanAbsDifference(Stamp(source, dseg), Stamp(source, dejavu)), 0.01);
}

// Cameras store a turned shot as the sensor saw it and note the turn in the
// EXIF orientation: the output stands as a viewer shows the source, with the
// stamp where the settings put it, for either text and in both byte orders.
TEST_F(StampDrawing, EveryOrientationComesOutUprightWithTheStampInItsCorner) {
  const fs::path convert = "/usr/bin/convert";
  if (!fs::exists(convert)) GTEST_SKIP() << "no ImageMagick: run scripts/install-deps.sh";
  constexpr int kStoredWidth = 961;
  constexpr int kStoredHeight = 723;
  // Grey survives the output's chroma subsampling, so a pixel out of place shows.
  const std::string pixels = testing_support::EncodeJpegBytes(
      testing_support::MakeTestPattern(kStoredWidth, kStoredHeight), 100,
      {testing_support::JpegColors::kGrayscale});
  constexpr int kCodecTolerance = 4;
  struct Case {
    int orientation;
    bool motorola;
    std::string my_text;
    std::vector<testing_support::ExifTag> tags = {};  // none: one SHORT of `orientation`
  };
  const testing_support::ExifTag signed_six{0x0112, testing_support::kExifSignedShort, {}, {6}, {},
                                            {}};
  const Case cases[] = {
      {1, false, ""},
      {2, true, "HH"},
      {3, false, ""},
      {4, true, "HH"},
      {5, false, "HH"},
      {6, true, ""},
      {7, false, ""},
      {8, true, "HH"},
      {0x0103, true, ""},  // its low byte names a turn, the value none
      {3, true, "", {ShortTag(0x0112, 3), ShortTag(0x0112, 6)}},  // the first entry counts
      {6, true, "", {signed_six}},
  };
  for (const Case& c : cases) {
    const std::string name = "o" + std::to_string(&c - cases);
    SCOPED_TRACE(name + ": orientation " + std::to_string(c.orientation));
    testing_support::ExifSpec exif;
    exif.motorola = c.motorola;
    exif.date_time_original = "2023:01:05 14:03:09";
    exif.ifd0 = c.tags;
    if (c.tags.empty()) exif.ifd0 = {ShortTag(0x0112, static_cast<std::uint16_t>(c.orientation))};
    const fs::path source = pictures() / (name + ".jpg");
    testing_support::WriteFile(source, testing_support::InsertSegmentAfterSoi(
                                           pixels, testing_support::MakeExifApp1Segment(exif)));
    const bool swapped = c.orientation >= 5 && c.orientation <= 8;
    const int width = swapped ? kStoredHeight : kStoredWidth;
    const int height = swapped ? kStoredWidth : kStoredHeight;

    const auto stamped = StampFile(source.string(), {{"MyTXT", c.my_text}, {"TxtPosition", "2"}});
    ASSERT_EQ(stamped.width, width);
    ASSERT_EQ(stamped.height, height);

    const std::string text = c.my_text.empty() ? "Thu. 5 Jan 2023, 14:03:09" : c.my_text;
    const ExpectedStamp stamp = Expected(width, height, text, 3, true, "2");
    const Box ink = BoxWhere(stamped, IsRed);
    ASSERT_FALSE(ink.empty());
    EXPECT_TRUE(Inside(ink, TextCell(stamp)));

    const auto upright = UprightByTrustedTool(convert, source, width, height);
    const Box allowed = StampBlocks(stamp);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width * 3; ++x) {
        if (Contains(allowed, x / 3, y)) continue;
        ASSERT_NEAR(stamped.row(y)[x], upright.row(y)[x], kCodecTolerance) << x / 3 << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace vantrel
