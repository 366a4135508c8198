#include "frontend/settings_record.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "shared/sysconfig.h"
#include "window_fixture.h"

namespace {

using quorvel::LoadContext;
using quorvel::LoadSettings;
using quorvel::SettingsWrites;
using quorvel::WindowSettings;
using quorvel_test::TempDir;
using quorvel_test::WriteFile;

WindowSettings FirstStartSettings() {
  WindowSettings s;
  s.TextColor = 0x4080FF;
  s.FontIndex = 0;
  s.FontName = "Some Face";
  s.DropShadow = true;
  s.PositionIndex = 8;
  s.SizeIndex = 1;
  s.DateFormatIndex = 0;
  s.DayStyle = "s";
  s.SeparatedIndex = 0;
  s.MonthStyle = "s";
  s.TimeStyle = "HMS";
  s.MarginIndex = 3;
  return s;
}

TEST(SettingsWrites, WritesKeysOneToFiftySixInOrderWithTheirValues) {
  const auto writes = SettingsWrites(FirstStartSettings());
  const auto keys = shared::SysConfig::AllKeys();
  ASSERT_EQ(writes.size(), shared::SysConfig::KeyCount - 1);  // MyTXT is the dialog's
  for (std::size_t i = 0; i < writes.size(); ++i) EXPECT_EQ(writes[i].first, keys[i]) << i;
  const auto value = [&](std::string_view key) {
    for (const auto& [k, v] : writes)
      if (k == key) return v;
    return std::string("<absent>");
  };
  EXPECT_EQ(value("r_font_color"), "255");
  EXPECT_EQ(value("g_font_color"), "128");
  EXPECT_EQ(value("b_font_color"), "64");
  EXPECT_EQ(value("ColorA"), "");
  EXPECT_EQ(value("DropShadow"), "yes");
  EXPECT_EQ(value("TextBold"), "no");
  EXPECT_EQ(value("YearDisplay"), "");
  EXPECT_EQ(value("Output Path"), "");
  EXPECT_EQ(value("border_margin"), "3");
}

TEST(SettingsWrites, ValueFormsForUnusualStates) {
  struct Case {
    const char* what;
    void (*change)(WindowSettings&);
    std::string_view key;
    std::string expected;  // "<absent>" when the key is not written
  };
  const Case cases[] = {
      {"no position chosen", [](WindowSettings& s) { s.PositionIndex = -1; }, "TxtPosition", "8"},
      {"no size chosen", [](WindowSettings& s) { s.SizeIndex = -1; }, "StampSize", "-1"},
      {"no font chosen", [](WindowSettings& s) { s.FontIndex = -1; }, "font_select", "-1"},
      {"no time option", [](WindowSettings& s) { s.TimeStyle.reset(); }, "TimeStyle", "<absent>"},
      {"shadow colour bytes", [](WindowSettings& s) { s.ShadowColor = 0x010203; },
       "r_DropShadow_color", "3"},
      {"shadow slot from its list",
       [](WindowSettings& s) { s.ShadowCustomColors = {"ColorC=ABCDEF"}; }, "ShadowColorC",
       "ABCDEF"},
      {"day not shown", [](WindowSettings& s) { s.DayNotShow = true; }, "DayNotShow", "yes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowSettings s = FirstStartSettings();
    c.change(s);
    std::string found = "<absent>";
    for (const auto& [key, value] : SettingsWrites(s))
      if (key == c.key) found = value;
    EXPECT_EQ(found, c.expected);
  }
}

TEST(SettingsWrites, TimeStyleComesFromTheCheckedOption) {
  EXPECT_EQ(quorvel::TimeStyleCode(true, false, false), "HM");
  EXPECT_EQ(quorvel::TimeStyleCode(false, true, false), "HMS");
  EXPECT_EQ(quorvel::TimeStyleCode(false, false, true), "no");
  EXPECT_EQ(quorvel::TimeStyleCode(false, false, false), std::nullopt);
}

class LoadSettingsTest : public ::testing::Test {
 protected:
  // A complete file, with `extra` lines appended after the defaults.
  quorvel::LoadedSettings Load(const std::string& body, std::size_t fonts = 5) {
    WriteFile(folder_.path() / "sysconfig.ini", "[LastConfig]\r\n" + body);
    platform::IniFile file((folder_.path() / "sysconfig.ini").string());
    return LoadSettings(
        file, LoadContext{fonts, folder_.slash(),
                          [this](const std::string& p) { return p == existing_; }, 0xABCDEF, 0});
  }
  static std::string Body(const std::string& date_format = "0", const std::string& output = "") {
    return "r_font_color=300\r\ng_font_color=-1\r\nb_font_color=1\r\nfont_select=9\r\n"
           "ColorA=4080FF\r\nr_DropShadow_color=1\r\ng_DropShadow_color=2\r\n"
           "b_DropShadow_color=3\r\nTextBold=yes\r\nTxtPosition=4\r\nDateFormat=" +
           date_format + "\r\nDayDisplay=l\r\nSeparated=2\r\nborder_margin=-1\r\n" +
           "Output Path=" + output + "\r\nMyTXT=hello\r\n";
  }
  TempDir folder_;
  std::string existing_ = "/exists/";
};

TEST_F(LoadSettingsTest, ReadsEveryKeyTakingLowBytesAndClampingTheFont) {
  const auto loaded = Load(Body("0", "/exists/"));
  EXPECT_TRUE(loaded.Problems.empty());
  EXPECT_EQ(loaded.TextColor, 44u | (255u << 8) | (1u << 16));  // 300 -> 44, -1 -> 255
  EXPECT_EQ(loaded.FontIndex, 0);                               // 9 of 5 fonts -> the first
  EXPECT_EQ(loaded.ShadowColor, 0x030201u);
  ASSERT_EQ(loaded.TextCustomColors.size(), 16u);
  EXPECT_EQ(loaded.TextCustomColors[0], "ColorA=4080FF");
  EXPECT_EQ(loaded.ShadowCustomColors[0], "ColorA=");  // "Shadow" only lives in the file
  EXPECT_EQ(loaded.Texts.TextBold, "yes");
  EXPECT_EQ(loaded.Texts.TxtPosition, "4");
  EXPECT_EQ(loaded.Texts.DayDisplay, "l");
  EXPECT_EQ(loaded.DateFormat, 0);
  EXPECT_EQ(loaded.Separated, 2);
  EXPECT_EQ(loaded.Margin, -1);
  EXPECT_EQ(loaded.OutputPath, "/exists/");
  EXPECT_EQ(loaded.MyTXT, "hello");
}

TEST_F(LoadSettingsTest, ReorderedAndExtraKeysReadTheSame) {
  const auto ordered = Load(Body("2", "/exists/"));
  const auto shuffled = Load(
      "MyTXT=hello\r\nSomething=else\r\nOutput Path=/exists/\r\nborder_margin=-1\r\n"
      "Separated=2\r\nDayDisplay=l\r\nDateFormat=2\r\nTxtPosition=4\r\nTextBold=yes\r\n"
      "b_DropShadow_color=3\r\ng_DropShadow_color=2\r\nr_DropShadow_color=1\r\n"
      "ColorA=4080FF\r\nfont_select=9\r\nb_font_color=1\r\ng_font_color=-1\r\n"
      "r_font_color=300\r\n");
  EXPECT_EQ(shuffled.TextColor, ordered.TextColor);
  EXPECT_EQ(shuffled.TextCustomColors, ordered.TextCustomColors);
  EXPECT_EQ(shuffled.DateFormat, ordered.DateFormat);
  EXPECT_EQ(shuffled.OutputPath, ordered.OutputPath);
  EXPECT_EQ(shuffled.MyTXT, ordered.MyTXT);
}

TEST_F(LoadSettingsTest, ABadNumberCostsOnlyItsKeyAndIsNamedWithItsValue) {
  const auto loaded = Load(Body("x", "/exists/"));
  EXPECT_EQ(loaded.Problems,
            std::vector<std::string>{"DateFormat=x is not a valid integer value; its first-start "
                                     "value is used"});
  EXPECT_FALSE(loaded.DateFormat);
  EXPECT_EQ(loaded.Texts.DayDisplay, "l");  // read all the same
  EXPECT_EQ(loaded.Separated, 2);
  EXPECT_EQ(loaded.OutputPath, "/exists/");
  EXPECT_EQ(loaded.MyTXT, "hello");
}

TEST_F(LoadSettingsTest, AMissingColourByteTakesTheFirstStartColoursByte) {
  const auto loaded = Load("r_font_color=1\r\ng_font_color=2\r\n");
  EXPECT_EQ(loaded.TextColor, 0x010201u | (0xABu << 16));  // blue from 0xABCDEF
  EXPECT_EQ(loaded.Problems.front(),
            "b_font_color= is not a valid integer value; its first-start value is used");
  EXPECT_FALSE(loaded.FontIndex);
  EXPECT_EQ(loaded.TextCustomColors.size(), 16u);
}

TEST_F(LoadSettingsTest, AStoredFolderThatIsGoneBecomesAppDirAndIsWrittenBack) {
  const auto loaded = Load(Body("0", "/gone/"));
  EXPECT_TRUE(loaded.Problems.empty());
  EXPECT_EQ(loaded.OutputPath, folder_.slash());
  EXPECT_EQ(quorvel_test::SettingValue(folder_.path() / "sysconfig.ini", "Output Path"),
            folder_.slash());
  EXPECT_EQ(loaded.MyTXT, "hello");
}

TEST_F(LoadSettingsTest, AnEmptyStoredFolderStaysEmptyAndUnwritten) {
  const auto loaded = Load(Body("0", ""));
  EXPECT_EQ(loaded.OutputPath, "");
  EXPECT_EQ(quorvel_test::SettingValue(folder_.path() / "sysconfig.ini", "Output Path"), "");
}

}  // namespace
