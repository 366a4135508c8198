#include "support/background_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace testing_support {
namespace {

// Made before the fork: the child may only call async-signal-safe functions.
std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!text.starts_with("QT_QPA_PLATFORM=")) entries.push_back(text);
  }
  entries.emplace_back("QT_QPA_PLATFORM=offscreen");
  return entries;
}

}  // namespace

BackgroundProgram::BackgroundProgram(const std::filesystem::path& program,
                                     const std::filesystem::path& error_log) {
  std::vector<std::string> environment = ChildEnvironment();
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const std::string path = program.string();
  const std::string folder = program.parent_path().string();
  const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int errors = open(error_log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (input < 0 || errors < 0) throw std::runtime_error("cannot open the program's files");
  pid_ = fork();
  if (pid_ == 0) {
    dup2(input, STDIN_FILENO);
    dup2(errors, STDERR_FILENO);
    if (chdir(folder.c_str()) != 0) _exit(126);
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    execve(path.c_str(), argv, envp.data());
    _exit(127);
  }
  close(input);
  close(errors);
  if (pid_ < 0) throw std::runtime_error("fork failed");
}

BackgroundProgram::~BackgroundProgram() {
  Kill();
}

bool BackgroundProgram::Running() {
  return !WaitForEnd(std::chrono::milliseconds(0));
}

std::optional<int> BackgroundProgram::WaitForEnd(std::chrono::milliseconds timeout) {
  WaitUntil(
      [this] {
        if (exit_code_) return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
        exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return true;
      },
      timeout);
  return exit_code_;
}

void BackgroundProgram::Kill() {
  if (exit_code_ || pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  exit_code_ = -1;
}

}  // namespace testing_support
