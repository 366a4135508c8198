#include "generator/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/errors.h"
#include "support/settings_file.h"
#include "support/temp_dir.h"

namespace vantrel {

namespace {

using Keys = std::map<std::string, std::string>;

// A file as the front-end writes it, with the given keys replaced or added.
Keys FrontEndKeys(const Keys& changes = {}) {
  Keys keys = testing_support::DefaultSettings();
  const Keys distinct = {{"r_DropShadow_color", "1"},     {"g_DropShadow_color", "2"},
                         {"b_DropShadow_color", "3"},     {"TextItalic", "yes"},
                         {"TextStrikeout", "yes"},        {"YearDisplay", ""},
                         {"Output Path", "/home/u/out/"}, {"MyTXT", "  Hello  "}};
  for (const auto& [key, value] : distinct) keys[key] = value;
  for (const auto& [key, value] : changes) keys[key] = value;
  return keys;
}

class SettingsFile {
 public:
  explicit SettingsFile(const Keys& keys) { testing_support::WriteSettingsFile(dir_.path(), keys); }
  std::string path() const { return (dir_ / "sysconfig.ini").string(); }

 private:
  testing_support::TempDir dir_;
};

std::string ConversionMessage(const Keys& keys) {
  const SettingsFile file(keys);
  try {
    ReadGeneratorSettings(file.path());
  } catch (const platform::ConvertError& e) {
    return e.what();
  }
  return "no error";
}

TEST(GeneratorSettings, ReadsEveryValue) {
  const SettingsFile file(FrontEndKeys());
  const GeneratorSettings s = ReadGeneratorSettings(file.path());
  EXPECT_EQ(s.text_color, 0x4080FFu);
  EXPECT_EQ(s.shadow_color, 0x030201u);
  EXPECT_EQ(s.font_select_name, "DejaVu Sans");
  EXPECT_EQ(s.DropShadow, "yes");
  EXPECT_EQ(s.TxtPosition, "8");
  EXPECT_EQ(s.StampSize, "1");
  EXPECT_EQ(s.DateFormat, 0);
  EXPECT_EQ(s.DayDisplay, "s");
  EXPECT_EQ(s.DayNotShow, "no");
  EXPECT_EQ(s.Separated, "0");
  EXPECT_EQ(s.MonthDisplay, "s");
  EXPECT_EQ(s.YearDisplay, "");
  EXPECT_EQ(s.TimeStyle, "HMS");
  EXPECT_EQ(s.border_margin, 3);
  EXPECT_EQ(s.OutputPath, "/home/u/out/");
  EXPECT_EQ(s.MyTXT, "Hello");
}

TEST(GeneratorSettings, ColourBytesKeepTheirLowEightBits) {
  struct Case {
    const char *r, *g, *b;
    platform::ColorRef expected;
  };
  for (const Case& c : {Case{"255", "0", "0", 255u}, Case{"256", "0", "0", 0u},
                        Case{"0", "0", "-1", 0xFF0000u}, Case{"300", "  7", "+1", 0x01072Cu}}) {
    const SettingsFile file(FrontEndKeys({{"r_font_color", c.r},
                                          {"g_font_color", c.g},
                                          {"b_font_color", c.b},
                                          {"r_DropShadow_color", c.r},
                                          {"g_DropShadow_color", c.g},
                                          {"b_DropShadow_color", c.b}}));
    const GeneratorSettings s = ReadGeneratorSettings(file.path());
    EXPECT_EQ(s.text_color, c.expected) << c.r << " " << c.g << " " << c.b;
    EXPECT_EQ(s.shadow_color, c.expected) << c.r << " " << c.g << " " << c.b;
  }
}

TEST(GeneratorSettings, NegativeMarginAndBlankUserTextAreTakenAsTheyAre) {
  const SettingsFile file(FrontEndKeys({{"border_margin", "-3"}, {"MyTXT", " \t "}}));
  const GeneratorSettings s = ReadGeneratorSettings(file.path());
  EXPECT_EQ(s.border_margin, -3);
  EXPECT_EQ(s.MyTXT, "");
}

TEST(GeneratorSettings, FirstBadNumberInReadingOrderIsReported) {
  struct Case {
    Keys changes;
    const char* message;
  };
  const Case cases[] = {
      {{{"r_font_color", "r"}, {"g_font_color", "g"}, {"b_font_color", "b"}},
       "'b' is not a valid integer value"},
      {{{"r_font_color", "r"}, {"g_font_color", "g"}}, "'g' is not a valid integer value"},
      {{{"r_font_color", ""}, {"b_DropShadow_color", "x"}}, "'' is not a valid integer value"},
      {{{"r_DropShadow_color", "r"}, {"DateFormat", "d"}}, "'r' is not a valid integer value"},
      {{{"DateFormat", "d"}, {"border_margin", "m"}}, "'d' is not a valid integer value"},
      {{{"border_margin", ""}}, "'' is not a valid integer value"},
      {{{"border_margin", "x"}}, "'x' is not a valid integer value"},
      // Keys the generator reads as text never stop it.
      {{{"TxtPosition", "x"}, {"Separated", "x"}, {"font_select", "x"}}, "no error"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConversionMessage(FrontEndKeys(c.changes)), c.message);
  }
}

TEST(GeneratorSettings, MissingFileFailsOnTheEmptyValue) {
  testing_support::TempDir dir;
  try {
    ReadGeneratorSettings((dir / "sysconfig.ini").string());
    FAIL() << "no error";
  } catch (const platform::ConvertError& e) {
    EXPECT_EQ(std::string(e.what()), "'' is not a valid integer value");
  }
}

TEST(GeneratorSettings, TextStyleTakesOnlyExactYes) {
  GeneratorSettings s;
  s.TextBold = "yes";
  s.TextItalic = "Yes";
  s.TextUnderline = "yes";
  s.TextStrikeout = "yes ";
  const TextStyle style = TextStyleOf(s);
  EXPECT_TRUE(style.bold);
  EXPECT_FALSE(style.italic);
  EXPECT_TRUE(style.underline);
  EXPECT_FALSE(style.strikeout);
  EXPECT_FALSE(TextStyleOf(GeneratorSettings{}).bold);
}

}  // namespace

}  // namespace vantrel
