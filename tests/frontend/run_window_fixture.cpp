#include "run_window_fixture.h"

#include <memory>

#include "frontend/memo_widget.h"

namespace quorvel_test {

bool FakeGenerator::StartUnlessRunning(const std::string& program) {
  if (running) return false;
  started_programs.push_back(program);
  running = start_succeeds;
  return start_succeeds;
}

quorvel::RunTick FakeGenerator::Look() {
  quorvel::RunTick tick;
  tick.generator_running = running;
  if (!running && !started_programs.empty()) tick.started_exit = quorvel::ProgramExit{};
  return tick;
}

quorvel::TForm1& RunWindowTest::StartWindow() {
  form_ = std::make_unique<quorvel::TForm1>(
      quorvel::StartOptions{.AppDir = app_dir(), .RegisterWindow = false}, dialogs_);
  auto generator = std::make_unique<FakeGenerator>();
  generator_ = generator.get();
  form_->set_generator_process(std::move(generator));
  form_->FormActivate();
  return *form_;
}

std::string RunWindowTest::ListText() const {
  return quorvel::MemoText(form_->Memo1);
}

void RunWindowTest::SetList(const std::string& crlf_text) {
  quorvel::SetMemoText(form_->Memo1, crlf_text);
}

std::string RunWindowTest::QueueText() const {
  return form_->report_queue().Text();
}

}  // namespace quorvel_test
