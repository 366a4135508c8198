// A run: the list file, the generator's reports, the run watch.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "frontend/Unit1.h"
#include "frontend/eliding_label.h"
#include "frontend/listed_pictures.h"
#include "frontend/memo_text.h"
#include "frontend/memo_widget.h"
#include "frontend/picture_list_file.h"
#include "frontend/picture_list_merge.h"
#include "frontend/qt_convert.h"
#include "frontend/report_queue.h"
#include "shared/helpers.h"
#include "shared/names.h"

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

std::string CountCaption(const ListedPictures& listed) {
  return std::string(kTotalFilesPrefix) + std::to_string(listed.Count());
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
  // The generator reads its settings from the file: it must hold what the preview shows.
  rec_ini();
  // A generator started without its list would stamp the last run's pictures
  // again: a list that cannot be written ends the click here.
  create_tmp_file();
  reports_.Clear();
  const bool started = generator_->StartUnlessRunning(AppDir + GeneratorExe);
  run_watch_.emplace(started, LastGeneratorMessage, SplitLines(MemoText(Memo1)));
  SetLockedControlsEnabled(*this, false);
  setCursor(Qt::WaitCursor);
  ProgressBar1->show();
  CheckFile_finish();
  Timer1->start();
}

void TForm1::create_tmp_file() {
  WritePictureListFile(AppDir + std::string(kPictureListFileName), MemoText(Memo1));
}

void TForm1::CopyData(std::string payload) {
  if (isMinimized()) RestoreFromMinimised();
  reports_.Append(payload);
  if (!run_in_progress()) reports_.DropOldestBeyond(kReportsKeptOutsideARun);
}

// Costs nothing in the list's length: a report waits for the window's answer
// while a pass runs.
void TForm1::CheckFile_finish() {
  const std::vector<StatusLine> settled = reports_.Settle(MemoPictures(Memo1));
  last_pass_settled_ = settled.size();
  if (settled.empty()) return;
  ShowListChanges(Memo1);
  show_status(settled.back());
}

void TForm1::show_status(const StatusLine& status) {
  QPalette colours = label_process->palette();
  colours.setColor(QPalette::WindowText, ToQColor(status.colour));
  label_process->setPalette(colours);
  ShowWholeText(label_process, status.caption);
}

void TForm1::show_idle_status() {
  show_status({kStatusColour, std::string(kIdleStatus)});
}

void TForm1::Timer1Timer() {
  const ListedPictures& listed = MemoPictures(Memo1);
  total_file->setText(ToQString(CountCaption(listed)));
  AdvanceBar(ProgressBar1);
  CheckFile_finish();
  RunTick tick = generator_->Look();
  tick.pictures_left = listed.Count();
  tick.first_picture_left = shared::Trim(listed.FirstLine());
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
  // The pictures a stopped run leaves stay listed, and so does their count.
  if (verdict.kind == RunVerdict::Kind::kEndOk)
    total_file->clear();
  else
    total_file->setText(ToQString(CountCaption(MemoPictures(Memo1))));
  run_watch_.reset();
  if (verdict.kind == RunVerdict::Kind::kEndOk) {
    dialogs_.ShowMessage(std::string(kFinishedMessage));
    show_idle_status();
  } else {
    show_status({kCannotProcessColour, verdict.message});
  }
}

}  // namespace quorvel
