#pragma once
// A program of ours running beside the test (the front-end, say), without a
// display: it keeps running until it ends by itself, is killed, or the object
// goes (which kills it).

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>

namespace testing_support {

class BackgroundProgram {
 public:
  // Starts `program` without arguments in its own folder, with the test's
  // environment plus QT_QPA_PLATFORM=offscreen, standard input from /dev/null
  // and its standard error into `error_log`.
  BackgroundProgram(const std::filesystem::path& program, const std::filesystem::path& error_log);
  ~BackgroundProgram();
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  pid_t pid() const { return pid_; }
  // True while it has not ended.
  bool Running();
  // Its exit code once it ended within `timeout` (-1 when a signal ended it);
  // empty while it still runs.
  std::optional<int> WaitForEnd(std::chrono::milliseconds timeout);
  // kill -9, and reap it.
  void Kill();

 private:
  pid_t pid_ = -1;
  std::optional<int> exit_code_;
};

// The one deadline for whatever a test waits on: ample for a sanitizer build
// on a busy machine, and reached only when something is wrong.
inline constexpr std::chrono::seconds kPatience{30};

// Polls `condition` every 20 ms until it holds or `timeout` passes; its last answer.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = kPatience) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    struct timespec pause {
      0, 20'000'000
    };
    nanosleep(&pause, nullptr);
  }
}

}  // namespace testing_support
