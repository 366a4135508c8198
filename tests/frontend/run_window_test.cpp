// A run in the main window with a stand-in generator: reports are handed to
// the window's copy-data handler directly and the timer is ticked by hand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>

#include "frontend/eliding_label.h"
#include "frontend/memo_widget.h"
#include "run_window_fixture.h"

namespace {

using quorvel::TForm1;
using quorvel_test::ReadFile;
using quorvel_test::RunWindowTest;
using quorvel_test::WriteFile;
namespace fs = std::filesystem;

const char* const kLockedOrder[] = {
    "Memo1",           "Start_Imprint",  "date_format",   "border_margin",
    "drop_shadow_chk", "ComboBox1",      "fs_list",       "txt_position",
    "txt_bold",        "txt_italic",     "txt_underline", "txt_strikeout",
    "Day_GroupBox",    "Month_GroupBox", "Year_GroupBox", "Time_GroupBox"};

// Records the names of the locked controls in the order their state changes.
class EnableRecorder : public QObject {
 public:
  explicit EnableRecorder(TForm1& form) {
    for (const char* name : kLockedOrder)
      form.findChild<QWidget*>(QString::fromLatin1(name))->installEventFilter(this);
  }
  std::vector<std::string> names;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange)
      names.push_back(watched->objectName().toStdString());
    return false;
  }
};

std::vector<std::string> LockedOrder() {
  return {std::begin(kLockedOrder), std::end(kLockedOrder)};
}

std::uint32_t StatusColour(const QLabel* label) {
  const QColor colour = label->palette().color(QPalette::WindowText);
  return static_cast<std::uint32_t>(colour.red()) |
         static_cast<std::uint32_t>(colour.green()) << 8 |
         static_cast<std::uint32_t>(colour.blue()) << 16;
}

std::string Status(const TForm1& form) {
  return form.label_process->text().toStdString();
}

TEST_F(RunWindowTest, BlankListIsRefusedWithAMessage) {
  TForm1& form = StartWindow();
  SetList("  \r\n\r\n \t");
  generator_->running = false;
  form.Start_ImprintClick();
  EXPECT_EQ(dialogs_.messages, std::vector<std::string>{"Please add image file to list."});
  EXPECT_FALSE(form.run_in_progress());
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_TRUE(generator_->started_programs.empty());
  EXPECT_FALSE(fs::exists(app_.path() / "filelist"));
  EXPECT_TRUE(form.Start_Imprint->isEnabled());
}

TEST_F(RunWindowTest, StartWritesTheListStartsTheGeneratorAndLocksInOrder) {
  TForm1& form = StartWindow();
  SetList("  /p/a.jpg\r\n/p/b.jpg \r\n");
  form.CopyData("/old|NoExifData");  // arrived while idle: dropped by the start
  generator_->running = false;
  quorvel::SelectIndex(form.border_margin, 6);  // a choice no handler has saved yet
  EnableRecorder recorder(form);
  form.Start_ImprintClick();

  EXPECT_EQ(Value("border_margin"), "6");  // the generator reads what the window shows
  EXPECT_EQ(ReadFile(app_.path() / "filelist"), "/p/a.jpg\r\n/p/b.jpg");
  EXPECT_EQ(generator_->started_programs, std::vector<std::string>{app_dir() + "vantrel"});
  EXPECT_EQ(recorder.names, LockedOrder());
  EXPECT_TRUE(form.run_in_progress());
  EXPECT_TRUE(form.Timer1->isActive());
  EXPECT_EQ(form.Timer1->interval(), 10);
  EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(QueueText(), "");
  EXPECT_TRUE(form.label_path_output->isEnabled());  // nothing else is locked
}

// What the status line and the list show after each pass.
struct PassCase {
  const char* name;
  std::vector<std::string> list;
  std::vector<std::string> reports;  // "%o" stands for the output folder
  std::vector<std::string> make_files;
  // After each tick: the status and the list left.
  std::vector<std::pair<std::string, std::string>> after_ticks;
  std::uint32_t last_colour;
};

std::string Expand(std::string text, const std::string& folder) {
  for (auto at = text.find("%o"); at != std::string::npos; at = text.find("%o"))
    text.replace(at, 2, folder);
  return text;
}

