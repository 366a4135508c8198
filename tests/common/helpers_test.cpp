#include "shared/helpers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/process_list.h"
#include "support/background_program.h"
#include "support/fake_frontend.h"
#include "support/temp_dir.h"

extern char** environ;

namespace shared {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
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

char StateOf(pid_t pid) {
  std::ifstream stat_file("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat_file, line);
  const auto close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() ? '?' : line[close + 2];
}

TEST(IsProcessRunning, MatchesFileNameOrWholePathIgnoringCase) {
  TempDir dir;
  const std::string name = "QvTestProc" + std::to_string(getpid());
  const testing_support::StandInProcess process(dir.path(), name);
  const std::string path = fs::canonical(process.program()).string();

  EXPECT_TRUE(IsProcessRunning(name));
  EXPECT_TRUE(IsProcessRunning(Lower(name)));
  EXPECT_TRUE(IsProcessRunning(Upper(name)));
  EXPECT_TRUE(IsProcessRunning(path));
  EXPECT_TRUE(IsProcessRunning(Upper(path)));

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
  const fs::path program = dir / name;
  fs::copy_file("/bin/true", program);
  const std::string path = fs::canonical(program).string();
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ), 0);
  const bool ended = testing_support::WaitUntil([&] { return StateOf(pid) == 'Z'; }, 5s);
  EXPECT_TRUE(ended);
  if (ended) {
    EXPECT_FALSE(IsProcessRunning(name));
    EXPECT_FALSE(IsProcessRunning(path));
  }
  waitpid(pid, nullptr, 0);
}

}  // namespace
}  // namespace shared
