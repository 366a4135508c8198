// The real front-end, without a display, in a common folder of its own: its
// preview clock saves the settings once a second from the first drawing on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "support/background_program.h"
#include "support/common_folder.h"
#include "support/fake_frontend.h"
#include "support/temp_dir.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using testing_support::WaitUntil;
namespace fs = std::filesystem;

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

TEST(FrontEndPreviewClock, RewritesTheSettingsWithinTwoSecondsOfTheFirstDrawing) {
  testing_support::CommonFolder folder(0);
  // A runtime folder of its own, so that neither its window registry nor its
  // instance guard meets another copy.
  testing_support::ScopedRuntimeDir runtime;
  const fs::path ini = folder.app() / "sysconfig.ini";
  ASSERT_FALSE(fs::exists(ini));

  testing_support::BackgroundProgram front_end(folder.frontend(), runtime.path() / "front-end.log");
  // The first activation draws the preview and saves the settings.
  ASSERT_TRUE(WaitUntil([&] { return IdentityOf(ini).has_value(); }, 10s))
      << "the first save never came";
  const auto first_save = IdentityOf(ini);
  EXPECT_TRUE(WaitUntil(
      [&] {
        const auto now = IdentityOf(ini);
        return now && now != first_save;
      },
      2s))
      << "no tick saved the settings";

  const std::string settings = testing_support::ReadFile(ini);
  EXPECT_NE(settings.find("TimeStyle=HMS"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("MyTXT"), std::string::npos) << settings;
}

}  // namespace
}  // namespace e2e
