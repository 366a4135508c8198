#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace testing_support {
namespace {

// Allocates nothing: the parent may have threads, and only async-signal-safe
// calls are sure to work between fork and exec.
[[noreturn]] void ExecChild(const std::filesystem::path& program, char* const* argv,
                            const std::filesystem::path& working_dir, int error_pipe) {
  const int null_fd = open("/dev/null", O_RDONLY);
  if (null_fd >= 0) dup2(null_fd, STDIN_FILENO);
  dup2(error_pipe, STDERR_FILENO);
  if (chdir(working_dir.c_str()) != 0) _exit(126);
  execv(program.c_str(), argv);
  _exit(127);
}

std::string ReadUntilClosed(int fd, pid_t child, int timeout_seconds) {
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(child, SIGKILL);
      break;
    }
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace

ProgramResult RunProgram(const std::filesystem::path& program,
                         const std::filesystem::path& working_dir, int timeout_seconds) {
  return RunProgram(program, {}, working_dir, timeout_seconds);
}

ProgramResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& working_dir, int timeout_seconds) {
  std::string name = program.string();
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv{name.data()};
  for (auto& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    close(pipe_fds[0]);
    ExecChild(program, argv.data(), working_dir, pipe_fds[1]);
  }
  close(pipe_fds[1]);
  ProgramResult result;
  result.standard_error = ReadUntilClosed(pipe_fds[0], child, timeout_seconds);
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

std::filesystem::path InstallGenerator(const std::filesystem::path& folder) {
  const std::filesystem::path target = folder / "vantrel";
  std::filesystem::copy_file(std::filesystem::path(QUORVEL_APP_DIR) / "vantrel", target,
                             std::filesystem::copy_options::overwrite_existing);
  return target;
}

}  // namespace testing_support
