#include "support/settings_file.h"

#include "support/temp_dir.h"

namespace testing_support {

std::map<std::string, std::string> DefaultSettings() {
  return {
      {"r_font_color", "255"},
      {"g_font_color", "128"},
      {"b_font_color", "64"},
      {"font_select", "0"},
      {"font_select_name", "DejaVu Sans"},
      {"r_DropShadow_color", "0"},
      {"g_DropShadow_color", "0"},
      {"b_DropShadow_color", "0"},
      {"DropShadow", "yes"},
      {"TextBold", "no"},
      {"TextItalic", "no"},
      {"TextUnderline", "no"},
      {"TextStrikeout", "no"},
      {"TxtPosition", "8"},
      {"StampSize", "1"},
      {"DateFormat", "0"},
      {"DayDisplay", "s"},
      {"DayNotShow", "no"},
      {"Separated", "0"},
      {"MonthDisplay", "s"},
      {"YearDisplay", "l"},
      {"TimeStyle", "HMS"},
      {"Output Path", ""},
      {"border_margin", "3"},
  };
}

void WriteSettingsFile(const std::filesystem::path& folder,
                       const std::map<std::string, std::string>& keys) {
  std::string text = "[LastConfig]\r\n";
  for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
  WriteFile(folder / "sysconfig.ini", text);
}

}  // namespace testing_support
