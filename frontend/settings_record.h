#pragma once
// The window's settings as plain values, and their way into and out of
// "sysconfig.ini". The window gathers a WindowSettings from its controls for a
// save and applies a LoadedSettings to them after a load; everything that can
// be decided without a display is decided here.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/custom_colors.h"
#include "platform/profile.h"

namespace quorvel {

// What a save writes, as the controls and working values hold it.
struct WindowSettings {
  platform::ColorRef TextColor = 0;
  int FontIndex = -1;
  std::string FontName;
  std::vector<std::string> TextCustomColors;
  platform::ColorRef ShadowColor = 0;
  std::vector<std::string> ShadowCustomColors;
  bool DropShadow = false, Bold = false, Italic = false, Underline = false, Strikeout = false;
  int PositionIndex = -1, SizeIndex = -1, DateFormatIndex = -1;
  std::string DayStyle;
  bool DayNotShow = false;
  int SeparatedIndex = -1;
  std::string MonthStyle, YearStyle;
  std::optional<std::string> TimeStyle;  // nullopt: no time option checked, the key is kept
  std::string OutputPath;
  int MarginIndex = -1;
};

using KeyValue = std::pair<std::string_view, std::string>;

// Keys 1 to 56 in the order of the save, each with its text.
std::vector<KeyValue> SettingsWrites(const WindowSettings& settings);

// The time code of whichever time option is checked.
std::optional<std::string> TimeStyleCode(bool hour_minute, bool with_seconds, bool no_time);

// The texts a load keeps as read, for applying them to the options afterwards.
struct LoadedTexts {
  std::string DropShadow, TextBold, TextItalic, TextUnderline, TextStrikeout;
  std::string TxtPosition, StampSize, DayDisplay, DayNotShow, MonthDisplay, YearDisplay, TimeStyle;
};

// What a load found, key by key in the order it reads them. A key whose value
// does not convert leaves its field unset (its control keeps its first-start
// value) and adds one line to `Problems`; every other key is read all the same.
struct LoadedSettings {
  std::optional<platform::ColorRef> TextColor;
  std::optional<int> FontIndex;  // -1: no entry selected
  std::vector<std::string> TextCustomColors;
  std::optional<platform::ColorRef> ShadowColor;
  std::vector<std::string> ShadowCustomColors;
  LoadedTexts Texts;
  std::optional<int> DateFormat;
  std::optional<int> Separated;
  std::optional<int> Margin;
  std::optional<std::string> OutputPath;
  std::optional<std::string> MyTXT;
  // One line per key that could not be read or written back, naming its value.
  std::vector<std::string> Problems;
};

struct LoadContext {
  std::size_t FontCount = 0;
  std::string AppDir;
  std::function<bool(const std::string&)> FolderExists;
  // The first-start colours: a colour byte that does not convert takes its byte.
  platform::ColorRef FirstTextColor = 0;
  platform::ColorRef FirstShadowColor = 0;
};

// Reads every key the front-end uses, in its order; a stored output folder that
// is gone is replaced by AppDir and written back at once. Conversion and write
// errors are kept in `Problems`, never thrown.
LoadedSettings LoadSettings(platform::IniFile& file, const LoadContext& context);

// The output folder a save falls back to: AppDir + "output/".
std::string DefaultOutputPath(const std::string& app_dir);

}  // namespace quorvel
