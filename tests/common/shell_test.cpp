#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/shell.h"
#include "support/background_program.h"
#include "support/fake_frontend.h"
#include "support/temp_dir.h"

using platform::ProcessExit;
using platform::StartedProgram;
using testing_support::ReadFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WaitUntil;
using testing_support::WriteFile;

namespace {

void WriteScript(const std::filesystem::path& path, const std::string& body) {
  WriteFile(path, "#!/bin/sh\n" + body + "\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::optional<ProcessExit> PollUntilEnded(StartedProgram& program) {
  std::optional<ProcessExit> exit;
  if (!WaitUntil([&] { return (exit = program.Poll()).has_value(); })) kill(program.pid(), SIGKILL);
  return exit;
}

bool NotOurChildAnyMore(pid_t pid) {
  return waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

bool WaitForFile(const std::filesystem::path& path) {
  return WaitUntil([&] { return std::filesystem::exists(path); });
}

// Closes a descriptor that a started program must not inherit.
class OpenDescriptor {
 public:
  explicit OpenDescriptor(int number) : number_(number) {
    const int fd = open("/dev/null", O_RDONLY);
    dup2(fd, number_);
    close(fd);
  }
  ~OpenDescriptor() { close(number_); }

 private:
  int number_;
};

}  // namespace

TEST(StartProgram, PathWithBlanksAndQuotesRunsDetachedWithItsErrorsInTheFile) {
  TempDir dir;
  const auto folder = dir / "a 'quoted' \"folder\"";
  std::filesystem::create_directory(folder);
  const auto program = folder / "prog 1 $HOME;x";
  WriteScript(program,
              "echo \"args=$#\" >&2\n"
              "echo \"stdin=$(readlink /proc/$$/fd/0)\" >&2\n"
              "echo \"cwd=$(pwd)\" >&2\n"
              "[ -e /proc/$$/fd/57 ] && echo leaked >&2\n"
              "exit 7");
  const auto log = dir / "errors.log";
  WriteFile(log, "earlier\n");
  const OpenDescriptor ours(57);

  StartedProgram started = platform::StartProgram(program.string(), log.string());
  EXPECT_EQ(getsid(started.pid()), started.pid()) << "in a session of its own";
  const auto exit = PollUntilEnded(started);
  ASSERT_TRUE(exit);
  EXPECT_FALSE(exit->signalled);
  EXPECT_EQ(exit->code, 7);
  EXPECT_EQ(ReadFile(log), "earlier\nargs=0\nstdin=/dev/null\ncwd=" +
                               std::filesystem::current_path().string() + "\n");
}

TEST(StartProgram, PollReportsHowItEndedAndLeavesNoZombie) {
  struct Case {
    std::string body;
    ProcessExit expected;
  };
  const Case cases[] = {
      {"exit 0", {false, 0}},
      {"exit 3", {false, 3}},
      {"kill -TERM $$", {true, SIGTERM}},
      {"kill -KILL $$", {true, SIGKILL}},
      {"kill -INT $$", {true, SIGINT}},
  };
  TempDir dir;
  for (const Case& c : cases) {
    WriteScript(dir / "prog", c.body);
    StartedProgram started = platform::StartProgram((dir / "prog").string(), "");
    const auto exit = PollUntilEnded(started);
    ASSERT_TRUE(exit) << c.body;
    EXPECT_EQ(exit->signalled, c.expected.signalled) << c.body;
    EXPECT_EQ(exit->code, c.expected.code) << c.body;
    EXPECT_TRUE(NotOurChildAnyMore(started.pid())) << c.body;
    const auto again = started.Poll();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->code, c.expected.code) << "the end stays known";
  }
}

TEST(StartProgram, RunningProgramIsReportedAsRunning) {
  TempDir dir;
  WriteScript(dir / "prog", "exec sleep 30");
  StartedProgram started = platform::StartProgram((dir / "prog").string(), "");
  EXPECT_FALSE(started.Poll());
  kill(started.pid(), SIGKILL);
  const auto exit = PollUntilEnded(started);
  ASSERT_TRUE(exit);
  EXPECT_TRUE(exit->signalled);
  EXPECT_EQ(exit->code, SIGKILL);
}

TEST(StartProgram, ProgramThatCannotBeStartedThrows) {
  TempDir dir;
  WriteFile(dir / "not executable", "#!/bin/sh\nexit 0\n");
  std::filesystem::permissions(dir / "not executable", std::filesystem::perms::owner_read);
  WriteScript(dir / "prog", "exit 0");
  struct Case {
    std::filesystem::path program;
    std::filesystem::path log;
  };
  const Case cases[] = {
      {dir / "missing", ""},
      {dir.path(), ""},
      {dir / "prog", dir / "no folder" / "errors.log"},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(platform::StartProgram(c.program.string(), c.log.string()), platform::SystemError)
        << c.program << " " << c.log;
  }
  if (geteuid() != 0) {  // root may run what it cannot read as executable
    EXPECT_THROW(platform::StartProgram((dir / "not executable").string(), ""),
                 platform::SystemError);
  }
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a failed start leaves no child";
}

TEST(OpenWithDesktop, WithoutTheOpenerNothingHappens) {
  TempDir empty;
  const ScopedEnv path("PATH", empty.path().string());
  EXPECT_NO_THROW(platform::OpenWithDesktop("/tmp"));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child left behind";
}

TEST(OpenWithDesktop, OpenerGetsTheTargetAsOneArgument) {
  TempDir bin;
  const auto received = bin / "received";
  WriteScript(bin / "xdg-open", "printf '%s|%s' \"$#\" \"$1\" > '" + received.string() +
                                    ".tmp'\nmv '" + received.string() + ".tmp' '" +
                                    received.string() + "'");
  const ScopedEnv path("PATH", bin.path().string() + ":/usr/bin:/bin");
  const std::string target = "/some folder/it's \"quoted\" $HOME;ls *";
  platform::OpenWithDesktop(target);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child left behind";
  ASSERT_TRUE(WaitForFile(received));
  EXPECT_EQ(ReadFile(received), "1|" + target);
}
