// A settings file from an earlier start, also one edited by hand, read back
// into the window; and what happens when the file cannot be read or written.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>

#include "shared/sysconfig.h"
#include "window_fixture.h"

namespace {

using quorvel::TForm1;
using quorvel_test::WindowTest;
using quorvel_test::WriteFile;

// Keys in another order than the save's, one that no program knows, and
// values the save would never write.
const char* const kHandEdited =
    "[LastConfig]\r\n"
    "MyTXT=Holiday\r\n"
    "Something=else\r\n"
    "TimeStyle=HM\r\n"
    "MonthDisplay=n\r\n"
    "DayNotShow=yes\r\n"
    "DayDisplay=\r\n"
    "YearDisplay=s\r\n"
    "r_font_color=300\r\n"
    "g_font_color=0\r\n"
    "b_font_color=-1\r\n"
    "font_select=-1\r\n"
    "ColorB=00FF00\r\n"
    "r_DropShadow_color=1\r\n"
    "g_DropShadow_color=2\r\n"
    "b_DropShadow_color=3\r\n"
    "TextBold=yes\r\n"
    "DropShadow=no\r\n"
    "TxtPosition=ab\r\n"
    "StampSize=\r\n"
    "DateFormat=7\r\n"
    "Separated=3\r\n"
    "border_margin=-1\r\n"
    "Output Path=/no/such/folder/\r\n";

TEST_F(WindowTest, HandEditedFileIsAppliedThroughTheHandlers) {
  WriteFile(ini(), kHandEdited);
  TForm1& form = Start();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(form.ColorDialog1.Color, 44u | (255u << 16));
  EXPECT_EQ(TForm1::panel_color(form.ColorPanel), 44u | (255u << 16));
  EXPECT_EQ(TForm1::panel_color(form.DropShadowPanel), 0x030201u);
  EXPECT_EQ(form.ComboBox1->currentIndex(), -1);
  EXPECT_TRUE(form.txt_bold->isChecked());
  EXPECT_FALSE(form.drop_shadow_chk->isChecked());
  EXPECT_TRUE(form.day_notshow->isChecked());
  EXPECT_EQ(form.DayStyle, "");
  EXPECT_TRUE(form.numeric_month->isChecked());
  EXPECT_EQ(form.MonthStyle, "n");
  EXPECT_FALSE(form.separated_txt->isHidden());
  EXPECT_EQ(form.YearStyle, "s");
  EXPECT_TRUE(form.NotShowSec->isChecked());
  EXPECT_EQ(form.txt_position->currentIndex(), 8);  // letters fall back
  EXPECT_EQ(form.fs_list->currentIndex(), 1);       // empty falls back
  EXPECT_EQ(form.date_format->currentIndex(), -1);  // 7 is no entry
  EXPECT_EQ(form.border_margin->currentText(), "3%");
  EXPECT_EQ(form.MyTXT, "Holiday");
  EXPECT_EQ(form.OutputPath, app_dir());
  EXPECT_EQ(form.label_path_output->text().toStdString(), "Output path: " + app_dir());

  // The save at the end of the activation wrote the state as applied.
  EXPECT_EQ(Value("r_font_color"), "44");
  EXPECT_EQ(Value("b_font_color"), "255");
  EXPECT_EQ(Value("font_select"), "-1");
  EXPECT_EQ(Value("font_select_name"), "");
  EXPECT_EQ(Value("ColorB"), "00FF00");
  EXPECT_EQ(Value("DateFormat"), "-1");
  EXPECT_EQ(Value("DayDisplay"), "");
  EXPECT_EQ(Value("DayNotShow"), "yes");
  EXPECT_EQ(Value("Output Path"), app_dir());
  EXPECT_EQ(Value("MyTXT"), "Holiday");   // never written by a save, kept
  EXPECT_EQ(Value("Something"), "else");  // unknown keys are left alone
}

TEST_F(WindowTest, AValueThatDoesNotConvertCostsOnlyItsKeyAndTheWindowShowsWhatIsSaved) {
  const std::string mine = app_dir() + "mine/";
  std::filesystem::create_directory(mine);
  std::string text = kHandEdited;
  text.replace(text.find("DateFormat=7"), 12, "DateFormat=x");
  text.replace(text.find("/no/such/folder/"), 16, mine);
  WriteFile(ini(), text);
  TForm1& form = Start();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0],
            ini().string() +
                ":\nDateFormat=x is not a valid integer value; its first-start value is used");
  EXPECT_EQ(form.date_format->currentIndex(), 0);
  EXPECT_EQ(TForm1::panel_color(form.ColorPanel), 44u | (255u << 16));
  EXPECT_EQ(TForm1::panel_color(form.DropShadowPanel), 0x030201u);
  EXPECT_EQ(form.fs_list->currentIndex(), 1);
  EXPECT_TRUE(form.numeric_month->isChecked());  // read after the bad key
  EXPECT_EQ(form.OutputPath, mine);

  // The activation's save wrote what the window shows, the user's folder kept.
  EXPECT_EQ(Value("DateFormat"), "0");
  EXPECT_EQ(Value("b_font_color"), "255");
  EXPECT_EQ(Value("MonthDisplay"), "n");
  EXPECT_EQ(Value("Output Path"), mine);
  form.activate();  // switching back to the window reports nothing again
  EXPECT_EQ(dialogs_.errors.size(), 1u);
}

