// Drives the real main window without a person: picks the pictures named on
// the command line in the open dialog, presses "Imprint", waits for the run to
// end and writes down what the window showed.
//
// Usage: Quorvel APP_DIR OUTCOME_FILE TIMEOUT_SECONDS PICTURE...
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>

#include "frontend/Unit1.h"
#include "frontend/memo_text.h"
#include "frontend/memo_widget.h"
#include "outcome.h"

namespace quorvel_driver {
namespace {

using Clock = std::chrono::steady_clock;

class DriverDialogs : public quorvel::Dialogs {
 public:
  DriverDialogs(std::vector<std::string> pictures, Outcome& outcome)
      : pictures_(std::move(pictures)), outcome_(outcome) {}

  std::optional<quorvel::ColorChoice> ChooseColor(const quorvel::ColorChoice&) override {
    return std::nullopt;
  }
  std::vector<std::string> OpenFiles(const quorvel::FileDialogSpec&) override {
    return std::exchange(pictures_, {});
  }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  // A message box holds the window as it is: what it shows meanwhile is seen.
  void ShowMessage(const std::string& text) override {
    if (before_message) before_message();
    outcome_.messages.push_back(text);
  }
  bool Confirm(const std::string&, const std::string&) override { return false; }
  void ShowError(const std::string& text) override { outcome_.errors.push_back(text); }

  std::function<void()> before_message;

 private:
  std::vector<std::string> pictures_;
  Outcome& outcome_;
};

StatusSeen StatusOf(const quorvel::TForm1& form) {
  const QColor colour = form.label_process->palette().color(QPalette::WindowText);
  return {static_cast<std::uint32_t>(colour.red()) |
              static_cast<std::uint32_t>(colour.green()) << 8 |
              static_cast<std::uint32_t>(colour.blue()) << 16,
          form.label_process->text().toStdString()};
}

void NoteStatus(const quorvel::TForm1& form, Outcome& outcome) {
  const StatusSeen now = StatusOf(form);
  if (outcome.statuses.empty() || !(outcome.statuses.back() == now))
    outcome.statuses.push_back(now);
}

bool ControlsEnabled(const quorvel::TForm1& form) {
  return form.Memo1->isEnabled() && form.Start_Imprint->isEnabled() &&
         form.Day_GroupBox->isEnabled() && form.Time_GroupBox->isEnabled();
}

void TakeEnd(const quorvel::TForm1& form, Outcome& outcome) {
  outcome.list_left = quorvel::SplitLines(quorvel::MemoText(form.Memo1));
  outcome.controls_enabled = ControlsEnabled(form);
}

int Drive(const std::string& app_dir, const std::string& outcome_file, int timeout_seconds,
          std::vector<std::string> pictures) {
  Outcome outcome;
  DriverDialogs dialogs(std::move(pictures), outcome);
  quorvel::TForm1 form(quorvel::StartOptions{.AppDir = app_dir}, dialogs);
  form.show();
  form.FormActivate();
  form.img_open_pictureClick();
  dialogs.before_message = [&] { NoteStatus(form, outcome); };
  // Connected after the window's own handler, so it sees what each tick left.
  QObject::connect(form.Timer1, &QTimer::timeout, [&] { NoteStatus(form, outcome); });

  const auto started = Clock::now();
  form.Start_Imprint->click();
  NoteStatus(form, outcome);
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const bool timed_out = Clock::now() - started > std::chrono::seconds(timeout_seconds);
    if (form.run_in_progress() && !timed_out) return;
    outcome.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    const bool finished = std::find(outcome.messages.begin(), outcome.messages.end(),
                                    "Imprint Finish.") != outcome.messages.end();
    outcome.result = form.run_in_progress() ? "timeout" : finished ? "finished" : "failed";
    TakeEnd(form, outcome);
    QApplication::quit();
  });
  poll.start();
  QApplication::exec();
  WriteOutcome(outcome_file, outcome);
  return 0;
}

}  // namespace
}  // namespace quorvel_driver

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: " << argv[0] << " APP_DIR OUTCOME_FILE TIMEOUT_SECONDS PICTURE...\n";
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  std::string app_dir = argv[1];
  if (!app_dir.ends_with('/')) app_dir += '/';
  try {
    return quorvel_driver::Drive(app_dir, argv[2], std::atoi(argv[3]), {argv + 4, argv + argc});
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
