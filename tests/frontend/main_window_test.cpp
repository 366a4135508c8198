// The main window under the offscreen platform: its first start, its setting
// handlers and what they write, and a reload of a hand-edited settings file.
#include <gtest/gtest.h>

#include <limits>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "shared/sysconfig.h"
#include "window_fixture.h"

namespace {

using quorvel::ListBox;
using quorvel::TForm1;
using quorvel_test::PickWithMouse;
using quorvel_test::WindowTest;
using quorvel_test::WriteFile;

TEST_F(WindowTest, FirstStartShowsTheDesignStateAndWritesTheInitialFile) {
  TForm1& form = Start();
  ASSERT_GT(form.ComboBox1->count(), 0);
  EXPECT_EQ(quorvel_test::ReadFile(ini()),
            quorvel_test::FirstSaveFile(form.ComboBox1->itemText(0).toStdString(),
                                        app_dir() + "output/"));
  EXPECT_EQ(form.OutputPath, app_dir() + "output/");
  EXPECT_EQ(form.label_path_output->text().toStdString(), "Output path: " + app_dir() + "output/");
  EXPECT_FALSE(form.FirstActivate);
  EXPECT_TRUE(dialogs_.errors.empty());

  EXPECT_EQ(form.date_format->currentIndex(), 0);
  EXPECT_EQ(form.txt_position->currentIndex(), 8);
  EXPECT_EQ(form.fs_list->currentIndex(), 1);
  EXPECT_EQ(form.border_margin->currentText(), "3%");
  const QWidget* const shown_widgets[] = {form.Day_GroupBox, form.day_tab, form.month_tab_grey,
                                          form.year_tab_grey, form.time_tab_grey};
  for (const QWidget* shown : shown_widgets)
    EXPECT_FALSE(shown->isHidden()) << shown->objectName().toStdString();
  const QWidget* const hidden_widgets[] = {form.Month_GroupBox, form.day_tab_grey,
                                           form.separated_txt,  form.ProgressBar1,
                                           form.sample_pic,     form.Memo2};
  for (const QWidget* hidden : hidden_widgets)
    EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
  const QAbstractButton* const checked_buttons[] = {
      form.short_day, form.short_month, form.long_year, form.ShowSec, form.drop_shadow_chk};
  for (const QAbstractButton* checked : checked_buttons)
    EXPECT_TRUE(checked->isChecked()) << checked->objectName().toStdString();
  EXPECT_EQ(TForm1::panel_color(form.ColorPanel), 0x4080FFu);
  EXPECT_EQ(TForm1::panel_color(form.DropShadowPanel), 0u);

  // The next save writes the output folder it fell back to.
  form.rec_ini();
  EXPECT_EQ(Value("Output Path"), app_dir() + "output/");
}

TEST_F(WindowTest, EveryDesignedControlExistsUnderItsNameAndPlace) {
  TForm1& form = Start();
  struct Place {
    const char* name;
    int left, top, width, height;
  };
  const Place places[] = {
      {"main_menu", 0, 0, 796, 65},          {"advance_panel", 0, 66, 273, 496},
      {"MainPanel", 274, 66, 522, 496},      {"Memo1", 0, 231, 273, 265},
      {"Panel_Bottom", 0, 433, 522, 63},     {"Panel_Sample_Preview", 2, 80, 518, 345},
      {"Start_Imprint", 416, 14, 87, 32},    {"ColorPanel", 16, 18, 25, 25},
      {"Tab_button_Panel", 60, 60, 200, 20}, {"time_tab_grey", 147, 3, 45, 17},
  };
  form.show();
  QCoreApplication::processEvents();
  for (const auto& place : places) {
    auto* widget = form.findChild<QWidget*>(place.name);
    ASSERT_NE(widget, nullptr) << place.name;
    EXPECT_EQ(widget->geometry(), QRect(place.left, place.top, place.width, place.height))
        << place.name;
  }
  EXPECT_EQ(form.windowTitle().toStdString(), "Quorvel : www.quorvel.example");
  EXPECT_EQ(form.ColorPanel->toolTip(), "Text color");
  EXPECT_EQ(form.separated_txt->itemText(3), " - (Hyphen)");
}

struct HandlerCase {
  const char* what;
  std::function<void(TForm1&)> act;
  std::vector<std::pair<std::string, std::string>> written;  // empty: nothing is written
  bool focuses_imprint;
};

TEST_F(WindowTest, EachSettingHandlerWritesItsChoiceAndMovesTheFocus) {
  TForm1& form = Start();
  // The preview clock saves once a second; on a slow machine a tick would
  // write the file between the steps that must write nothing. Kept running
  // (so no handler restarts it) but never due.
  form.Timer_Preview->setInterval(std::numeric_limits<int>::max());
  form.show();
  QCoreApplication::processEvents();
  const HandlerCase cases[] = {
      {"day not shown",
       [](TForm1& f) { f.day_notshow->setChecked(true); },
       {{"DayDisplay", ""}, {"DayNotShow", "yes"}},
       true},
      {"short day again",
       [](TForm1& f) { f.short_day->setChecked(true); },
       {{"DayDisplay", "s"}, {"DayNotShow", "no"}},
       true},
      {"long day", [](TForm1& f) { f.long_day->setChecked(true); }, {{"DayDisplay", "l"}}, true},
      {"numeric month",
       [](TForm1& f) { f.numeric_month->setChecked(true); },
       {{"MonthDisplay", "n"}},
       true},
      {"separator chosen",
       [](TForm1& f) { PickWithMouse(f.separated_txt, 2); },
       {{"Separated", "2"}},
       true},
      {"month name keeps the separator",
       [](TForm1& f) { f.long_month->setChecked(true); },
       {{"MonthDisplay", "l"}, {"Separated", "2"}},
       true},
      {"two-digit year",
       [](TForm1& f) { f.short_year->setChecked(true); },
       {{"YearDisplay", "s"}},
       true},
      {"four-digit year",
       [](TForm1& f) { f.long_year->setChecked(true); },
       {{"YearDisplay", "l"}},
       true},
      {"hour and minute",
       [](TForm1& f) { f.NotShowSec->setChecked(true); },
       {{"TimeStyle", "HM"}},
       true},
      {"no time", [](TForm1& f) { f.NotShowTime->setChecked(true); }, {{"TimeStyle", "no"}}, true},
      {"bold", [](TForm1& f) { f.txt_bold->setChecked(true); }, {{"TextBold", "yes"}}, true},
      {"strike-out",
       [](TForm1& f) { f.txt_strikeout->setChecked(true); },
       {{"TextStrikeout", "yes"}},
       true},
      {"no shadow",
       [](TForm1& f) { f.drop_shadow_chk->setChecked(false); },
       {{"DropShadow", "no"}},
       true},
      {"date order",
       [](TForm1& f) { PickWithMouse(f.date_format, 2); },
       {{"DateFormat", "2"}},
       true},
      {"size", [](TForm1& f) { PickWithMouse(f.fs_list, 0); }, {{"StampSize", "0"}}, true},
      {"position",
       [](TForm1& f) { PickWithMouse(f.txt_position, 3); },
       {{"TxtPosition", "3"}},
       true},
      {"font by mouse",
       [](TForm1& f) { PickWithMouse(f.ComboBox1, 1); },
       {{"font_select", "1"}},
       false},
      {"font by keys",
       [](TForm1& f) {
         f.ComboBox1->setFocus();
         QTest::keyClick(f.ComboBox1, Qt::Key_Down);
       },
       {{"font_select", "2"}},
       false},
      {"margin",
       [](TForm1& f) { PickWithMouse(f.border_margin, 5); },
       {{"border_margin", "5"}},
       true},
      {"grey month tab",
       [](TForm1& f) { QTest::mouseClick(f.month_tab_grey, Qt::LeftButton); },
       {},
       false},
      {"highlighted month tab",
       [](TForm1& f) { QTest::mouseClick(f.month_tab, Qt::LeftButton); },
       {},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(ini());
    form.label_path_output->setFocus();
    c.act(form);
    QCoreApplication::processEvents();
    if (c.written.empty()) {
      EXPECT_FALSE(std::filesystem::exists(ini()));
    }
    for (const auto& [key, value] : c.written) EXPECT_EQ(Value(key), value) << key;
    EXPECT_EQ(form.focusWidget() == form.Start_Imprint, c.focuses_imprint);
  }
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_FALSE(form.Month_GroupBox->isHidden());
  EXPECT_TRUE(form.Day_GroupBox->isHidden());
  EXPECT_TRUE(form.separated_txt->isHidden());
  EXPECT_TRUE(form.font_preview->font().bold());
  EXPECT_TRUE(form.font_preview->font().strikeOut());
  EXPECT_EQ(form.MarginPercent, 5);
  for (const auto key : {Qt::Key_Return, Qt::Key_Enter})
    QTest::keyClick(form.Start_Imprint, key);  // the empty list's message at each press
  EXPECT_EQ(dialogs_.messages.size(), 2u);
}

TEST_F(WindowTest, NotShowCaptionsAreRedAndBoldOnlyWhileChosen) {
  TForm1& form = Start();
  const auto emphasised = [](QRadioButton* button) {
    return button->font().bold() &&
           button->palette().color(QPalette::WindowText) == QColor(Qt::red);
  };
  EXPECT_FALSE(emphasised(form.day_notshow));
  form.day_notshow->setChecked(true);
  EXPECT_TRUE(emphasised(form.day_notshow));
  form.long_day->setChecked(true);
  EXPECT_FALSE(emphasised(form.day_notshow));
  form.NotShowTime->setChecked(true);
  EXPECT_TRUE(emphasised(form.NotShowTime));
  form.ShowSec->setChecked(true);
  EXPECT_FALSE(emphasised(form.NotShowTime));
}

}  // namespace
