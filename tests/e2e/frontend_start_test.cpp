// The real front-end started in an empty common folder, without a display.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/window.h"
#include "shared/names.h"
#include "support/background_program.h"
#include "support/common_folder.h"
#include "support/fake_frontend.h"
#include "support/settings_file.h"

namespace {

using namespace std::chrono_literals;
using testing_support::BackgroundProgram;
using testing_support::ReadFile;
using testing_support::ScopedRuntimeDir;

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
  testing_support::CommonFolder app(0);
  BackgroundProgram front_end(app.frontend(), runtime.path() / "front-end.log");

  const std::string file = WaitForFirstSave(app.app() / "sysconfig.ini");
  ASSERT_FALSE(file.empty()) << "no settings file was written";
  EXPECT_FALSE(FontOf(file).empty());
  EXPECT_EQ(file, testing_support::FirstSaveFile(FontOf(file)));

  std::optional<platform::WindowHandle> window;
  for (int i = 0; i < 200 && !window; ++i) {
    window = platform::FindWindowByClassAndCaption(MainWindowClass, FrontEndCaption);
    if (!window) std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(window.has_value());
  EXPECT_FALSE(platform::IsWindowMinimised(*window));
}

}  // namespace
