// The live preview in the main window: the date text over a clock the test
// sets, the clock's start and tick, and what the drawn preview shows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <functional>
#include <memory>

#include "frontend/artwork.h"
#include "frontend/preview_date_text.h"
#include "window_fixture.h"

namespace {

using quorvel::FixedClock;
using quorvel::ListBox;
using quorvel::LocalDateTime;
using quorvel::TForm1;
using quorvel_test::PickWithMouse;
using quorvel_test::WindowTest;

constexpr LocalDateTime kMondayMorning{2009, 1, 5, 8, 3, 4, 1};

QImage Preview(const TForm1& form) {
  return form.bg->pixmap().toImage().convertToFormat(QImage::Format_RGB888);
}

// The smallest rectangle holding every pixel of exactly `colour`.
QRect PixelsOf(const QImage& image, QColor colour) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) box |= QRect(x, y, 1, 1);
  return box;
}

class PreviewWindowTest : public WindowTest {
 protected:
  // The window as created, before its first activation.
  TForm1& Create() {
    form_ = std::make_unique<TForm1>(
        quorvel::StartOptions{.AppDir = app_dir(), .RegisterWindow = false, .PreviewClock = clock_},
        dialogs_);
    return *form_;
  }
  TForm1& Start() {
    Create().FormActivate();
    return *form_;
  }
  // Runs the clock's own tick, through its timer, until the settings file is back.
  bool TickUntilSaved(TForm1& form) {
    std::filesystem::remove(ini());
    form.Timer_Preview->setInterval(5);
    return QTest::qWaitFor([this] { return std::filesystem::exists(ini()); }, 2000);
  }

  std::shared_ptr<FixedClock> clock_ = std::make_shared<FixedClock>(kMondayMorning);
};

struct DateTextCase {
  const char* what;
  std::function<void(TForm1&)> choose;
  const char* expected;
};

