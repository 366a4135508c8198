#include "shared/helpers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/process_list.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

TEST(GetFileSize64, SizesOfWhatIsThere) {
  TempDir dir;
  EXPECT_EQ(GetFileSize64((dir / "missing").string()), -1);
  EXPECT_EQ(GetFileSize64(""), -1);
  testing_support::WriteFile(dir / "empty", "");
  EXPECT_EQ(GetFileSize64((dir / "empty").string()), 0);
  testing_support::WriteFile(dir / "three", "abc");
  EXPECT_EQ(GetFileSize64((dir / "three").string()), 3);
  EXPECT_EQ(GetFileSize64(dir.path().string()), 0);
}

TEST(GetFileSize64, FileBeyondFourGibibytes) {
  TempDir dir;
  const std::string path = (dir / "sparse").string();
  const off_t size = (off_t{5} << 30) + 7;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  const int truncated = ftruncate(fd, size);
  close(fd);
  if (truncated != 0) GTEST_SKIP() << "the temporary folder cannot hold a sparse 5 GiB file";
  EXPECT_EQ(GetFileSize64(path), size);
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string ExeOf(pid_t pid) {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  return error ? std::string() : exe.string();
}

char StateOf(pid_t pid) {
  std::ifstream stat_file("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat_file, line);
  const auto close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

bool WaitFor(const auto& condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// A copy of a system program under a name of our own, started with `argument`
// and killed and reaped when the object goes.
class StandInProcess {
 public:
  StandInProcess(const fs::path& folder, const std::string& name, const char* original,
                 const char* argument) {
    program_ = folder / name;
    fs::copy_file(original, program_);
    fs::permissions(program_, fs::perms::owner_all);
    program_ = fs::canonical(program_);
    const std::string path = program_.string();
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(argument), nullptr};
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = -1;
  }
  ~StandInProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  StandInProcess(const StandInProcess&) = delete;
  StandInProcess& operator=(const StandInProcess&) = delete;

  pid_t pid() const { return pid_; }
  std::string path() const { return program_.string(); }

 private:
  fs::path program_;
  pid_t pid_ = -1;
};

TEST(IsProcessRunning, MatchesFileNameOrWholePathIgnoringCase) {
  TempDir dir;
  const std::string name = "QvTestProc" + std::to_string(getpid());
  StandInProcess process(dir.path(), name, "/bin/sleep", "600");
  ASSERT_GT(process.pid(), 0);
  ASSERT_TRUE(WaitFor([&] { return ExeOf(process.pid()) == process.path(); }));

  EXPECT_TRUE(IsProcessRunning(name));
  EXPECT_TRUE(IsProcessRunning(Lower(name)));
  EXPECT_TRUE(IsProcessRunning(Upper(name)));
  EXPECT_TRUE(IsProcessRunning(process.path()));
  EXPECT_TRUE(IsProcessRunning(Upper(process.path())));

  // A folder in the name must match the whole path, not just any folder.
  EXPECT_FALSE(IsProcessRunning("/elsewhere/" + name));
  // Parts of the name, or more than it, are other programs.
  EXPECT_FALSE(IsProcessRunning("QvTestProc"));
  EXPECT_FALSE(IsProcessRunning(name.substr(1)));
  EXPECT_FALSE(IsProcessRunning(name + "x"));
  EXPECT_FALSE(IsProcessRunning(name + ".exe"));
  EXPECT_FALSE(IsProcessRunning("QvNoSuchProgram" + std::to_string(getpid())));
  EXPECT_FALSE(IsProcessRunning(""));
}

// Our own running processes always show their full program path. An ended but
// not yet reaped child no longer has one, so its entry is the bare process name:
// a name with a folder must not match it.
TEST(IsProcessRunning, AnEndedProcessNotYetReapedDoesNotCount) {
  TempDir dir;
  const std::string name = "QvZ" + std::to_string(getpid() % 100000);
  StandInProcess process(dir.path(), name, "/bin/true", "");
  ASSERT_GT(process.pid(), 0);
  ASSERT_TRUE(WaitFor([&] { return StateOf(process.pid()) == 'Z'; }));
  EXPECT_FALSE(IsProcessRunning(name));
  EXPECT_FALSE(IsProcessRunning(process.path()));
}

}  // namespace
