// The text that the user-text dialog saves (the shared "after" file, which the
// front-end's tests check the dialog writes) is what the real generator stamps
// on a picture without a shot date.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "shared/names.h"
#include "support/generator_run.h"
#include "support/jpeg_maker.h"
#include "support/user_text_settings.h"

namespace e2e {
namespace {

using shared::FrontEndExe;
using testing_support::BoxWhere;
using testing_support::GeneratorRun;
namespace fs = std::filesystem;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

TEST_F(GeneratorRun, DialogSavedTextIsStampedOnAPictureWithoutDateAndNoTextIsNot) {
  // U+10FFFD is mapped by no font, so it is stamped as DejaVu Sans's
  // missing-glyph box: the Japanese must not look like that.
  constexpr const char* kJapanese = "\u6771\u4EAC";
  constexpr const char* kNoFontHas = "\U0010FFFD\U0010FFFD";
  struct Case {
    const char* name;
    const char* saved_text;
    bool stamped;
    int min_width;  // of the stamped text
  };
  const Case cases[] = {{"with_text", "Holiday 2024", true, 40},
                        {"without_text", "", false, 0},
                        {"japanese", kJapanese, true, 10},
                        {"no_font_has", kNoFontHas, true, 10}};
  std::map<std::string, platform::Bitmap> stamps;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("MyTXT \"") + c.saved_text + "\"");
    testing_support::WriteFile(app() / "sysconfig.ini",
                               testing_support::SettingsAfterUserText(out(), c.saved_text));
    const std::string name = c.name;
    const std::string source = MakePicture(
        name + ".jpg",
        testing_support::FlatPicture(kWidth, kHeight, platform::MakeColorRef(30, 30, 30)),
        std::nullopt);
    const std::string source_bytes = testing_support::ReadFile(source);
    WriteList({source});
    testing_support::StandInProcess front_end(app(), FrontEndExe);
    testing_support::FakeFrontEndWindow window;

    const auto result = RunGenerator();
    ASSERT_EQ(result.exit_code, 0) << result.standard_error;
    EXPECT_EQ(testing_support::ReadFile(source), source_bytes);
    const std::string output = out() + name + "_DateTime_0001.jpg";
    ASSERT_EQ(fs::exists(output), c.stamped);
    if (!c.stamped) continue;

    // White text on a dark picture, at the bottom right as the file says.
    const auto stamped = testing_support::DecodeJpegPicture(output);
    ASSERT_EQ(stamped.width, kWidth);
    const auto text = BoxWhere(stamped, [](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
      return r > 180 && g > 180 && b > 180;
    });
    ASSERT_FALSE(text.empty()) << "nothing was drawn";
    EXPECT_GT(text.left, kWidth / 3);
    EXPECT_GT(text.top, kHeight / 2);
    EXPECT_GT(text.right - text.left, c.min_width) << "too narrow for the saved text";
    stamps[c.saved_text] = stamped;
  }
  EXPECT_GT(testing_support::MeanAbsDifference(stamps[kJapanese], stamps[kNoFontHas]), 0.0);
}

}  // namespace
}  // namespace e2e
