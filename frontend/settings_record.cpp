#include "frontend/settings_record.h"

#include <filesystem>

#include "platform/convert.h"
#include "platform/errors.h"
#include "shared/sysconfig.h"

namespace quorvel {

namespace {

std::string Flag(bool on) {
  return std::string(on ? SysConfig::Yes : SysConfig::No);
}

std::string ByteText(platform::ColorRef colour, int shift) {
  return std::to_string((colour >> shift) & 0xFFu);
}

void AddColor(std::vector<KeyValue>& writes, platform::ColorRef colour, std::string_view red,
              std::string_view green, std::string_view blue) {
  writes.emplace_back(red, ByteText(colour, 0));
  writes.emplace_back(green, ByteText(colour, 8));
  writes.emplace_back(blue, ByteText(colour, 16));
}

template <typename Keys>
void AddSlots(std::vector<KeyValue>& writes, const Keys& keys,
              const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < keys.size(); ++i)
    writes.emplace_back(keys[i], ValueOfName(lines, SlotName(i)));
}

std::string Read(const platform::IniFile& file, std::string_view key) {
  return file.ReadString(SysConfig::Section, key);
}

platform::ColorRef ReadColor(const platform::IniFile& file, std::string_view red,
                             std::string_view green, std::string_view blue) {
  return ColorFromByteTexts(Read(file, red), Read(file, green), Read(file, blue));
}

template <typename Keys>
void ReadSlots(const platform::IniFile& file, const Keys& keys, std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < keys.size(); ++i)
    lines.push_back(SlotName(i) + "=" + Read(file, keys[i]));
}

int ResolveFontIndex(int stored, std::size_t font_count) {
  if (stored >= 0 && static_cast<std::size_t>(stored) >= font_count) return 0;
  return stored < 0 ? -1 : stored;
}

void ReadAll(platform::IniFile& file, const LoadContext& context, LoadedSettings& loaded) {
  loaded.TextColor =
      ReadColor(file, SysConfig::r_font_color, SysConfig::g_font_color, SysConfig::b_font_color);
  loaded.FontIndex =
      ResolveFontIndex(platform::StrToInt(Read(file, SysConfig::font_select)), context.FontCount);
  ReadSlots(file, SysConfig::TextColorSlots, loaded.TextCustomColors);
  loaded.ShadowColor = ReadColor(file, SysConfig::r_DropShadow_color, SysConfig::g_DropShadow_color,
                                 SysConfig::b_DropShadow_color);
  ReadSlots(file, SysConfig::ShadowColorSlots, loaded.ShadowCustomColors);
  auto& texts = loaded.Texts;
  texts.DropShadow = Read(file, SysConfig::DropShadow);
  texts.TextBold = Read(file, SysConfig::TextBold);
  texts.TextItalic = Read(file, SysConfig::TextItalic);
  texts.TextUnderline = Read(file, SysConfig::TextUnderline);
  texts.TextStrikeout = Read(file, SysConfig::TextStrikeout);
  texts.TxtPosition = Read(file, SysConfig::TxtPosition);
  texts.StampSize = Read(file, SysConfig::StampSize);
  loaded.DateFormat = platform::StrToInt(Read(file, SysConfig::DateFormat));
  texts.DayDisplay = Read(file, SysConfig::DayDisplay);
  texts.DayNotShow = Read(file, SysConfig::DayNotShow);
  loaded.Separated = platform::StrToInt(Read(file, SysConfig::Separated));
  texts.MonthDisplay = Read(file, SysConfig::MonthDisplay);
  texts.YearDisplay = Read(file, SysConfig::YearDisplay);
  texts.TimeStyle = Read(file, SysConfig::TimeStyle);
  loaded.Margin = platform::StrToInt(Read(file, SysConfig::border_margin));
  std::string output = Read(file, SysConfig::OutputPath);
  if (!output.empty() && !context.FolderExists(output)) {
    output = context.AppDir;
    loaded.OutputPath = output;
    file.WriteString(SysConfig::Section, SysConfig::OutputPath, output);
    file.UpdateFile();
  }
  loaded.OutputPath = output;
  loaded.MyTXT = Read(file, SysConfig::MyTXT);
}

}  // namespace

