// A run: the list file, the generator's reports, the run watch.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <exception>

#include "frontend/Unit1.h"
#include "frontend/memo_text.h"
#include "frontend/memo_widget.h"
#include "frontend/picture_list_file.h"
#include "frontend/picture_list_merge.h"
#include "frontend/report_queue.h"
#include "shared/helpers.h"

namespace quorvel {

namespace {

constexpr std::string_view kEmptyListMessage = "Please add image file to list.";
constexpr std::string_view kFinishedMessage = "Imprint Finish.";
constexpr std::string_view kIdleStatus = "Status";
constexpr int kBarStep = 5;
constexpr int kBarEnd = 100;

// The controls a run locks, in the order they are locked and unlocked.
std::vector<QWidget*> LockedControls(TForm1& form) {
  return {form.Memo1,           form.Start_Imprint,  form.date_format,   form.border_margin,
          form.drop_shadow_chk, form.ComboBox1,      form.fs_list,       form.txt_position,
          form.txt_bold,        form.txt_italic,     form.txt_underline, form.txt_strikeout,
          form.Day_GroupBox,    form.Month_GroupBox, form.Year_GroupBox, form.Time_GroupBox};
}

void SetLockedControlsEnabled(TForm1& form, bool enabled) {
  for (QWidget* control : LockedControls(form)) control->setEnabled(enabled);
}

void ShowStatus(QLabel* label, const StatusLine& status) {
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, QColor(static_cast<int>(status.colour & 0xFF),
                                                static_cast<int>((status.colour >> 8) & 0xFF),
                                                static_cast<int>((status.colour >> 16) & 0xFF)));
  label->setPalette(colours);
  label->setText(QString::fromStdString(status.caption));
  label->adjustSize();
}

void AdvanceBar(QProgressBar* bar) {
  bar->setValue(bar->value() < kBarEnd ? bar->value() + kBarStep : 0);
}

}  // namespace

void TForm1::set_generator_process(std::unique_ptr<GeneratorProcess> process) {
  generator_ = std::move(process);
}

void TForm1::Start_ImprintClick() {
  if (IsEmptyPictureList(MemoText(Memo1))) {
    dialogs_.ShowMessage(std::string(kEmptyListMessage));
    return;
  }
  // The run starts even when the list cannot be written; the failure is told
  // once the window is in its run state.
  std::exception_ptr list_failure;
  try {
    create_tmp_file();
  } catch (...) {
    list_failure = std::current_exception();
  }
  Memo2->clear();
  const bool started = generator_->StartUnlessRunning(AppDir + GeneratorExe, GeneratorExe);
  run_watch_.emplace(started);
  SetLockedControlsEnabled(*this, false);
  setCursor(Qt::WaitCursor);
  ProgressBar1->show();
  CheckFile_finish();
  Timer1->start();
  if (list_failure) std::rethrow_exception(list_failure);
}

void TForm1::create_tmp_file() {
  WritePictureListFile(AppDir + std::string(kPictureListFileName), MemoText(Memo1));
}

void TForm1::CopyData(std::string payload) {
  if (isMinimized()) RestoreFromMinimised();
  SetMemoText(Memo2, AppendReport(MemoText(Memo2), payload));
}

void TForm1::CheckFile_finish() {
  std::string queue = MemoText(Memo2);
  std::string list = MemoText(Memo1);
  const std::vector<StatusLine> settled = SettleReports(queue, list);
  last_pass_settled_ = settled.size();
  if (settled.empty()) return;
  SetMemoText(Memo2, queue);
  SetMemoText(Memo1, list);
  ShowStatus(label_process, settled.back());
}

void TForm1::Timer1Timer() {
  total_file->setText(QString::fromStdString(TotalFilesCaption(MemoText(Memo1))));
  AdvanceBar(ProgressBar1);
  CheckFile_finish();
  const std::string list = MemoText(Memo1);
  RunTick tick = generator_->Look(GeneratorExe);
  tick.pictures_left = PictureCount(list);
  tick.first_picture_left = Trim(LineAt(list, 0));
  tick.settled = last_pass_settled_;
  if (!run_watch_) run_watch_.emplace(false);
  const RunVerdict verdict = run_watch_->Decide(tick);
  if (verdict.kind == RunVerdict::Kind::kContinue) return;
  end_run(verdict);
}

void TForm1::end_run(const RunVerdict& verdict) {
  SetLockedControlsEnabled(*this, true);
  Timer1->stop();
  unsetCursor();
  ProgressBar1->hide();
  total_file->clear();
  run_watch_.reset();
  if (verdict.kind == RunVerdict::Kind::kEndOk) {
    dialogs_.ShowMessage(std::string(kFinishedMessage));
    ShowStatus(label_process, {kStatusColour, std::string(kIdleStatus)});
  } else {
    ShowStatus(label_process, {kCannotProcessColour, verdict.message});
  }
}

}  // namespace quorvel
