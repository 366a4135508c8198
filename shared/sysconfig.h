#pragma once
// The settings record SysConfig: the one section of "sysconfig.ini", every key
// in the order the front-end's save writes them, and the value codes. Both
// programs and the tests take every key name and code from here.

#include <array>
#include <string_view>

namespace shared::SysConfig {

inline constexpr std::string_view FileName = "sysconfig.ini";
inline constexpr std::string_view Section = "LastConfig";

// Keys, in the order of the front-end's save.
inline constexpr std::string_view r_font_color = "r_font_color";
inline constexpr std::string_view g_font_color = "g_font_color";
inline constexpr std::string_view b_font_color = "b_font_color";
inline constexpr std::string_view font_select = "font_select";
inline constexpr std::string_view font_select_name = "font_select_name";
// ColorA ... ColorP: the custom colour slots of the text colour dialog.
inline constexpr std::array<std::string_view, 16> TextColorSlots = {
    "ColorA", "ColorB", "ColorC", "ColorD", "ColorE", "ColorF", "ColorG", "ColorH",
    "ColorI", "ColorJ", "ColorK", "ColorL", "ColorM", "ColorN", "ColorO", "ColorP"};
inline constexpr std::string_view r_DropShadow_color = "r_DropShadow_color";
inline constexpr std::string_view g_DropShadow_color = "g_DropShadow_color";
inline constexpr std::string_view b_DropShadow_color = "b_DropShadow_color";
// ShadowColorA ... ShadowColorP: the slots of the shadow colour dialog.
inline constexpr std::array<std::string_view, 16> ShadowColorSlots = {
    "ShadowColorA", "ShadowColorB", "ShadowColorC", "ShadowColorD", "ShadowColorE", "ShadowColorF",
    "ShadowColorG", "ShadowColorH", "ShadowColorI", "ShadowColorJ", "ShadowColorK", "ShadowColorL",
    "ShadowColorM", "ShadowColorN", "ShadowColorO", "ShadowColorP"};
inline constexpr std::string_view DropShadow = "DropShadow";
inline constexpr std::string_view TextBold = "TextBold";
inline constexpr std::string_view TextItalic = "TextItalic";
inline constexpr std::string_view TextUnderline = "TextUnderline";
inline constexpr std::string_view TextStrikeout = "TextStrikeout";
inline constexpr std::string_view TxtPosition = "TxtPosition";
inline constexpr std::string_view StampSize = "StampSize";
inline constexpr std::string_view DateFormat = "DateFormat";
inline constexpr std::string_view DayDisplay = "DayDisplay";
inline constexpr std::string_view DayNotShow = "DayNotShow";
inline constexpr std::string_view Separated = "Separated";
inline constexpr std::string_view MonthDisplay = "MonthDisplay";
inline constexpr std::string_view YearDisplay = "YearDisplay";
inline constexpr std::string_view TimeStyle = "TimeStyle";
inline constexpr std::string_view OutputPath = "Output Path";
inline constexpr std::string_view border_margin = "border_margin";
inline constexpr std::string_view MyTXT = "MyTXT";

inline constexpr std::size_t KeyCount = 57;

// Every key in the order of the front-end's save, MyTXT (written only by the
// user-text dialog) last.
constexpr std::array<std::string_view, KeyCount> AllKeys() {
  std::array<std::string_view, KeyCount> keys{};
  std::size_t n = 0;
  for (auto key : {r_font_color, g_font_color, b_font_color, font_select, font_select_name})
    keys[n++] = key;
  for (auto key : TextColorSlots) keys[n++] = key;
  for (auto key : {r_DropShadow_color, g_DropShadow_color, b_DropShadow_color}) keys[n++] = key;
  for (auto key : ShadowColorSlots) keys[n++] = key;
  for (auto key : {DropShadow, TextBold, TextItalic, TextUnderline, TextStrikeout, TxtPosition,
                   StampSize, DateFormat, DayDisplay, DayNotShow, Separated, MonthDisplay,
                   YearDisplay, TimeStyle, OutputPath, border_margin, MyTXT})
    keys[n++] = key;
  return keys;
}

// Value codes.
inline constexpr std::string_view Yes = "yes";  // a flag is on only when exactly "yes"
inline constexpr std::string_view No = "no";
inline constexpr std::string_view ShortName = "s";    // day, month: short name; year: two digits
inline constexpr std::string_view LongName = "l";     // day, month: full name; year: four digits
inline constexpr std::string_view MonthNumber = "n";  // month as a number
inline constexpr std::string_view HourMinute = "HM";
inline constexpr std::string_view HourMinuteSecond = "HMS";
inline constexpr std::string_view NoTime = "no";
// TxtPosition, in the order of the front-end's position list.
inline constexpr std::string_view TopLeft = "0";
inline constexpr std::string_view TopCenter = "1";
inline constexpr std::string_view TopRight = "2";
inline constexpr std::string_view MiddleLeft = "3";
inline constexpr std::string_view Center = "4";
inline constexpr std::string_view MiddleRight = "5";
inline constexpr std::string_view BottomLeft = "6";
inline constexpr std::string_view BottomCenter = "7";
inline constexpr std::string_view BottomRight = "8";
// TxtPosition when no position is chosen: bottom right.
inline constexpr std::string_view NoPosition = BottomRight;
// StampSize.
inline constexpr std::string_view SmallStamp = "0";
inline constexpr std::string_view MediumStamp = "1";
inline constexpr std::string_view LargeStamp = "2";
// Separated: what stands between the parts of an all-digit date.
inline constexpr std::string_view SeparatedByBlank = "0";
inline constexpr std::string_view SeparatedByDot = "1";
inline constexpr std::string_view SeparatedBySlash = "2";
inline constexpr std::string_view SeparatedByHyphen = "3";

}  // namespace shared::SysConfig