std::vector<KeyValue> SettingsWrites(const WindowSettings& s) {
  std::vector<KeyValue> writes;
  AddColor(writes, s.TextColor, SysConfig::r_font_color, SysConfig::g_font_color,
           SysConfig::b_font_color);
  writes.emplace_back(SysConfig::font_select, std::to_string(s.FontIndex));
  writes.emplace_back(SysConfig::font_select_name, s.FontName);
  AddSlots(writes, SysConfig::TextColorSlots, s.TextCustomColors);
  AddColor(writes, s.ShadowColor, SysConfig::r_DropShadow_color, SysConfig::g_DropShadow_color,
           SysConfig::b_DropShadow_color);
  AddSlots(writes, SysConfig::ShadowColorSlots, s.ShadowCustomColors);
  writes.emplace_back(SysConfig::DropShadow, Flag(s.DropShadow));
  writes.emplace_back(SysConfig::TextBold, Flag(s.Bold));
  writes.emplace_back(SysConfig::TextItalic, Flag(s.Italic));
  writes.emplace_back(SysConfig::TextUnderline, Flag(s.Underline));
  writes.emplace_back(SysConfig::TextStrikeout, Flag(s.Strikeout));
  writes.emplace_back(SysConfig::TxtPosition, s.PositionIndex < 0
                                                  ? std::string(SysConfig::NoPosition)
                                                  : std::to_string(s.PositionIndex));
  writes.emplace_back(SysConfig::StampSize, std::to_string(s.SizeIndex));
  writes.emplace_back(SysConfig::DateFormat, std::to_string(s.DateFormatIndex));
  writes.emplace_back(SysConfig::DayDisplay, s.DayStyle);
  writes.emplace_back(SysConfig::DayNotShow, Flag(s.DayNotShow));
  writes.emplace_back(SysConfig::Separated, std::to_string(s.SeparatedIndex));
  writes.emplace_back(SysConfig::MonthDisplay, s.MonthStyle);
  writes.emplace_back(SysConfig::YearDisplay, s.YearStyle);
  if (s.TimeStyle) writes.emplace_back(SysConfig::TimeStyle, *s.TimeStyle);
  writes.emplace_back(SysConfig::OutputPath, s.OutputPath);
  writes.emplace_back(SysConfig::border_margin, std::to_string(s.MarginIndex));
  return writes;
}

std::optional<std::string> TimeStyleCode(bool hour_minute, bool with_seconds, bool no_time) {
  if (hour_minute) return std::string(SysConfig::HourMinute);
  if (with_seconds) return std::string(SysConfig::HourMinuteSecond);
  if (no_time) return std::string(SysConfig::NoTime);
  return std::nullopt;
}

LoadedSettings LoadSettings(platform::IniFile& file, const LoadContext& context) {
  LoadedSettings loaded;
  try {
    ReadAll(file, context, loaded);
  } catch (const platform::Error&) {
    loaded.Error = std::current_exception();
  }
  return loaded;
}

platform::ColorRef ColorFromByteTexts(const std::string& red, const std::string& green,
                                      const std::string& blue) {
  const auto low_byte = [](const std::string& text) {
    return static_cast<platform::ColorRef>(platform::StrToInt(text)) & 0xFFu;
  };
  const platform::ColorRef b = low_byte(blue);
  const platform::ColorRef g = low_byte(green);
  const platform::ColorRef r = low_byte(red);
  return r | (g << 8) | (b << 16);
}

std::string DefaultOutputPath(const std::string& app_dir) {
  return app_dir + "output/";
}

}  // namespace quorvel