TEST_F(RunWindowTest, ReportsAreSettledPassByPass) {
  const std::vector<PassCase> cases = {
      {"no EXIF date settles in the first pass",
       {"/p/a.jpg", "/p/b.jpg"},
       {"/p/a.jpg|NoExifData"},
       {},
       {{"Cannot Process... /p/a.jpg", "/p/b.jpg"}},
       0x0000FF},
      {"an output not yet written keeps the report waiting",
       {"/p/a.jpg", "/p/b.jpg"},
       {"/p/a.jpg|%oa_out.jpg"},
       {},
       {{"Status:", "/p/a.jpg\r\n/p/b.jpg"}},
       0xFF8000},
      {"an existing empty output settles at once",
       {"/p/a.jpg", "/p/b.jpg"},
       {"/p/a.jpg|%oa_out.jpg"},
       {"a_out.jpg"},
       {{"Processing... /p/a.jpg", "/p/b.jpg"}},
       0xFF8000},
      {"two settled reports side by side take two passes",
       {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"},
       {"/p/a.jpg|%oa_out.jpg", "/p/b.jpg|%ob_out.jpg"},
       {"a_out.jpg", "b_out.jpg"},
       {{"Processing... /p/a.jpg", "/p/b.jpg\r\n/p/c.jpg"}, {"Processing... /p/b.jpg", "/p/c.jpg"}},
       0xFF8000},
      {"the list's new ends are trimmed",
       {"/p/a.jpg", " /p/b.jpg "},
       {"/p/a.jpg|NoExifData"},
       {},
       {{"Cannot Process... /p/a.jpg", "/p/b.jpg"}},
       0x0000FF},
      {"a picture listed twice goes with the blank lines",
       {"/p/a.jpg", "", "/p/b.jpg", "/p/a.jpg"},
       {"/p/a.jpg|NoExifData"},
       {},
       {{"Cannot Process... /p/a.jpg", "/p/b.jpg"}},
       0x0000FF},
      {"a.jpe leaves a.jpeg in the list",
       {"/p/a.jpe", "/p/a.jpeg"},
       {"/p/a.jpe|%oa_out.jpe"},
       {"a_out.jpe"},
       {{"Processing... /p/a.jpe", "/p/a.jpeg"}},
       0xFF8000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TForm1& form = StartWindow();
    const fs::path out = app_.path() / ("out-" + std::to_string(&c - cases.data()));
    fs::create_directories(out);
    for (const auto& file : c.make_files) WriteFile(out / file, "");
    std::string list;
    for (const auto& line : c.list) list += (list.empty() ? "" : "\r\n") + line;
    SetList(list);
    form.Start_ImprintClick();
    for (const auto& report : c.reports) form.CopyData(Expand(report, out.string() + "/"));
    for (const auto& [status, left] : c.after_ticks) {
      form.Timer1Timer();
      EXPECT_EQ(Status(form), status);
      EXPECT_EQ(ListText(), left);
      EXPECT_EQ(form.Memo1->toPlainText().replace('\n', "\r\n").toStdString(), left);
    }
    EXPECT_EQ(StatusColour(form.label_process), c.last_colour);
    EXPECT_TRUE(form.run_in_progress());
  }
}

TEST_F(RunWindowTest, TickCountsBeforeItsPassAndCyclesTheBar) {
  TForm1& form = StartWindow();
  SetList("/p/a.jpg\r\n/p/b.jpg");
  form.ProgressBar1->setValue(95);
  form.Start_ImprintClick();
  EXPECT_EQ(form.ProgressBar1->value(), 95);  // left where the last run left it
  form.CopyData("/p/a.jpg|NoExifData");
  std::vector<int> bar;
  std::vector<std::string> counts;
  for (int i = 0; i < 3; ++i) {
    form.Timer1Timer();
    bar.push_back(form.ProgressBar1->value());
    counts.push_back(form.total_file->text().toStdString());
  }
  EXPECT_EQ(bar, (std::vector<int>{100, 0, 5}));
  EXPECT_EQ(counts,
            (std::vector<std::string>{"Total file(s): 2", "Total file(s): 1", "Total file(s): 1"}));
}

TEST_F(RunWindowTest, EmptyListEndsTheRun) {
  TForm1& form = StartWindow();
  SetList("/p/a.jpg\r\n/p/b.jpg");
  form.Start_ImprintClick();
  form.CopyData("/p/a.jpg|NoExifData");
  form.CopyData("/p/b.jpg|NoExifData");
  form.Timer1Timer();
  ASSERT_TRUE(form.run_in_progress());
  EXPECT_TRUE(dialogs_.messages.empty());

  EnableRecorder recorder(form);
  form.Timer1Timer();
  EXPECT_FALSE(form.run_in_progress());
  EXPECT_EQ(recorder.names, LockedOrder());
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(form.total_file->text().isEmpty());
  EXPECT_EQ(dialogs_.messages, std::vector<std::string>{"Imprint Finish."});
  EXPECT_EQ(Status(form), "Status");
  EXPECT_EQ(StatusColour(form.label_process), 0xFF8000u);
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(RunWindowTest, NotShowCaptionsAreGreyWhileLockedAndEmphasisedAgainAfter) {
  TForm1& form = StartWindow();
  form.day_notshow->setChecked(true);
  SetList("/p/a.jpg");
  form.Start_ImprintClick();
  const QColor locked = form.palette().color(QPalette::Disabled, QPalette::WindowText);
  EXPECT_EQ(form.day_notshow->palette().color(QPalette::WindowText), locked);

  form.CopyData("/p/a.jpg|NoExifData");
  form.Timer1Timer();
  form.Timer1Timer();
  ASSERT_FALSE(form.run_in_progress());
  EXPECT_EQ(form.day_notshow->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST_F(RunWindowTest, GeneratorThatEndsEarlyEndsTheRunNamingThePicture) {
  TForm1& form = StartWindow();
  SetList("/p/a.jpg\r\n/p/b.jpg");
  generator_->running = false;
  form.Start_ImprintClick();
  form.CopyData("/p/a.jpg|NoExifData");
  form.Timer1Timer();
  ASSERT_TRUE(form.run_in_progress());

  generator_->running = false;  // it ended without reporting b.jpg
  form.Timer1Timer();
  EXPECT_TRUE(form.run_in_progress()) << "one more pass is owed to a generator that just ended";
  form.Timer1Timer();
  EXPECT_FALSE(form.run_in_progress());
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_TRUE(form.Start_Imprint->isEnabled());
  EXPECT_EQ(ListText(), "/p/b.jpg");
  EXPECT_EQ(form.total_file->text().toStdString(), "Total file(s): 1");
  EXPECT_NE(Status(form).find("b.jpg"), std::string::npos) << Status(form);
  EXPECT_EQ(StatusColour(form.label_process), 0x0000FFu);
  EXPECT_TRUE(dialogs_.messages.empty()) << "no Imprint Finish. for a failed run";
}

TEST_F(RunWindowTest, ALongStatusEndsBeforeImprintWithItsMiddleLeftOut) {
  TForm1& form = StartWindow();
  const std::string status = "Stopped at " + std::string(300, 'x') + ".jpg: Not a JPEG file";
  form.show_status({0x0000FF, status});
  const auto* label = dynamic_cast<quorvel::ElidingLabel*>(form.label_process);
  ASSERT_NE(label, nullptr);
  EXPECT_LT(label->geometry().right(), form.Start_Imprint->x());
  EXPECT_TRUE(label->ShownText().startsWith("Stopped at xx")) << label->ShownText().toStdString();
  EXPECT_TRUE(label->ShownText().endsWith("Not a JPEG file"));
  EXPECT_EQ(label->toolTip().toStdString(), status);
}

TEST_F(RunWindowTest, UnwritableListFileStartsNothing) {
  TForm1& form = StartWindow();
  fs::create_directories(app_.path() / "filelist" / "blocker");  // a folder in its place
  SetList("/p/a.jpg");
  form.Start_Imprint->click();
  EXPECT_FALSE(form.run_in_progress());
  EXPECT_TRUE(generator_->started_programs.empty());
  EXPECT_TRUE(form.Memo1->isEnabled());
  EXPECT_EQ(ListText(), "/p/a.jpg");
  EXPECT_EQ(dialogs_.errors,
            std::vector<std::string>{"Cannot write the picture list " +
                                     (app_.path() / "filelist").string() + ": Is a directory"});
}

TEST_F(RunWindowTest, ReportRestoresAMinimisedWindowAsItWasAndIsQueued) {
  TForm1& form = StartWindow();
  form.showMaximized();
  form.showMinimized();
  QCoreApplication::processEvents();
  ASSERT_TRUE(form.isMinimized());
  form.CopyData("/p/a.jpg|/o/a.jpg");
  form.CopyData("/p/b.jpg|NoExifData");
  EXPECT_FALSE(form.isMinimized());
  EXPECT_TRUE(form.isMaximized()) << "a maximised window must come back maximised";
  EXPECT_EQ(QueueText(), "/p/a.jpg|/o/a.jpg\r\n/p/b.jpg|NoExifData");
}

}  // namespace
