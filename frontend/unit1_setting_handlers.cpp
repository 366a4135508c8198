// The handlers of the setting controls: each changes its choice, saves,
// redraws and gives the focus to "Imprint", unless said otherwise.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "frontend/Unit1.h"
#include "frontend/qt_convert.h"
#include "shared/sysconfig.h"

namespace quorvel {

namespace SysConfig = shared::SysConfig;

namespace {

constexpr platform::ColorRef kEmphasisRed = 0x0000FF;

}  // namespace

bool TForm1::run_in_progress() const {
  return !ProgressBar1->isHidden();
}

void TForm1::focus_imprint() {
  Start_Imprint->setFocus();
}

void TForm1::save_redraw() {
  rec_ini();
  preview_sample();
}

void TForm1::save_redraw_focus() {
  save_redraw();
  focus_imprint();
}

platform::ColorRef TForm1::panel_color(const QWidget* panel) {
  return ToColorRef(panel->palette().color(QPalette::Window));
}

void TForm1::set_panel_color(QWidget* panel, platform::ColorRef colour) {
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, ToQColor(colour));
  panel->setPalette(palette);
}

void TForm1::get_color_now() {
  RgbValue = ColorDialog1.Color;
  rgb_color_now();
}

void TForm1::get_DropShadowColor_now() {
  RgbValue = ColorDialog2.Color;
  rgb_color_now();
}

void TForm1::rgb_color_now() {
  RgbRed = platform::RedOf(RgbValue);
  RgbGreen = platform::GreenOf(RgbValue);
  RgbBlue = platform::BlueOf(RgbValue);
}

void TForm1::pick_color(QFrame* panel, ColorDialogState& dialog) {
  if (run_in_progress()) return;
  dialog.Color = panel_color(panel);
  if (const auto choice = dialogs_.ChooseColor(ColorChoice{dialog.Color, dialog.Slots()})) {
    dialog.Color = choice->Color;
    dialog.SetSlots(choice->Slots);
    set_panel_color(panel, dialog.Color);
  }
  rec_ini();
  preview_sample();
}

void TForm1::ColorPanelClick() {
  pick_color(ColorPanel, ColorDialog1);
}

void TForm1::DropShadowPanelClick() {
  pick_color(DropShadowPanel, ColorDialog2);
}

// A choice made with the keys or the wheel on a closed list has no close-up:
// the change saves, and the focus stays for the next key.
void TForm1::ComboBox1Change() {
  save_redraw();
}

void TForm1::ComboBox1CloseUp() {
  save_redraw();
}

void TForm1::drop_shadow_chkClick() {
  focus_imprint();
  rec_ini();
  preview_sample();
}

void TForm1::txt_style() {
  QFont style = font_preview->font();
  style.setBold(txt_bold->isChecked());
  style.setItalic(txt_italic->isChecked());
  style.setUnderline(txt_underline->isChecked());
  style.setStrikeOut(txt_strikeout->isChecked());
  font_preview->setFont(style);
  save_redraw_focus();
}

void TForm1::fs_listCloseUp() {
  save_redraw_focus();
}

void TForm1::date_formatCloseUp() {
  save_redraw_focus();
}

void TForm1::border_marginChange() {
  MarginPercent = border_margin->currentIndex();
  save_redraw_focus();
}

// The disabled colours stay the window's: a locked group is grey throughout.
void TForm1::set_emphasis(QRadioButton* button, bool emphasised) {
  const QColor caption = emphasised ? ToQColor(kEmphasisRed) : QColor(Qt::black);
  QPalette colours = button->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive})
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText})
      colours.setColor(group, role, caption);
  button->setPalette(colours);
  QFont font = button->font();
  font.setBold(emphasised);
  button->setFont(font);
}

void TForm1::short_dayClick() {
  DayStyle = SysConfig::ShortName;
  set_emphasis(day_notshow, false);
  save_redraw_focus();
}

void TForm1::long_dayClick() {
  DayStyle = SysConfig::LongName;
  set_emphasis(day_notshow, false);
  save_redraw_focus();
}

void TForm1::day_notshowClick() {
  DayStyle.clear();
  set_emphasis(day_notshow, true);
  save_redraw_focus();
}

void TForm1::short_monthClick() {
  separated_txt->hide();
  MonthStyle = SysConfig::ShortName;
  save_redraw_focus();
}

void TForm1::long_monthClick() {
  separated_txt->hide();
  MonthStyle = SysConfig::LongName;
  save_redraw_focus();
}

void TForm1::numeric_monthClick() {
  separated_txt->show();
  MonthStyle = SysConfig::MonthNumber;
  save_redraw_focus();
}

void TForm1::separated_txtChange() {
  save_redraw_focus();
}

void TForm1::separated_txtCloseUp() {
  save_redraw_focus();
}

void TForm1::short_yearClick() {
  YearStyle = SysConfig::ShortName;
  focus_imprint();
  rec_ini();
  preview_sample();
}

void TForm1::long_yearClick() {
  YearStyle = SysConfig::LongName;
  focus_imprint();
  rec_ini();
  preview_sample();
}

void TForm1::NotShowSecClick() {
  set_emphasis(NotShowTime, false);
  save_redraw_focus();
}

void TForm1::ShowSecClick() {
  set_emphasis(NotShowTime, false);
  save_redraw_focus();
}

void TForm1::NotShowTimeClick() {
  rec_ini();
  preview_sample();
  set_emphasis(NotShowTime, true);
  focus_imprint();
}

void TForm1::select_tab(DateTab tab) {
  struct TabParts {
    DateTab tab;
    QLabel* highlighted;
    QLabel* grey;
    QGroupBox* group;
  };
  const TabParts tabs[] = {{DateTab::Day, day_tab, day_tab_grey, Day_GroupBox},
                           {DateTab::Month, month_tab, month_tab_grey, Month_GroupBox},
                           {DateTab::Year, year_tab, year_tab_grey, Year_GroupBox},
                           {DateTab::Time, time_tab, time_tab_grey, Time_GroupBox}};
  for (const auto& parts : tabs) {
    const bool selected = parts.tab == tab;
    parts.highlighted->setVisible(selected);
    parts.grey->setVisible(!selected);
    parts.group->setVisible(selected);
  }
}

void TForm1::day_tab_greyClick() {
  select_tab(DateTab::Day);
}
void TForm1::month_tab_greyClick() {
  select_tab(DateTab::Month);
}
void TForm1::year_tab_greyClick() {
  select_tab(DateTab::Year);
}
void TForm1::time_tab_greyClick() {
  select_tab(DateTab::Time);
}

void TForm1::FormClick() {
  focus_imprint();
}

}  // namespace quorvel
