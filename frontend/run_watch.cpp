#include "frontend/run_watch.h"

#include <sys/wait.h>

#include <fstream>

#include "frontend/memo_text.h"
#include "platform/runtime_dir.h"
#include "shared/helpers.h"

namespace quorvel {
namespace {

// A generator stuck in a loop could write without end; its last words are at
// the end of the file.
constexpr std::streamoff kErrorTailBytes = 64 * 1024;

std::string ReadTail(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return {};
  const std::streamoff size = file.tellg();
  if (size <= 0) return {};
  const std::streamoff start = size > kErrorTailBytes ? size - kErrorTailBytes : 0;
  file.seekg(start);
  std::string tail(static_cast<std::size_t>(size - start), '\0');
  file.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  tail.resize(static_cast<std::size_t>(file.gcount()));
  return tail;
}

std::string ExitReason(const ProgramExit& exit) {
  if (exit.how == ProgramExit::How::kSignal) {
    return "the generator was stopped by signal " + std::to_string(exit.value);
  }
  return "the generator ended with status " + std::to_string(exit.value);
}

}  // namespace

ProgramExit ProgramExit::FromWaitStatus(int wait_status) {
  if (WIFSIGNALED(wait_status)) return {How::kSignal, WTERMSIG(wait_status)};
  return {How::kStatus, WEXITSTATUS(wait_status)};
}

std::filesystem::path GeneratorErrorFile() {
  return platform::UserRuntimeDir() / kGeneratorErrorFileName;
}

std::string LastNonBlankLine(std::string_view text) {
  std::string last;
  for (const auto& line : SplitLines(text)) {
    if (!IsBlankText(line)) last = line;
  }
  return Trim(last);
}

std::string LastGeneratorMessage() {
  try {
    return LastNonBlankLine(ReadTail(GeneratorErrorFile()));
  } catch (const std::exception&) {
    return {};  // no runtime folder: no message, the exit status still tells
  }
}

RunWatch::RunWatch(bool started_generator, MessageReader generator_message)
    : started_generator_(started_generator), generator_message_(std::move(generator_message)) {}

RunVerdict RunWatch::Decide(const RunTick& tick) {
  if (state_ == State::kEnded) return final_;
  if (tick.pictures_left == 0) return End({RunVerdict::Kind::kEndOk, {}});
  if (GeneratorWorks(tick)) {
    state_ = State::kWatching;
    return {};
  }
  // The generator may have written its last file just before it ended, and
  // its last reports may still wait in the queue: the run goes on while a
  // pass after its end still settles reports.
  if (state_ == State::kWatching || tick.settled > 0) {
    state_ = State::kDraining;
    return {};
  }
  return End({RunVerdict::Kind::kEndFailed, "The picture " + tick.first_picture_left +
                                                " was not finished: " + FailureReason(tick)});
}

bool RunWatch::GeneratorWorks(const RunTick& tick) const {
  return tick.generator_running || (started_generator_ && !tick.started_exit);
}

std::string RunWatch::FailureReason(const RunTick& tick) const {
  if (!started_generator_ || !tick.started_exit) return "the generator is not running";
  const std::string message = generator_message_ ? generator_message_() : std::string();
  return message.empty() ? ExitReason(*tick.started_exit) : message;
}

RunVerdict RunWatch::End(RunVerdict verdict) {
  state_ = State::kEnded;
  final_ = std::move(verdict);
  return final_;
}

}  // namespace quorvel