TEST_F(PreviewWindowTest, DateTextFollowsTheChoicesMadeInTheWindow) {
  TForm1& form = Start();
  const DateTextCase cases[] = {
      {"as first shown", [](TForm1&) {}, "Mon. 5 Jan 2009, 8:03:04"},
      {"numeric month with the hyphen",
       [](TForm1& f) {
         f.separated_txt->setCurrentIndex(3);
         f.numeric_month->setChecked(true);
       },
       "Mon. 5-1-2009, 8:03:04"},
      {"slash, month first",
       [](TForm1& f) {
         PickWithMouse(f.separated_txt, 2);
         PickWithMouse(f.date_format, 1);
       },
       "Mon. 1/5/2009, 8:03:04"},
      {"space, no time",
       [](TForm1& f) {
         PickWithMouse(f.separated_txt, 0);
         PickWithMouse(f.date_format, 0);
         f.NotShowTime->setChecked(true);
       },
       "Mon. 5 1 2009"},
      {"long names, two-digit year, year first, no seconds",
       [](TForm1& f) {
         f.long_day->setChecked(true);
         f.long_month->setChecked(true);
         f.short_year->setChecked(true);
         PickWithMouse(f.date_format, 2);
         f.NotShowSec->setChecked(true);
       },
       "Monday. 09 January 5, 8:03"},
      {"no day name",
       [](TForm1& f) {
         f.day_notshow->setChecked(true);
         f.short_month->setChecked(true);
         f.long_year->setChecked(true);
         PickWithMouse(f.date_format, 0);
         f.ShowSec->setChecked(true);
       },
       "5 Jan 2009, 8:03:04"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.choose(form);  // each handler redraws, and so rebuilds the text
    QCoreApplication::processEvents();
    EXPECT_EQ(form.OverlayText, c.expected);
  }
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(PreviewWindowTest, ClockStartsAtTheFirstRenderingAndEachTickSavesAndRedraws) {
  TForm1& form = Create();
  EXPECT_FALSE(form.Timer_Preview->isActive());
  form.FormActivate();
  EXPECT_TRUE(form.Timer_Preview->isActive());
  EXPECT_EQ(form.Timer_Preview->interval(), 1000);
  EXPECT_EQ(form.OverlayText, "Mon. 5 Jan 2009, 8:03:04");
  const QImage first = Preview(form);

  clock_->Set({2009, 1, 5, 8, 3, 5, 1});
  ASSERT_TRUE(TickUntilSaved(form));
  EXPECT_EQ(form.OverlayText, "Mon. 5 Jan 2009, 8:03:05");
  EXPECT_NE(Preview(form), first);
  EXPECT_FALSE(Value("MyTXT").has_value());

  // A run disables the setting controls; the clock goes on all the same.
  form.ProgressBar1->show();
  form.advance_panel->setEnabled(false);
  clock_->Set({2009, 1, 5, 8, 3, 6, 1});
  ASSERT_TRUE(TickUntilSaved(form));
  EXPECT_EQ(form.OverlayText, "Mon. 5 Jan 2009, 8:03:06");
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(PreviewWindowTest, UserTextFromTheStartKeepsTheClockStoppedUntilEmptied) {
  Start();
  form_.reset();
  quorvel_test::WriteFile(ini(), quorvel_test::ReadFile(ini()) + "MyTXT=Holiday 2009\r\n");

  TForm1& form = Start();
  EXPECT_EQ(form.OverlayText, "Holiday 2009");
  EXPECT_FALSE(form.Timer_Preview->isActive());
  form.txt_positionChange();
  EXPECT_FALSE(form.Timer_Preview->isActive());

  form.MyTXT.clear();
  form.preview_sample();
  EXPECT_TRUE(form.Timer_Preview->isActive());
  EXPECT_EQ(form.OverlayText, "Mon. 5 Jan 2009, 8:03:04");
}

// A user text stops the clock and its saves: each choice saves on its own,
// whatever the input device, so the next run and the next start see it.
TEST_F(PreviewWindowTest, ChoicesByMouseWheelAndKeysAreSavedAndComeBackAfterARestart) {
  Start();
  form_.reset();
  quorvel_test::WriteFile(ini(), quorvel_test::ReadFile(ini()) + "MyTXT=Holiday 2009\r\n");
  TForm1& form = Start();
  form.show();
  PickWithMouse(form.border_margin, 7);
  QWheelEvent wheel_up({5, 5}, form.txt_position->mapToGlobal(QPoint(5, 5)), {}, {0, 120},
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(form.txt_position, &wheel_up);
  QTest::keyClick(form.fs_list, Qt::Key_Down);
  EXPECT_EQ(Value("border_margin"), "7");
  EXPECT_EQ(Value("TxtPosition"), "7");
  EXPECT_EQ(Value("StampSize"), "2");

  quorvel::SelectIndex(form.date_format, 1);  // no handler runs: only the closing save keeps it
  form.close();
  EXPECT_EQ(Value("DateFormat"), "1");
  form_.reset();
  TForm1& again = Start();
  EXPECT_EQ(again.border_margin->currentIndex(), 7);
  EXPECT_EQ(again.txt_position->currentIndex(), 7);
  EXPECT_EQ(again.fs_list->currentIndex(), 2);
  EXPECT_EQ(again.date_format->currentIndex(), 1);
}

TEST_F(PreviewWindowTest, RenderingsDrawOnAFreshCopyOfAnUntouchedSample) {
  TForm1& form = Start();
  quorvel::InitArtwork();
  const QImage shipped =
      QImage(quorvel::ArtworkPath("sample.png")).convertToFormat(QImage::Format_RGB888);
  ASSERT_EQ(shipped.size(), QSize(518, 345));

  const QImage once = Preview(form);
  EXPECT_EQ(once.size(), shipped.size());
  EXPECT_NE(once, shipped);  // the stamp is on it
  for (int i = 0; i < 5; ++i) form.preview_sample();
  EXPECT_EQ(Preview(form), once);
  EXPECT_EQ(form.sample_pic->pixmap().toImage().convertToFormat(QImage::Format_RGB888), shipped);

  // Everything outside the stamp's corner is the sample itself.
  const QImage now = Preview(form);
  EXPECT_EQ(now.copy(0, 0, 518, 250), shipped.copy(0, 0, 518, 250));
}

struct ShadowMoveCase {
  int position;
  int dx, dy;  // how far the text moves when the shadow goes off
};

TEST_F(PreviewWindowTest, SwitchingTheShadowOffMovesRightAndBottomPlacesByOnePixel) {
  TForm1& form = Start();
  const QColor text_colour(1, 254, 3);  // found nowhere in the sample
  TForm1::set_panel_color(form.ColorPanel, platform::MakeColorRef(1, 254, 3));
  const ShadowMoveCase cases[] = {
      {0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}, {4, 0, 0},
      {5, 1, 0}, {6, 0, 1}, {7, 0, 1}, {8, 1, 1}, {-1, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    form.drop_shadow_chk->setChecked(true);
    form.txt_position->setCurrentIndex(c.position);
    form.txt_positionChange();
    const QRect with_shadow = PixelsOf(Preview(form), text_colour);
    EXPECT_EQ(form.ShadowOffset, 1);
    form.drop_shadow_chk->setChecked(false);
    const QRect without_shadow = PixelsOf(Preview(form), text_colour);
    ASSERT_FALSE(with_shadow.isEmpty());
    EXPECT_EQ(without_shadow, with_shadow.translated(c.dx, c.dy));
  }
}

TEST_F(PreviewWindowTest, ASaveFailingAtEveryTickIsReportedOnceAndSkipsTheRedraw) {
  TForm1& form = Start();
  const QImage before = Preview(form);
  std::filesystem::remove(ini());
  std::filesystem::create_directory(ini());  // a folder in the file's place cannot be written

  for (int second = 5; second < 8; ++second) {
    clock_->Set({2009, 1, 5, 8, 3, second, 1});
    form.events().Guarded([&form] { form.Timer_PreviewTimer(); });
  }
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], "Unable to write to " + ini().string());
  EXPECT_EQ(form.label_process->text().toStdString(), dialogs_.errors[0]);
  EXPECT_EQ(Preview(form), before);

  std::filesystem::remove(ini());
  form.events().Guarded([&form] { form.Timer_PreviewTimer(); });
  EXPECT_TRUE(std::filesystem::is_regular_file(ini()));
  EXPECT_NE(Preview(form), before);
  EXPECT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(form.label_process->text().toStdString(), "Status");  // the red line went
}

}  // namespace
