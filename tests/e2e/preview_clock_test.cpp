// The real front-end, without a display, in a common folder of its own: its
// preview clock saves the settings once a second from the first drawing on.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "support/common_folder.h"
#include "support/temp_dir.h"

namespace e2e {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
namespace fs = std::filesystem;

// The front-end started under the offscreen platform with a runtime folder of
// its own, so that neither its window registry nor its instance guard meets
// another copy; ended and reaped when the object goes.
class RunningFrontEnd {
 public:
  RunningFrontEnd(const fs::path& program, const fs::path& runtime_dir) {
    pid_ = fork();
    if (pid_ == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      setenv("XDG_RUNTIME_DIR", runtime_dir.c_str(), 1);
      const int null_fd = open("/dev/null", O_RDWR);
      if (null_fd >= 0) {
        dup2(null_fd, STDIN_FILENO);
        dup2(null_fd, STDOUT_FILENO);
        dup2(null_fd, STDERR_FILENO);
      }
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~RunningFrontEnd() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(milliseconds(10));
    if (waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  RunningFrontEnd(const RunningFrontEnd&) = delete;
  RunningFrontEnd& operator=(const RunningFrontEnd&) = delete;
  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// The settings file is replaced as a whole at each save, so each save leaves
// a new file behind, whatever it writes; its number alone may be reused.
struct FileIdentity {
  ino_t inode;
  long seconds, nanoseconds;
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const fs::path& path) {
  struct stat facts {};
  if (stat(path.c_str(), &facts) != 0) return std::nullopt;
  return FileIdentity{facts.st_ino, facts.st_mtim.tv_sec, facts.st_mtim.tv_nsec};
}

template <typename Condition>
bool WaitUntil(steady_clock::time_point deadline, Condition condition) {
  while (steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(milliseconds(5));
  }
  return condition();
}

TEST(FrontEndPreviewClock, RewritesTheSettingsWithinTwoSecondsOfTheFirstDrawing) {
  testing_support::CommonFolder folder(0);
  testing_support::TempDir runtime;
  fs::permissions(runtime.path(), fs::perms::owner_all, fs::perm_options::replace);
  const fs::path ini = folder.app() / "sysconfig.ini";
  ASSERT_FALSE(fs::exists(ini));

  RunningFrontEnd front_end(folder.frontend(), runtime.path());
  ASSERT_TRUE(front_end.started());
  // The first activation draws the preview and saves the settings.
  ASSERT_TRUE(WaitUntil(steady_clock::now() + std::chrono::seconds(10), [&] {
    return IdentityOf(ini).has_value();
  })) << "the first save never came";
  const auto first_save = IdentityOf(ini);
  const auto saved_at = steady_clock::now();
  EXPECT_TRUE(WaitUntil(saved_at + std::chrono::seconds(2), [&] {
    const auto now = IdentityOf(ini);
    return now && now != first_save;
  })) << "no tick saved the settings";

  const std::string settings = testing_support::ReadFile(ini);
  EXPECT_NE(settings.find("TimeStyle=HMS"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("MyTXT"), std::string::npos) << settings;
}

}  // namespace
}  // namespace e2e
