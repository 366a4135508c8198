#include "generator/settings.h"

#include <cstdint>

#include "platform/convert.h"
#include "platform/profile.h"
#include "shared/helpers.h"

namespace {

constexpr std::string_view kSection = "LastConfig";

// Reads the keys of one section in the order given by the calls, all from one
// reading of the file, so that a run sees one consistent state of it.
class SettingsReader {
 public:
  explicit SettingsReader(const std::string& path) : file_(platform::ProfileSnapshot::Load(path)) {}

  std::string Text(std::string_view key) const { return file_.Read(kSection, key); }
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
  s.text_color = ini.Color("r_font_color", "g_font_color", "b_font_color");
  s.font_select_name = ini.Text("font_select_name");
  s.shadow_color = ini.Color("r_DropShadow_color", "g_DropShadow_color", "b_DropShadow_color");
  s.DropShadow = ini.Text("DropShadow");
  s.TextBold = ini.Text("TextBold");
  s.TextItalic = ini.Text("TextItalic");
  s.TextUnderline = ini.Text("TextUnderline");
  s.TextStrikeout = ini.Text("TextStrikeout");
  s.TxtPosition = ini.Text("TxtPosition");
  s.StampSize = ini.Text("StampSize");
  s.DateFormat = ini.Integer("DateFormat");
  s.DayDisplay = ini.Text("DayDisplay");
  s.DayNotShow = ini.Text("DayNotShow");
  s.Separated = ini.Text("Separated");
  s.MonthDisplay = ini.Text("MonthDisplay");
  s.YearDisplay = ini.Text("YearDisplay");
  s.TimeStyle = ini.Text("TimeStyle");
  s.border_margin = ini.Integer("border_margin");
  s.OutputPath = ini.Text("Output Path");
  s.MyTXT = Trim(ini.Text("MyTXT"));
  return s;
}

TextStyle TextStyleOf(const GeneratorSettings& settings) {
  const auto on = [](const std::string& flag) { return flag == "yes"; };
  return {on(settings.TextBold), on(settings.TextItalic), on(settings.TextUnderline),
          on(settings.TextStrikeout)};
}
