// The real front-end started in an empty common folder, without a display.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/window.h"
#include "shared/names.h"
#include "support/fake_frontend.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ReadFile;
using testing_support::ScopedRuntimeDir;
using testing_support::TempDir;

// A copy of the front-end in a folder of its own, killed when the test ends.
class RunningFrontEnd {
 public:
  explicit RunningFrontEnd(const std::filesystem::path& folder) {
    const std::filesystem::path built = std::filesystem::path(QUORVEL_APP_DIR) / "Quorvel";
    std::filesystem::copy_file(built, folder / "Quorvel");
    std::filesystem::create_directories(folder / "package");
    std::filesystem::copy_file(std::filesystem::path(QUORVEL_APP_DIR) / "package/Fenwyn.pack",
                               folder / "package/Fenwyn.pack");
    const std::string program = (folder / "Quorvel").string();
    pid_ = fork();
    if (pid_ == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      if (chdir(folder.c_str()) != 0) _exit(126);
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~RunningFrontEnd() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  RunningFrontEnd(const RunningFrontEnd&) = delete;
  RunningFrontEnd& operator=(const RunningFrontEnd&) = delete;

 private:
  pid_t pid_ = -1;
};

// The settings file once a whole save is in it (its last key written).
std::string WaitForFirstSave(const std::filesystem::path& ini) {
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string text = std::filesystem::exists(ini) ? ReadFile(ini) : "";
    if (text.find("border_margin=") != std::string::npos) return text;
    std::this_thread::sleep_for(10ms);
  }
  return {};
}

std::string ExpectedFirstFile(const std::string& font) {
  std::string text =
      "[LastConfig]\r\nr_font_color=255\r\ng_font_color=128\r\nb_font_color=64\r\n"
      "font_select=0\r\nfont_select_name=" +
      font + "\r\n";
  for (char slot = 'A'; slot <= 'P'; ++slot) text += std::string("Color") + slot + "=\r\n";
  text += "r_DropShadow_color=0\r\ng_DropShadow_color=0\r\nb_DropShadow_color=0\r\n";
  for (char slot = 'A'; slot <= 'P'; ++slot) text += std::string("ShadowColor") + slot + "=\r\n";
  return text +
         "DropShadow=yes\r\nTextBold=no\r\nTextItalic=no\r\nTextUnderline=no\r\n"
         "TextStrikeout=no\r\nTxtPosition=8\r\nStampSize=1\r\nDateFormat=0\r\nDayDisplay=s\r\n"
         "DayNotShow=no\r\nSeparated=0\r\nMonthDisplay=s\r\nYearDisplay=\r\nTimeStyle=HMS\r\n"
         "Output Path=\r\nborder_margin=3\r\n";
}

// The font the first entry of the window's sorted font list names.
std::string FontOf(const std::string& file) {
  const std::string key = "font_select_name=";
  const auto start = file.find(key) + key.size();
  return file.substr(start, file.find('\r', start) - start);
}

TEST(FrontEndFirstStart, WritesTheInitialSettingsAndIsFoundByTheGenerator) {
  if (!std::filesystem::exists(std::filesystem::path(QUORVEL_APP_DIR) / "Quorvel"))
    GTEST_SKIP() << "the front-end is not built";
  ScopedRuntimeDir runtime;
  TempDir app;
  RunningFrontEnd front_end(app.path());

  const std::string file = WaitForFirstSave(app / "sysconfig.ini");
  ASSERT_FALSE(file.empty()) << "no settings file was written";
  EXPECT_FALSE(FontOf(file).empty());
  EXPECT_EQ(file, ExpectedFirstFile(FontOf(file)));

  std::optional<platform::WindowHandle> window;
  for (int i = 0; i < 200 && !window; ++i) {
    window = platform::FindWindowByClassAndCaption(MainWindowClass, FrontEndCaption);
    if (!window) std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(window.has_value());
  EXPECT_FALSE(platform::IsWindowMinimised(*window));
}

}  // namespace
