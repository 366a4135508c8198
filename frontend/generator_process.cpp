#include "frontend/generator_process.h"

#include <fstream>

#include "platform/errors.h"
#include "platform/process_list.h"

namespace quorvel {
namespace {

// Each run keeps only its own generator's last words, so an old failure is
// never blamed on a new run.
std::string FreshErrorFile() {
  try {
    const std::string path = GeneratorErrorFile().string();
    std::ofstream truncate(path, std::ios::binary | std::ios::trunc);
    return truncate ? path : std::string();
  } catch (const std::exception&) {
    return {};  // no runtime folder: the generator's messages are not kept
  }
}

ProgramExit ToProgramExit(const platform::ProcessExit& exit) {
  return {exit.signalled ? ProgramExit::How::kSignal : ProgramExit::How::kStatus, exit.code};
}

}  // namespace

bool SystemGeneratorProcess::StartUnlessRunning(const std::string& program) {
  if (started_ && !started_->Poll()) return false;  // ours from an earlier run still works
  exit_notifier_.reset();
  started_.reset();
  found_.reset();
  if (RelyOnRunning(program)) return false;
  return Start(program);
}

bool SystemGeneratorProcess::RelyOnRunning(const std::string& program) {
  for (const pid_t pid : platform::ProcessesRunning(program)) {
    found_.emplace(pid);
    if (found_->Runs()) return true;
  }
  found_.reset();
  return false;
}

bool SystemGeneratorProcess::Start(const std::string& program) {
  try {
    started_.emplace(platform::StartProgram(program, FreshErrorFile()));
  } catch (const platform::Error&) {
    return false;
  }
  ReapOnExit();
  return true;
}

// An ended generator is reaped as soon as it ends, whether a run still looks
// at it or not, so that no zombie waits for the next run or the window's close.
void SystemGeneratorProcess::ReapOnExit() {
  if (started_->exit_fd() < 0) return;  // reaped by the run's next look instead
  exit_notifier_ = std::make_unique<QSocketNotifier>(started_->exit_fd(), QSocketNotifier::Read);
  QObject::connect(exit_notifier_.get(), &QSocketNotifier::activated, exit_notifier_.get(), [this] {
    if (started_->Poll()) exit_notifier_->setEnabled(false);
  });
}

RunTick SystemGeneratorProcess::Look() {
  RunTick tick;
  if (started_) {
    if (const auto exit = started_->Poll()) {
      tick.started_exit = ToProgramExit(*exit);
    } else {
      tick.generator_running = true;
    }
  } else if (found_) {
    tick.generator_running = found_->Runs();
  }
  return tick;
}

std::unique_ptr<GeneratorProcess> MakeSystemGeneratorProcess() {
  return std::make_unique<SystemGeneratorProcess>();
}

}  // namespace quorvel
