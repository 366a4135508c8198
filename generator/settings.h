#pragma once
// The generator's working settings, read once per run from the settings file.

#include <string>

#include "platform/bitmap.h"

namespace vantrel {

struct GeneratorSettings {
  platform::ColorRef text_color = 0;
  std::string font_select_name;
  platform::ColorRef shadow_color = 0;
  std::string DropShadow, TextBold, TextItalic, TextUnderline, TextStrikeout, TxtPosition,
      StampSize, DayDisplay, DayNotShow, Separated, MonthDisplay, YearDisplay, TimeStyle;
  int DateFormat = 0;
  int border_margin = 0;
  std::string OutputPath;
  std::string MyTXT;  // trimmed
};

// Reads the section shared::SysConfig::Section of the settings file at `ini_path`. A missing
// file reads as a file without keys. Throws platform::ConvertError for the
// first number that is not an integer, in the order the keys are read (the
// colour bytes of one colour blue first), before any later key is looked at.
GeneratorSettings ReadGeneratorSettings(const std::string& ini_path);

struct TextStyle {
  bool bold = false, italic = false, underline = false, strikeout = false;
};

// Each style is on only when its flag is exactly shared::SysConfig::Yes.
TextStyle TextStyleOf(const GeneratorSettings& settings);

}  // namespace vantrel
