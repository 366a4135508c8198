// The real process side of a run: a generator is started only when none runs,
// its end is seen once it is reaped, and its last words belong to its own run.
#include "frontend/generator_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>

#include <cstdlib>
#include <filesystem>

#include "platform/process_list.h"
#include "shared/helpers.h"
#include "support/background_program.h"
#include "support/fake_frontend.h"
#include "window_fixture.h"

namespace {

namespace fs = std::filesystem;
using quorvel_test::TempDir;
using quorvel_test::WriteFile;
using testing_support::WaitUntil;

// A program name no other process of the machine has.
std::string UniqueName() {
  return "qg" + std::to_string(getpid());
}

fs::path Script(const TempDir& folder, const std::string& name, const std::string& body) {
  const fs::path path = folder.path() / name;
  WriteFile(path, "#!/bin/sh\n" + body + "\n");
  fs::permissions(path, fs::perms::owner_all);
  return path;
}

// Looks until the started program has ended and been reaped.
quorvel::RunTick LookUntilEnded(quorvel::GeneratorProcess& process) {
  quorvel::RunTick tick;
  WaitUntil([&] { return (tick = process.Look()).started_exit.has_value(); });
  return tick;
}

class GeneratorProcessTest : public ::testing::Test {
 protected:
  testing_support::ScopedRuntimeDir runtime_;
  TempDir programs_;
};

TEST_F(GeneratorProcessTest, StartsNothingWhileOneRunsOrWhenTheProgramIsMissing) {
  const std::string name = UniqueName();
  const fs::path stand_in = programs_.path() / name;  // its program file carries the name
  fs::copy_file("/bin/sleep", stand_in);
  const pid_t running = fork();
  ASSERT_GE(running, 0);
  if (running == 0) {
    execl(stand_in.c_str(), stand_in.c_str(), "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  WaitUntil([&] { return !platform::ProcessesRunning(stand_in).empty(); });
  quorvel::SystemGeneratorProcess process;
  EXPECT_FALSE(process.StartUnlessRunning(stand_in.string()));
  EXPECT_TRUE(process.Look().generator_running);
  EXPECT_FALSE(process.Look().started_exit);
  kill(running, SIGKILL);
  waitpid(running, nullptr, 0);

  EXPECT_FALSE(process.StartUnlessRunning((programs_.path() / "missing").string()));
}

TEST_F(GeneratorProcessTest, StartedGeneratorsEndAndLastWordsAreItsOwn) {
  const std::string name = UniqueName();
  const fs::path program = programs_.path() / name;
  quorvel::SystemGeneratorProcess process;

  const fs::path pid_file = programs_.path() / "pid";
  Script(programs_, name,
         "echo $$ >'" + pid_file.string() + ".new'; mv '" + pid_file.string() + ".new' '" +
             pid_file.string() + "'; echo 'the picture is damaged' >&2; exit 3");
  ASSERT_TRUE(process.StartUnlessRunning(program.string()));
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(pid_file); }));
  const fs::path proc_entry = "/proc/" + shared::Trim(testing_support::ReadFile(pid_file));
  EXPECT_TRUE(WaitUntil([&] {
    QCoreApplication::processEvents();
    return !fs::exists(proc_entry);
  })) << "no zombie waits for the next look";
  quorvel::RunTick tick = LookUntilEnded(process);
  ASSERT_TRUE(tick.started_exit);
  EXPECT_EQ(*tick.started_exit, (quorvel::ProgramExit{quorvel::ProgramExit::How::kStatus, 3}));
  EXPECT_FALSE(tick.generator_running);
  EXPECT_EQ(quorvel::LastGeneratorMessage(), "the picture is damaged");

  Script(programs_, name, "kill -9 $$");
  ASSERT_TRUE(process.StartUnlessRunning(program.string()));
  tick = LookUntilEnded(process);
  ASSERT_TRUE(tick.started_exit);
  EXPECT_EQ(*tick.started_exit, (quorvel::ProgramExit{quorvel::ProgramExit::How::kSignal, 9}));
  EXPECT_EQ(quorvel::LastGeneratorMessage(), "") << "the earlier run's message was kept";
}

}  // namespace