TEST_F(WindowTest, ColourPickerCancelKeepsTheColourButSavesAndConfirmTakesIt) {
  WriteFile(ini(), "[LastConfig]\r\n" + std::string(kHandEdited).substr(14));
  TForm1& form = Start();
  const platform::ColorRef before = form.ColorDialog1.Color;

  std::filesystem::remove(ini());
  form.ColorPanelClick();  // cancelled
  ASSERT_EQ(dialogs_.colors_offered.size(), 1u);
  EXPECT_EQ(dialogs_.colors_offered[0].Color, before);
  EXPECT_EQ(dialogs_.colors_offered[0].Slots[1], quorvel::CustomSlot(0x00FF00));
  EXPECT_EQ(dialogs_.colors_offered[0].Slots[0], std::nullopt);
  EXPECT_EQ(form.ColorDialog1.Color, before);
  EXPECT_EQ(Value("ColorA"), "");  // slots as loaded until a confirm
  EXPECT_EQ(Value("ColorB"), "00FF00");

  quorvel::ColorChoice chosen{0x112233, {}};
  chosen.Slots[1] = 0x00FF00;
  chosen.Slots[2] = 0xABCDEF;
  dialogs_.color_answers.push_back(chosen);
  form.ColorPanelClick();
  EXPECT_EQ(TForm1::panel_color(form.ColorPanel), 0x112233u);
  EXPECT_EQ(Value("r_font_color"), "51");
  EXPECT_EQ(Value("b_font_color"), "17");
  EXPECT_EQ(Value("ColorA"), "FFFFFFFF");
  EXPECT_EQ(Value("ColorC"), "ABCDEF");
  EXPECT_EQ(Value("ShadowColorA"), "");  // the other picker's slots are its own

  dialogs_.color_answers.push_back(quorvel::ColorChoice{0x0000FF, {}});
  form.DropShadowPanelClick();
  EXPECT_EQ(Value("r_DropShadow_color"), "255");
  EXPECT_EQ(Value("ShadowColorP"), "FFFFFFFF");
  EXPECT_EQ(TForm1::panel_color(form.ColorPanel), 0x112233u);
}

TEST_F(WindowTest, ColourPanelsDoNothingDuringARun) {
  TForm1& form = Start();
  form.ProgressBar1->show();
  std::filesystem::remove(ini());
  form.ColorPanelClick();
  form.DropShadowPanelClick();
  EXPECT_TRUE(dialogs_.colors_offered.empty());
  EXPECT_FALSE(std::filesystem::exists(ini()));
}

TEST_F(WindowTest, ASaveThatKeepsFailingIsReportedOnceThenInTheStatusLine) {
  TForm1& form = Start();
  std::filesystem::remove(ini());
  std::filesystem::create_directory(ini());  // nothing can replace a folder
  for (QCheckBox* box : {form.txt_bold, form.txt_italic, form.txt_underline}) box->setChecked(true);
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], "Unable to write to " + ini().string());
  EXPECT_EQ(form.label_process->text().toStdString(), "Unable to write to " + ini().string());

  std::filesystem::remove(ini());
  form.txt_bold->setChecked(false);  // works again
  EXPECT_EQ(Value("TextBold"), "no");
  std::filesystem::remove(ini());
  std::filesystem::create_directory(ini());
  form.txt_bold->setChecked(true);
  EXPECT_EQ(dialogs_.errors.size(), 2u);
}

}  // namespace
