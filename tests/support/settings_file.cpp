#include "support/settings_file.h"

#include "shared/sysconfig.h"
#include "support/temp_dir.h"

namespace testing_support {

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

}  // namespace testing_support
