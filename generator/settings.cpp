#include "generator/settings.h"

#include <cstdint>

#include "platform/convert.h"
#include "platform/profile.h"
#include "shared/helpers.h"
#include "shared/sysconfig.h"

namespace vantrel {

namespace {

// Reads the keys of one section in the order given by the calls, all from one
// reading of the file, so that a run sees one consistent state of it.
class SettingsReader {
 public:
  explicit SettingsReader(const std::string& path) : file_(platform::ProfileSnapshot::Load(path)) {}

  std::string Text(std::string_view key) const {
    return file_.Read(shared::SysConfig::Section, key);
  }
  int Integer(std::string_view key) const { return platform::StrToInt(Text(key)); }

  // A colour stored as three decimal bytes; only the low eight bits of each count.
  // The bytes are converted blue first, so a bad blue is the one reported.
  platform::ColorRef Color(std::string_view red_key, std::string_view green_key,
                           std::string_view blue_key) const {
    const std::string red = Text(red_key);
    const std::string green = Text(green_key);
    const std::string blue = Text(blue_key);
    const std::uint8_t blue_byte = LowByte(platform::StrToInt(blue));
    const std::uint8_t green_byte = LowByte(platform::StrToInt(green));
    const std::uint8_t red_byte = LowByte(platform::StrToInt(red));
    return platform::MakeColorRef(red_byte, green_byte, blue_byte);
  }

 private:
  static std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
  }

  platform::ProfileSnapshot file_;
};

}  // namespace

GeneratorSettings ReadGeneratorSettings(const std::string& ini_path) {
  const SettingsReader ini(ini_path);
  GeneratorSettings s;
  namespace key = shared::SysConfig;
  s.text_color = ini.Color(key::r_font_color, key::g_font_color, key::b_font_color);
  s.font_select_name = ini.Text(key::font_select_name);
  s.shadow_color =
      ini.Color(key::r_DropShadow_color, key::g_DropShadow_color, key::b_DropShadow_color);
  s.DropShadow = ini.Text(key::DropShadow);
  s.TextBold = ini.Text(key::TextBold);
  s.TextItalic = ini.Text(key::TextItalic);
  s.TextUnderline = ini.Text(key::TextUnderline);
  s.TextStrikeout = ini.Text(key::TextStrikeout);
  s.TxtPosition = ini.Text(key::TxtPosition);
  s.StampSize = ini.Text(key::StampSize);
  s.DateFormat = ini.Integer(key::DateFormat);
  s.DayDisplay = ini.Text(key::DayDisplay);
  s.DayNotShow = ini.Text(key::DayNotShow);
  s.Separated = ini.Text(key::Separated);
  s.MonthDisplay = ini.Text(key::MonthDisplay);
  s.YearDisplay = ini.Text(key::YearDisplay);
  s.TimeStyle = ini.Text(key::TimeStyle);
  s.border_margin = ini.Integer(key::border_margin);
  s.OutputPath = ini.Text(key::OutputPath);
  s.MyTXT = shared::Trim(ini.Text(key::MyTXT));
  return s;
}

TextStyle TextStyleOf(const GeneratorSettings& settings) {
  const auto on = [](const std::string& flag) { return flag == shared::SysConfig::Yes; };
  return {on(settings.TextBold), on(settings.TextItalic), on(settings.TextUnderline),
          on(settings.TextStrikeout)};
}

}  // namespace vantrel
