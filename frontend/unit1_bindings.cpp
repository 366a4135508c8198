// The main window's controls found by their names, and each control event
// bound to its handler.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <stdexcept>
#include <type_traits>

#include "frontend/Unit1.h"
#include "frontend/qt_convert.h"

namespace quorvel {

namespace {

template <typename Control>
Control* Find(QWidget* form, const char* name) {
  auto* control = form->findChild<Control*>(ToQString(name));
  if (!control) throw std::logic_error(std::string("missing control ") + name);
  return control;
}

}  // namespace

#define QUORVEL_BIND(member) member = Find<std::remove_pointer_t<decltype(member)>>(this, #member)

void TForm1::BindControls() {
  QUORVEL_BIND(main_menu);
  QUORVEL_BIND(top_line);
  QUORVEL_BIND(advance_panel);
  QUORVEL_BIND(line_split);
  QUORVEL_BIND(MainPanel);
  QUORVEL_BIND(img_open_picture);
  QUORVEL_BIND(open_picture_txt);
  QUORVEL_BIND(img_reset);
  QUORVEL_BIND(Label1);
  QUORVEL_BIND(img_help);
  QUORVEL_BIND(Label2);
  QUORVEL_BIND(custom_icon);
  QUORVEL_BIND(custom_txt);
  QUORVEL_BIND(sample_pic);
  QUORVEL_BIND(Memo2);
  QUORVEL_BIND(tmp_list);
  QUORVEL_BIND(Label12);
  QUORVEL_BIND(Label3);
  QUORVEL_BIND(date_format);
  QUORVEL_BIND(border_margin);
  QUORVEL_BIND(Tab_button_Panel);
  QUORVEL_BIND(day_tab);
  QUORVEL_BIND(day_tab_grey);
  QUORVEL_BIND(month_tab);
  QUORVEL_BIND(month_tab_grey);
  QUORVEL_BIND(year_tab);
  QUORVEL_BIND(year_tab_grey);
  QUORVEL_BIND(time_tab);
  QUORVEL_BIND(time_tab_grey);
  QUORVEL_BIND(Day_GroupBox);
  QUORVEL_BIND(Month_GroupBox);
  QUORVEL_BIND(Year_GroupBox);
  QUORVEL_BIND(Time_GroupBox);
  QUORVEL_BIND(short_day);
  QUORVEL_BIND(long_day);
  QUORVEL_BIND(day_notshow);
  QUORVEL_BIND(short_month);
  QUORVEL_BIND(long_month);
  QUORVEL_BIND(numeric_month);
  QUORVEL_BIND(separated_txt);
  QUORVEL_BIND(short_year);
  QUORVEL_BIND(long_year);
  QUORVEL_BIND(NotShowSec);
  QUORVEL_BIND(ShowSec);
  QUORVEL_BIND(NotShowTime);
  QUORVEL_BIND(total_file);
  QUORVEL_BIND(Memo1);
  QUORVEL_BIND(font_preview);
  QUORVEL_BIND(ColorPanel);
  QUORVEL_BIND(DropShadowPanel);
  QUORVEL_BIND(Label_Font);
  QUORVEL_BIND(ComboBox1);
  QUORVEL_BIND(Label_Size);
  QUORVEL_BIND(fs_list);
  QUORVEL_BIND(Label_TXTPosition);
  QUORVEL_BIND(txt_position);
  QUORVEL_BIND(drop_shadow_chk);
  QUORVEL_BIND(txt_bold);
  QUORVEL_BIND(txt_italic);
  QUORVEL_BIND(txt_underline);
  QUORVEL_BIND(txt_strikeout);
  QUORVEL_BIND(Panel_Sample_Preview);
  QUORVEL_BIND(bg);
  QUORVEL_BIND(ProgressBar1);
  QUORVEL_BIND(Panel_Bottom);
  QUORVEL_BIND(disk_output);
  QUORVEL_BIND(label_process);
  QUORVEL_BIND(label_path_output);
  QUORVEL_BIND(Start_Imprint);
}

#undef QUORVEL_BIND

void TForm1::BindEvents() {
  auto& e = events_;
  // Tool strip and picture list.
  e.OnClick(static_cast<QWidget*>(img_open_picture), [this] { img_open_pictureClick(); });
  e.OnClick(static_cast<QWidget*>(img_reset), [this] { img_resetClick(); });
  e.OnClick(static_cast<QWidget*>(img_help), [this] { img_helpClick(); });
  e.OnClick(static_cast<QWidget*>(custom_icon), [this] { custom_iconClick(); });
  e.OnClick(static_cast<QWidget*>(Memo1), [this] { Memo1Click(); });
  // Date settings.
  e.OnChange(date_format, [this] { date_formatChange(); });
  e.OnCloseUp(date_format, [this] { date_formatCloseUp(); });
  e.OnChange(border_margin, [this] { border_marginChange(); });
  e.OnCloseUp(border_margin, [this] { border_marginChange(); });
  e.OnClick(short_day, [this] { short_dayClick(); });
  e.OnClick(long_day, [this] { long_dayClick(); });
  e.OnClick(day_notshow, [this] { day_notshowClick(); });
  e.OnClick(short_month, [this] { short_monthClick(); });
  e.OnClick(long_month, [this] { long_monthClick(); });
  e.OnClick(numeric_month, [this] { numeric_monthClick(); });
  e.OnChange(separated_txt, [this] { separated_txtChange(); });
  e.OnCloseUp(separated_txt, [this] { separated_txtCloseUp(); });
  e.OnClick(short_year, [this] { short_yearClick(); });
  e.OnClick(long_year, [this] { long_yearClick(); });
  e.OnClick(NotShowSec, [this] { NotShowSecClick(); });
  e.OnClick(ShowSec, [this] { ShowSecClick(); });
  e.OnClick(NotShowTime, [this] { NotShowTimeClick(); });
  BindTabs();
  // Font settings.
  e.OnClick(static_cast<QWidget*>(ColorPanel), [this] { ColorPanelClick(); });
  e.OnClick(static_cast<QWidget*>(DropShadowPanel), [this] { DropShadowPanelClick(); });
  e.OnClick(static_cast<QWidget*>(Label_Font), [this] { Label_FontClick(); });
  e.OnChange(ComboBox1, [this] { ComboBox1Change(); });
  e.OnCloseUp(ComboBox1, [this] { ComboBox1CloseUp(); });
  e.OnChange(fs_list, [this] { fs_listChange(); });
  e.OnCloseUp(fs_list, [this] { fs_listCloseUp(); });
  e.OnChange(txt_position, [this] { txt_positionChange(); });
  e.OnCloseUp(txt_position, [this] { fs_listCloseUp(); });
  e.OnClick(drop_shadow_chk, [this] { drop_shadow_chkClick(); });
  for (QCheckBox* style : {txt_bold, txt_italic, txt_underline, txt_strikeout})
    e.OnClick(style, [this] { txt_style(); });
  // Status line and run.
  e.OnClick(static_cast<QWidget*>(disk_output), [this] { disk_outputClick(); });
  e.OnClick(static_cast<QWidget*>(label_path_output), [this] { label_path_outputClick(); });
  // Qt presses a focused button with Return only in a dialog; every setting
  // hands the focus to Imprint, so Return presses it here too, as Space does.
  Start_Imprint->setAutoDefault(true);
  connect(Start_Imprint, &QPushButton::clicked, this,
          [this] { events_.Guarded([this] { Start_ImprintClick(); }); });
  e.OnTimer(Timer1, [this] { Timer1Timer(); });
  e.OnTimer(Timer_Preview, [this] { Timer_PreviewTimer(); });
  e.OnClick(static_cast<QWidget*>(this), [this] { FormClick(); });
}

void TForm1::BindTabs() {
  events_.OnClick(static_cast<QWidget*>(day_tab_grey), [this] { day_tab_greyClick(); });
  events_.OnClick(static_cast<QWidget*>(month_tab_grey), [this] { month_tab_greyClick(); });
  events_.OnClick(static_cast<QWidget*>(year_tab_grey), [this] { year_tab_greyClick(); });
  events_.OnClick(static_cast<QWidget*>(time_tab_grey), [this] { time_tab_greyClick(); });
}

}  // namespace quorvel
