#include "frontend/settings_record.h"

#include <array>
#include <filesystem>

#include "platform/convert.h"
#include "platform/errors.h"
#include "shared/sysconfig.h"

namespace quorvel {

namespace SysConfig = shared::SysConfig;

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

// The number stored under `key`; a value that does not convert is told in
// `problems`, naming the key and its value, and gives nothing.
std::optional<int> ReadInt(const platform::IniFile& file, std::string_view key,
                           std::vector<std::string>& problems) {
  const std::string text = Read(file, key);
  try {
    return platform::StrToInt(text);
  } catch (const platform::ConvertError&) {
    problems.push_back(std::string(key) + "=" + text +
                       " is not a valid integer value; its first-start value is used");
    return std::nullopt;
  }
}

// Only the low eight bits of each stored number count; a byte that does not
// convert keeps the first-start colour's byte.
platform::ColorRef ReadColor(const platform::IniFile& file, std::array<std::string_view, 3> keys,
                             platform::ColorRef first, std::vector<std::string>& problems) {
  platform::ColorRef colour = 0;
  for (int byte = 0; byte < 3; ++byte) {
    const int shift = 8 * byte;
    const auto value = ReadInt(file, keys[byte], problems);
    const platform::ColorRef bits =
        value ? static_cast<platform::ColorRef>(*value) : first >> shift;
    colour |= (bits & 0xFFu) << shift;
  }
  return colour;
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

// A stored output folder that is gone becomes AppDir, written back at once.
std::string ReadOutputPath(platform::IniFile& file, const LoadContext& context,
                           std::vector<std::string>& problems) {
  std::string output = Read(file, SysConfig::OutputPath);
  if (output.empty() || context.FolderExists(output)) return output;
  output = context.AppDir;
  try {
    file.WriteString(SysConfig::Section, SysConfig::OutputPath, output);
    file.UpdateFile();
  } catch (const platform::Error& error) {
    problems.emplace_back(error.what());
  }
  return output;
}

}  // namespace

LoadedSettings LoadSettings(platform::IniFile& file, const LoadContext& context) {
  LoadedSettings loaded;
  auto& problems = loaded.Problems;
  loaded.TextColor =
      ReadColor(file, {SysConfig::r_font_color, SysConfig::g_font_color, SysConfig::b_font_color},
                context.FirstTextColor, problems);
  if (const auto font = ReadInt(file, SysConfig::font_select, problems))
    loaded.FontIndex = ResolveFontIndex(*font, context.FontCount);
  ReadSlots(file, SysConfig::TextColorSlots, loaded.TextCustomColors);
  loaded.ShadowColor = ReadColor(
      file,
      {SysConfig::r_DropShadow_color, SysConfig::g_DropShadow_color, SysConfig::b_DropShadow_color},
      context.FirstShadowColor, problems);
  ReadSlots(file, SysConfig::ShadowColorSlots, loaded.ShadowCustomColors);
  auto& texts = loaded.Texts;
  texts.DropShadow = Read(file, SysConfig::DropShadow);
  texts.TextBold = Read(file, SysConfig::TextBold);
  texts.TextItalic = Read(file, SysConfig::TextItalic);
  texts.TextUnderline = Read(file, SysConfig::TextUnderline);
  texts.TextStrikeout = Read(file, SysConfig::TextStrikeout);
  texts.TxtPosition = Read(file, SysConfig::TxtPosition);
  texts.StampSize = Read(file, SysConfig::StampSize);
  loaded.DateFormat = ReadInt(file, SysConfig::DateFormat, problems);
  texts.DayDisplay = Read(file, SysConfig::DayDisplay);
  texts.DayNotShow = Read(file, SysConfig::DayNotShow);
  loaded.Separated = ReadInt(file, SysConfig::Separated, problems);
  texts.MonthDisplay = Read(file, SysConfig::MonthDisplay);
  texts.YearDisplay = Read(file, SysConfig::YearDisplay);
  texts.TimeStyle = Read(file, SysConfig::TimeStyle);
  loaded.Margin = ReadInt(file, SysConfig::border_margin, problems);
  loaded.OutputPath = ReadOutputPath(file, context, problems);
  loaded.MyTXT = Read(file, SysConfig::MyTXT);
  return loaded;
}

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

std::string DefaultOutputPath(const std::string& app_dir) {
  return app_dir + "output/";
}

}  // namespace quorvel
