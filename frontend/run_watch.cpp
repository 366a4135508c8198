#include "frontend/run_watch.h"

#include <sys/wait.h>

#include <fstream>

#include "frontend/memo_text.h"
#include "platform/runtime_dir.h"
#include "shared/helpers.h"
#include "shared/names.h"

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

std::string PicturesLeft(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " picture left" : " pictures left");
}

// The message as the generator wrote it, without its program name in front.
std::string_view WithoutProgramName(std::string_view message) {
  const std::string prefix = std::string(shared::GeneratorExe) + ": ";
  if (message.starts_with(prefix)) message.remove_prefix(prefix.size());
  return message;
}

std::string FileNameOf(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  return name.empty() ? path : name;
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
  return shared::Trim(last);
}

std::string LastGeneratorMessage() {
  try {
    return LastNonBlankLine(ReadTail(GeneratorErrorFile()));
  } catch (const std::exception&) {
    return {};  // no runtime folder: no message, the exit status still tells
  }
}

RunWatch::RunWatch(bool started_generator, MessageReader generator_message,
                   std::vector<std::string> run_pictures)
    : started_generator_(started_generator),
      generator_message_(std::move(generator_message)),
      run_pictures_(std::move(run_pictures)) {}

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
  return End({RunVerdict::Kind::kEndFailed, FailureMessage(tick)});
}

bool RunWatch::GeneratorWorks(const RunTick& tick) const {
  return tick.generator_running || (started_generator_ && !tick.started_exit);
}

// The generator's last message names the picture it stopped on. That picture
// may have left the list already, so the first picture left is named only when
// the message names none.
std::string RunWatch::FailureMessage(const RunTick& tick) const {
  const std::string left = " — " + PicturesLeft(tick.pictures_left);
  const std::string before = "Stopped before " + FileNameOf(tick.first_picture_left) + ": ";
  if (!started_generator_ || !tick.started_exit)
    return before + "the generator is not running" + left;
  const std::string whole = generator_message_ ? generator_message_() : std::string();
  if (whole.empty()) return before + ExitReason(*tick.started_exit) + left;
  const std::string_view message = WithoutProgramName(whole);
  const std::string picture = PictureNamedIn(message);
  if (picture.empty()) return before + std::string(message) + left;
  return "Stopped at " + FileNameOf(picture) + ": " +
         std::string(message.substr(picture.size() + 2)) + left;
}

// The longest picture of the run that `message` starts with, followed by ": ".
std::string RunWatch::PictureNamedIn(std::string_view message) const {
  std::string named;
  for (const auto& listed : run_pictures_) {
    const std::string picture = shared::Trim(listed);
    if (picture.size() > named.size() && message.starts_with(picture + ": ")) named = picture;
  }
  return named;
}

RunVerdict RunWatch::End(RunVerdict verdict) {
  state_ = State::kEnded;
  final_ = std::move(verdict);
  return final_;
}

}  // namespace quorvel
