#pragma once
// Decides, once per tick of a run, whether the run goes on. A run ends well
// when the picture list is empty. It ends with a failure only when no generator
// works for it any more: the generator of this window's common folder that the
// run relies on has ended, the one this run started (if any) has been reaped,
// and a pass after that settled nothing while pictures were left on the list.
// Reports that queued up while the generator finished take several passes (a
// line behind a settled one waits for the next pass), so passes go on as long
// as they settle something. A slow generator never ends a run.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// How a reaped program ended.
struct ProgramExit {
  enum class How { kStatus, kSignal };
  How how = How::kStatus;
  int value = 0;
  // From a wait status as waitpid gives it.
  static ProgramExit FromWaitStatus(int wait_status);
  bool operator==(const ProgramExit&) const = default;
};

// What one tick saw, taken after its pass over the report queue.
struct RunTick {
  bool generator_running = false;           // the generator the run relies on runs
  std::optional<ProgramExit> started_exit;  // the one this run started, once reaped
  std::size_t pictures_left = 0;
  std::string first_picture_left;  // the list's first line while pictures are left
  std::size_t settled = 0;         // reports this tick's pass settled
};

struct RunVerdict {
  enum class Kind { kContinue, kEndOk, kEndFailed };
  Kind kind = Kind::kContinue;
  std::string message;  // where and why the run stopped, and how many pictures are left
  bool operator==(const RunVerdict&) const = default;
};

// The file in the per-user runtime folder that keeps the standard error of the
// generator we start.
inline constexpr std::string_view kGeneratorErrorFileName = "vantrel-stderr.txt";
std::filesystem::path GeneratorErrorFile();

// The last line of `text` that is not blank, trimmed; empty when there is none.
std::string LastNonBlankLine(std::string_view text);

// The generator's last message in its error file; empty when it left none.
std::string LastGeneratorMessage();

class RunWatch {
 public:
  using MessageReader = std::function<std::string()>;

  // `started_generator`: this run started the generator, rather than relying
  // on one that was running already. `run_pictures`: the list the run was
  // started with, to find the picture a message of the generator names.
  explicit RunWatch(bool started_generator, MessageReader generator_message = LastGeneratorMessage,
                    std::vector<std::string> run_pictures = {});

  RunVerdict Decide(const RunTick& tick);

 private:
  enum class State { kWatching, kDraining, kEnded };

  bool GeneratorWorks(const RunTick& tick) const;
  std::string FailureMessage(const RunTick& tick) const;
  std::string PictureNamedIn(std::string_view message) const;
  RunVerdict End(RunVerdict verdict);

  bool started_generator_;
  MessageReader generator_message_;
  std::vector<std::string> run_pictures_;
  State state_ = State::kWatching;
  RunVerdict final_;
};

}  // namespace quorvel
