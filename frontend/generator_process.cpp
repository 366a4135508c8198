#include "frontend/generator_process.h"

#include <fstream>

#include "platform/errors.h"
#include "shared/helpers.h"

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

bool SystemGeneratorProcess::StartUnlessRunning(const std::string& program,
                                                const std::string& name) {
  if (started_ && !started_->Poll()) return false;  // ours from an earlier run still works
  started_.reset();
  if (shared::IsProcessRunning(name)) return false;
  try {
    started_ = platform::StartProgram(program, FreshErrorFile());
  } catch (const platform::Error&) {
    return false;
  }
  return true;
}

RunTick SystemGeneratorProcess::Look(const std::string& name) {
  RunTick tick;
  if (started_) {
    if (const auto exit = started_->Poll()) tick.started_exit = ToProgramExit(*exit);
  }
  tick.generator_running = shared::IsProcessRunning(name);
  return tick;
}

std::unique_ptr<GeneratorProcess> MakeSystemGeneratorProcess() {
  return std::make_unique<SystemGeneratorProcess>();
}

}  // namespace quorvel
