#include "support/settings_file.h"

#include <sstream>

#include "shared/sysconfig.h"
#include "support/temp_dir.h"

namespace testing_support {

namespace SysConfig = shared::SysConfig;

std::map<std::string, std::string> DefaultSettings() {
  namespace key = SysConfig;
  const auto entry = [](std::string_view name, std::string_view value) {
    return std::pair<const std::string, std::string>(name, value);
  };
  return {
      entry(key::r_font_color, "255"),
      entry(key::g_font_color, "128"),
      entry(key::b_font_color, "64"),
      entry(key::font_select, "0"),
      entry(key::font_select_name, "DejaVu Sans"),
      entry(key::r_DropShadow_color, "0"),
      entry(key::g_DropShadow_color, "0"),
      entry(key::b_DropShadow_color, "0"),
      entry(key::DropShadow, SysConfig::Yes),
      entry(key::TextBold, SysConfig::No),
      entry(key::TextItalic, SysConfig::No),
      entry(key::TextUnderline, SysConfig::No),
      entry(key::TextStrikeout, SysConfig::No),
      entry(key::TxtPosition, SysConfig::BottomRight),
      entry(key::StampSize, SysConfig::MediumStamp),
      entry(key::DateFormat, "0"),
      entry(key::DayDisplay, SysConfig::ShortName),
      entry(key::DayNotShow, SysConfig::No),
      entry(key::Separated, SysConfig::SeparatedByBlank),
      entry(key::MonthDisplay, SysConfig::ShortName),
      entry(key::YearDisplay, SysConfig::LongName),
      entry(key::TimeStyle, SysConfig::HourMinuteSecond),
      entry(key::OutputPath, ""),
      entry(key::border_margin, "3"),
  };
}

void WriteSettingsFile(const std::filesystem::path& folder,
                       const std::map<std::string, std::string>& keys) {
  std::string text = "[" + std::string(SysConfig::Section) + "]\r\n";
  for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
  WriteFile(folder / SysConfig::FileName, text);
}

std::string FirstSaveFile(const std::string& font, const std::string& output) {
  std::string text =
      "[LastConfig]\r\nr_font_color=255\r\ng_font_color=128\r\nb_font_color=64\r\n"
      "font_select=0\r\nfont_select_name=" +
      font + "\r\n";
  for (char slot = 'A'; slot <= 'P'; ++slot) text += std::string("Color") + slot + "=\r\n";
  text += "r_DropShadow_color=0\r\ng_DropShadow_color=0\r\nb_DropShadow_color=0\r\n";
  for (char slot = 'A'; slot <= 'P'; ++slot) text += std::string("ShadowColor") + slot + "=\r\n";
  return text +
         "DropShadow=yes\r\nTextBold=no\r\nTextItalic=no\r\nTextUnderline=no\r\n"
         "TextStrikeout=no\r\nTxtPosition=8\r\nStampSize=1\r\nDateFormat=0\r\nDayDisplay=s\r\n"
         "DayNotShow=no\r\nSeparated=0\r\nMonthDisplay=s\r\nYearDisplay=\r\nTimeStyle=HMS\r\n"
         "Output Path=" +
         output + "\r\nborder_margin=3\r\n";
}

std::vector<std::string> SettingsLines(const std::filesystem::path& ini) {
  std::vector<std::string> lines;
  std::istringstream text(ReadFile(ini));
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() != '[') lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> SettingValue(const std::filesystem::path& ini, std::string_view key) {
  const std::string prefix = std::string(key) + "=";
  for (const auto& line : SettingsLines(ini))
    if (line.starts_with(prefix)) return line.substr(prefix.size());
  return std::nullopt;
}

}  // namespace testing_support
