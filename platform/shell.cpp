#include "platform/shell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <initializer_list>

#include "platform/errors.h"
#include "platform/system_call.h"

extern char** environ;

namespace platform {
namespace {

constexpr const char* kDesktopOpener = "xdg-open";
constexpr int kFirstUnsharedFd = 3;

// posix_spawn keeps the state a child of a threaded program must not trust
// (locks held by our other threads) out of the child, and reports a failed exec
// as its result.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
  }
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes_);
    posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  void Check(int result) {
    if (result != 0 && first_error_ == 0) first_error_ = result;
  }
  int first_error() const { return first_error_; }
  posix_spawn_file_actions_t* actions() { return &actions_; }
  posix_spawnattr_t* attributes() { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
  int first_error_ = 0;
};

// Own session, no blocked signals, default handlers for the signals a parent
// commonly ignores or catches, only the standard descriptors.
void DetachChild(SpawnSetup& setup, const std::string& stderr_file) {
  setup.Check(
      posix_spawn_file_actions_addopen(setup.actions(), STDIN_FILENO, "/dev/null", O_RDONLY, 0));
  if (!stderr_file.empty()) {
    setup.Check(posix_spawn_file_actions_addopen(
        setup.actions(), STDERR_FILENO, stderr_file.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644));
  }
  setup.Check(posix_spawn_file_actions_addclosefrom_np(setup.actions(), kFirstUnsharedFd));
  sigset_t signals;
  sigemptyset(&signals);
  setup.Check(posix_spawnattr_setsigmask(setup.attributes(), &signals));
  for (const int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) {
    sigaddset(&signals, signal);
  }
  setup.Check(posix_spawnattr_setsigdefault(setup.attributes(), &signals));
  setup.Check(posix_spawnattr_setflags(
      setup.attributes(),
      static_cast<short>(POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF)));
}

ProcessExit ExitOf(int status) {
  if (WIFSIGNALED(status)) return {true, WTERMSIG(status)};
  return {false, WEXITSTATUS(status)};
}

// The middle child of a double fork: starts the opener and leaves at once, so
// that the opener is handed to the system's reaper.
[[noreturn]] void RunOpenerDetached(char* const argv[]) {
  setsid();
  const pid_t opener = fork();
  if (opener == 0) {
    const int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, STDIN_FILENO);
    }
    closefrom(kFirstUnsharedFd);
    execvp(argv[0], argv);
    _exit(127);
  }
  _exit(0);
}

}  // namespace

std::optional<ProcessExit> StartedProgram::Poll() {
  if (exit_) return exit_;
  int status = 0;
  const pid_t reaped = RetryOnInterrupt([&] { return waitpid(pid_, &status, WNOHANG); });
  if (reaped == 0) return std::nullopt;
  exit_ = reaped == pid_ ? ExitOf(status) : ProcessExit{false, -1};
  return exit_;
}

StartedProgram StartProgram(const std::string& program, const std::string& stderr_file) {
  SpawnSetup setup;
  DetachChild(setup, stderr_file);
  if (setup.first_error() != 0) throw SystemError(setup.first_error());
  std::string argv0 = program;
  char* const argv[] = {argv0.data(), nullptr};
  pid_t pid = 0;
  const int result =
      posix_spawn(&pid, program.c_str(), setup.actions(), setup.attributes(), argv, environ);
  if (result != 0) throw SystemError(result);
  return StartedProgram(pid);
}

void OpenWithDesktop(const std::string& target) {
  std::string opener = kDesktopOpener;
  std::string argument = target;
  char* const argv[] = {opener.data(), argument.data(), nullptr};
  const pid_t middle = fork();
  if (middle < 0) return;
  if (middle == 0) RunOpenerDetached(argv);
  int status = 0;
  RetryOnInterrupt([&] { return waitpid(middle, &status, 0); });
}

}  // namespace platform
