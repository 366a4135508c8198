// The window's settings into and out of "sysconfig.ini".
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <filesystem>

#include "frontend/Unit1.h"
#include "frontend/eliding_label.h"
#include "shared/sysconfig.h"

namespace quorvel {

namespace SysConfig = shared::SysConfig;

namespace {

bool IsYes(const std::string& text) {
  return text == SysConfig::Yes;
}

bool FolderExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// As a click on the option: a button switched on runs its handler, one that
// is switched off runs nothing.
void SwitchRadio(QRadioButton* button, bool on) {
  if (on || !button->isChecked()) {
    button->setChecked(on);
    return;
  }
  QButtonGroup* group = button->group();
  const bool exclusive = button->autoExclusive();
  if (group) group->setExclusive(false);
  button->setAutoExclusive(false);
  button->setChecked(false);
  button->setAutoExclusive(exclusive);
  if (group) group->setExclusive(true);
}

}  // namespace

// A key that cannot be read costs that key only: the rest is applied, and the
// caller tells the user about it once the window is set up.
std::vector<std::string> TForm1::load_ini() {
  platform::IniFile file(IniPath);
  const LoadedSettings loaded =
      LoadSettings(file, LoadContext{static_cast<std::size_t>(ComboBox1->count()), AppDir,
                                     FolderExists, ColorDialog1.Color, ColorDialog2.Color});
  ApplyLoaded(loaded);
  output_path_showin_label();
  return loaded.Problems;
}

void TForm1::ApplyLoaded(const LoadedSettings& loaded) {
  if (loaded.TextColor) ColorDialog1.Color = *loaded.TextColor;
  if (loaded.FontIndex) {
    SelectIndex(ComboBox1, *loaded.FontIndex);
    if (ComboBox1->currentIndex() >= 0) {
      QFont face = font_preview->font();
      face.setFamily(ComboBox1->currentText());
      font_preview->setFont(face);
    }
  }
  for (const auto& line : loaded.TextCustomColors) ColorDialog1.CustomColors.push_back(line);
  if (loaded.ShadowColor) ColorDialog2.Color = *loaded.ShadowColor;
  for (const auto& line : loaded.ShadowCustomColors) ColorDialog2.CustomColors.push_back(line);
  Loaded = loaded.Texts;
  if (loaded.DateFormat) SelectIndex(date_format, *loaded.DateFormat);
  if (loaded.Separated) SelectIndex(separated_txt, *loaded.Separated);
  if (loaded.Margin) {
    MarginPercent = *loaded.Margin;
    SelectIndex(border_margin, MarginPercent < 0 ? 3 : MarginPercent);
  }
  if (loaded.OutputPath) OutputPath = *loaded.OutputPath;
  if (loaded.MyTXT) MyTXT = *loaded.MyTXT;
}

void TForm1::checkbox_selected() {
  txt_bold->setChecked(IsYes(Loaded.TextBold));
  txt_italic->setChecked(IsYes(Loaded.TextItalic));
  txt_underline->setChecked(IsYes(Loaded.TextUnderline));
  txt_strikeout->setChecked(IsYes(Loaded.TextStrikeout));
  drop_shadow_chk->setChecked(IsYes(Loaded.DropShadow));
  SwitchRadio(Loaded.DayDisplay == SysConfig::ShortName ? short_day : long_day, true);
  SwitchRadio(day_notshow, IsYes(Loaded.DayNotShow));
  SwitchRadio(Loaded.MonthDisplay == SysConfig::ShortName ? short_month : long_month, true);
  SwitchRadio(numeric_month, Loaded.MonthDisplay == SysConfig::MonthNumber);
  SwitchRadio(Loaded.YearDisplay == SysConfig::ShortName ? short_year : long_year, true);
  if (Loaded.TimeStyle == SysConfig::HourMinute)
    SwitchRadio(NotShowSec, true);
  else if (Loaded.TimeStyle == SysConfig::HourMinuteSecond)
    SwitchRadio(ShowSec, true);
  else if (Loaded.TimeStyle == SysConfig::NoTime)
    SwitchRadio(NotShowTime, true);
}

WindowSettings TForm1::current_settings() const {
  WindowSettings s;
  s.TextColor = ColorDialog1.Color;
  s.FontIndex = ComboBox1->currentIndex();
  s.FontName = ComboBox1->currentText().toStdString();
  s.TextCustomColors = ColorDialog1.CustomColors;
  s.ShadowColor = ColorDialog2.Color;
  s.ShadowCustomColors = ColorDialog2.CustomColors;
  s.DropShadow = drop_shadow_chk->isChecked();
  s.Bold = txt_bold->isChecked();
  s.Italic = txt_italic->isChecked();
  s.Underline = txt_underline->isChecked();
  s.Strikeout = txt_strikeout->isChecked();
  s.PositionIndex = txt_position->currentIndex();
  s.SizeIndex = fs_list->currentIndex();
  s.DateFormatIndex = date_format->currentIndex();
  s.DayStyle = DayStyle;
  s.DayNotShow = day_notshow->isChecked();
  s.SeparatedIndex = separated_txt->currentIndex();
  s.MonthStyle = MonthStyle;
  s.YearStyle = YearStyle;
  s.TimeStyle =
      TimeStyleCode(NotShowSec->isChecked(), ShowSec->isChecked(), NotShowTime->isChecked());
  s.OutputPath = OutputPath;
  s.MarginIndex = border_margin->currentIndex();
  return s;
}

// The output folder gets its default before the keys are gathered: a file that
// holds an empty "Output Path" sends a run into the generator's working folder.
void TForm1::rec_ini() {
  get_color_now();
  get_DropShadowColor_now();
  output_path_showin_label();
  try {
    platform::IniFile file(IniPath);
    for (const auto& [key, value] : SettingsWrites(current_settings()))
      file.WriteString(SysConfig::Section, key, value);
    file.UpdateFile();
  } catch (const platform::ProfileWriteError& error) {
    report_save_failure(error);
  }
  // A red line that tells of the failing save goes once a save works again.
  const bool was_failing = std::exchange(save_failing_, false);
  if (was_failing &&
      label_process->text().toStdString() == platform::ProfileWriteError(IniPath).what())
    show_idle_status();
}

// The preview clock saves every second: a file that cannot be written is
// reported in a message once, then only in the status line until a save works.
// After an unattended close nobody sees either, and the last save's failure is
// told with its cause, as a log needs it.
void TForm1::report_save_failure(const platform::ProfileWriteError& error) {
  if (unattended_) {
    report_error(error.cause().empty() ? error.what() : error.what() + (": " + error.cause()));
    throw AlreadyReported{};
  }
  const bool first = !std::exchange(save_failing_, true);
  if (first) throw error;
  show_status({kCannotProcessColour, error.what()});
  throw AlreadyReported{};
}

void TForm1::output_path_showin_label() {
  if (OutputPath.empty()) OutputPath = DefaultOutputPath(AppDir);
  ShowWholeText(label_path_output, "Output path: " + OutputPath);
}

}  // namespace quorvel
