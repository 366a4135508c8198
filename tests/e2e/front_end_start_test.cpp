// The real front-end started and stopped as a user does: a first start in an
// empty common folder, one copy per program file, a copy elsewhere beside it, a start after a
// killed copy, a hand-edited settings file, and the generator meeting the running front-end's
// window, and a start without /proc.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <algorithm>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/desktop_fonts.h"
#include "platform/runtime_dir.h"
#include "platform/shared_block.h"
#include "platform/window.h"
#include "platform/window_wire.h"
#include "shared/names.h"
#include "support/background_program.h"
#include "support/common_folder.h"
#include "support/fake_frontend.h"
#include "support/run_program.h"
#include "support/settings_file.h"

namespace e2e {
namespace {

using shared::FrontEndCaption;
using shared::MainWindowClass;
using testing_support::BackgroundProgram;
using testing_support::CommonFolder;
using testing_support::kPatience;
using testing_support::ReadFile;
using testing_support::SettingValue;
using testing_support::WaitUntil;
namespace fs = std::filesystem;

// Enough to tell a rewrite of a file from no rewrite at all.
struct FileStamp {
  ino_t inode = 0;
  timespec changed{};
  std::string content;
  bool operator==(const FileStamp& other) const {
    return inode == other.inode && changed.tv_sec == other.changed.tv_sec &&
           changed.tv_nsec == other.changed.tv_nsec && content == other.content;
  }
};

std::optional<FileStamp> StampOf(const fs::path& file) {
  struct stat facts {};
  if (stat(file.c_str(), &facts) != 0) return std::nullopt;
  return FileStamp{facts.st_ino, facts.st_mtim, ReadFile(file)};
}

std::optional<platform::WindowHandle> FrontEndWindow() {
  return platform::FindWindowByClassAndCaption(MainWindowClass, FrontEndCaption);
}

std::size_t DescriptorCount(pid_t pid) {
  const fs::directory_iterator entries("/proc/" + std::to_string(pid) + "/fd");
  return static_cast<std::size_t>(std::distance(entries, fs::directory_iterator()));
}

// A connection that sends the first bytes of a request and then nothing more.
platform::FileDescriptor HalfRequest(platform::WindowHandle window) {
  const auto path = platform::window_wire::EntryPath(platform::UserRuntimeDir(), window,
                                                     platform::window_wire::kSocketSuffix);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.native().copy(address.sun_path, sizeof address.sun_path - 1);
  platform::FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    send(fd.get(), "QWN1", 4, MSG_NOSIGNAL);
  return fd;
}

bool HasDesktopFont(const std::string& file) {
  const auto files = platform::DesktopFontFiles();
  return std::find(files.begin(), files.end(), file) != files.end();
}

class FrontEndStart : public ::testing::Test {
 protected:
  std::unique_ptr<BackgroundProgram> Start(const CommonFolder& folder) {
    return std::make_unique<BackgroundProgram>(folder.frontend(), log());
  }
  static fs::path Settings(const CommonFolder& folder) { return folder.app() / "sysconfig.ini"; }

  // Starts the front-end of `folder` and waits until its first activation
  // has written the settings file and ended.
  std::unique_ptr<BackgroundProgram> StartAndWait(const CommonFolder& folder) {
    const auto before = StampOf(Settings(folder));
    auto program = Start(folder);
    const bool started = WaitUntil(
        [&] { return StampOf(Settings(folder)) != before && FrontEndWindow().has_value(); });
    EXPECT_TRUE(started) << "the front-end did not come up; its errors:\n" << ReadFile(log());
    if (started) WaitForQuietWindow();
    return program;
  }
  // The window answers between two events only: once it has, the first
  // activation that was under way has ended, its saves with it.
  static void WaitForQuietWindow() {
    if (const auto window = FrontEndWindow()) platform::IsWindowMinimised(*window);
  }
  fs::path log() const { return logs_.path() / "frontend.log"; }

  testing_support::ScopedRuntimeDir runtime_;
  testing_support::TempDir logs_;
  CommonFolder folder_{1};
};

// Every start gets the same fixture; the first start's own name stays.
using FrontEndFirstStart = FrontEndStart;

TEST_F(FrontEndFirstStart, WritesTheInitialSettingsAndIsFoundByTheGenerator) {
  const CommonFolder empty(0);
  auto program = StartAndWait(empty);
  const std::string file = fs::exists(Settings(empty)) ? ReadFile(Settings(empty)) : "";
  // The font the first entry of the window's sorted font list names.
  const auto font = SettingValue(Settings(empty), "font_select_name");
  ASSERT_TRUE(font && !font->empty()) << file;
  EXPECT_EQ(file, testing_support::FirstSaveFile(*font, empty.output()));
  const auto window = FrontEndWindow();
  ASSERT_TRUE(window.has_value());
  EXPECT_FALSE(platform::IsWindowMinimised(*window));
}

TEST_F(FrontEndStart, SecondStartOfTheSameFileEndsByItselfAndLeavesFirstAndSettingsAlone) {
  // With a text of the user's own the preview clock does not save, so any
  // later write of the file would be the second copy's.
  folder_.WriteSettings({{"MyTXT", "Hello"}});
  auto first = StartAndWait(folder_);
  const auto settled = StampOf(Settings(folder_));
  const auto window = FrontEndWindow();
  ASSERT_TRUE(window);

  auto second = Start(folder_);
  const auto second_end = second->WaitForEnd(kPatience);
  ASSERT_TRUE(second_end) << "the second copy still runs";
  EXPECT_EQ(*second_end, 0) << ReadFile(log());

  EXPECT_TRUE(first->Running());
  EXPECT_EQ(FrontEndWindow(), window);
  EXPECT_EQ(StampOf(Settings(folder_)), settled) << "the settings file was written again";

  // A first copy that cannot answer holds up the next start only for a while.
  ASSERT_EQ(kill(first->pid(), SIGSTOP), 0);  // its end by SIGKILL needs no SIGCONT
  EXPECT_EQ(Start(folder_)->WaitForEnd(kPatience), 1) << "the start waits for the stopped copy";
  EXPECT_NE(ReadFile(log()).find("holds its single-instance slot and does not answer"),
            std::string::npos)
      << ReadFile(log());
}

TEST_F(FrontEndStart, CopyInAnotherFolderRunsBesideTheFirst) {
  auto first = StartAndWait(folder_);
  CommonFolder elsewhere(0);
  // A refused copy never writes its settings: the write shows the guard let it pass.
  auto second = StartAndWait(elsewhere);
  EXPECT_TRUE(second->Running());
  EXPECT_TRUE(first->Running());
}

TEST_F(FrontEndStart, AfterTheFirstIsKilledTheNextStartRunsAndGuardsAgain) {
  auto first = StartAndWait(folder_);
  first->Kill();
  EXPECT_FALSE(FrontEndWindow()) << "a killed copy's window is still found";
  fs::remove(Settings(folder_));

  auto next = StartAndWait(folder_);
  EXPECT_TRUE(next->Running()) << ReadFile(log());

  auto refused = Start(folder_);
  EXPECT_EQ(refused->WaitForEnd(kPatience), 0) << "the guard no longer refuses a second copy";
  EXPECT_TRUE(next->Running());
}

// A sandbox or chroot without /proc: the program file's path comes from how it was started.
TEST_F(FrontEndStart, StartsAndEndsWithoutProc) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer finds the stack's bounds in /proc; without it, it reports "
                  "faults that are not there";
#endif
  if (std::system("unshare -m sh -c 'umount -l /proc && ! test -e /proc/self' 2>/dev/null") != 0)
    GTEST_SKIP() << "unshare -m with /proc unmounted is not allowed here";
  const fs::path start = folder_.app() / "start-without-proc";
  testing_support::WriteFile(
      start, "#!/bin/sh\nexec unshare -m sh -c 'umount -l /proc && exec ./Quorvel'\n");
  fs::permissions(start, fs::perms::owner_all);
  BackgroundProgram program(start, log());
  ASSERT_TRUE(WaitUntil([&] { return FrontEndWindow() || !program.Running(); }));
  ASSERT_TRUE(program.Running()) << ReadFile(log());
  WaitForQuietWindow();  // the end-of-session handler is in place once it answers
  ASSERT_EQ(kill(program.pid(), SIGTERM), 0);
  EXPECT_EQ(program.WaitForEnd(kPatience), 0) << ReadFile(log());

  // Started by a bare name that neither the working folder nor PATH holds: it
  // ends before it could write settings into a folder that is not its own.
  testing_support::WriteFile(start, "#!/bin/sh\nexec unshare -m bash -c 'umount -l /proc && cd " +
                                        logs_.path().string() + " && exec -a Quorvel " +
                                        folder_.frontend().string() + "'\n");
  BackgroundProgram nameless(start, log());
  EXPECT_EQ(nameless.WaitForEnd(kPatience), 1);
  EXPECT_NE(ReadFile(log()).find("Cannot find this program's own folder"), std::string::npos);
}

TEST_F(FrontEndStart, EndOfSessionClosesLikeTheCloseBox) {
  auto program = StartAndWait(folder_);
  const std::string font = (folder_.app() / "package" / "Fenwyn.pack").string();
  ASSERT_TRUE(WaitUntil([&] { return HasDesktopFont(font); }));
  const std::string block = platform::SharedBlockKey(folder_.frontend().string());

  ASSERT_EQ(kill(program->pid(), SIGTERM), 0);
  EXPECT_EQ(program->WaitForEnd(kPatience), 0) << ReadFile(log());
  EXPECT_FALSE(FrontEndWindow());
  EXPECT_FALSE(HasDesktopFont(font)) << "the shipped font was not withdrawn";
  for (const auto& entry : fs::directory_iterator("/dev/shm")) {
    EXPECT_EQ(entry.path().filename().string().find(block), std::string::npos)
        << "the single-instance block was left behind: " << entry.path();
  }
}

TEST_F(FrontEndStart, EndOfSessionWithAnUnwritableSettingsFileTellsStandardErrorAndEnds) {
  // With a text of the user's own the preview clock does not save: the save
  // at the close is the first to fail.
  folder_.WriteSettings({{"MyTXT", "Hello"}});
  auto program = StartAndWait(folder_);
  fs::permissions(Settings(folder_),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  ASSERT_EQ(kill(program->pid(), SIGTERM), 0);
  EXPECT_EQ(program->WaitForEnd(std::chrono::seconds(3)), 0) << "a box holds up the end";
  const std::string ini = (fs::canonical(folder_.app()) / "sysconfig.ini").string();
  EXPECT_NE(ReadFile(log()).find("Unable to write to " + ini + ": Permission denied"),
            std::string::npos)
      << ReadFile(log());
}

TEST_F(FrontEndStart, FloodOfHalfRequestsNeitherTakesItsDescriptorsNorItsAnswers) {
  auto program = StartAndWait(folder_);
  const auto window = FrontEndWindow();
  ASSERT_TRUE(window);
  const std::size_t descriptors_before = DescriptorCount(program->pid());
  std::vector<platform::FileDescriptor> flood;
  for (int i = 0; i < 1200; ++i) flood.push_back(HalfRequest(*window));

  // A request the flood holds up past the deadline ends in a timeout error.
  EXPECT_FALSE(platform::IsWindowMinimised(*window, std::chrono::steady_clock::now() + kPatience));
  EXPECT_LE(DescriptorCount(program->pid()),
            descriptors_before + platform::kMaxPendingConnections + 16);
}

TEST_F(FrontEndStart, HandEditedSettingsLoadAsStoredAndAreSavedBack) {
  testing_support::WriteFile(Settings(folder_),
                             "[LastConfig]\r\n"
                             "Zebra=stripes\r\n"
                             "Output Path=/no/such/folder/any/more/\r\n"
                             "border_margin=5\r\n"
                             "Separated=2\r\n"
                             "DateFormat=1\r\n"
                             "font_select=-1\r\n"
                             "font_select_name=Face That Is Not There\r\n"
                             "b_font_color=64\r\n"
                             "g_font_color=128\r\n"
                             "r_font_color=300\r\n"
                             "r_DropShadow_color=1\r\n"
                             "g_DropShadow_color=2\r\n"
                             "b_DropShadow_color=3\r\n"
                             "TxtPosition=4\r\n"
                             "StampSize=2\r\n"
                             "MyTXT=Kept\r\n"
                             "Another extra=1\r\n");
  auto program = Start(folder_);
  ASSERT_TRUE(WaitUntil([&] {
    return SettingValue(Settings(folder_), "r_font_color") == std::string("44");
  })) << ReadFile(Settings(folder_))
      << "\nerrors:\n"
      << ReadFile(log());
  // The load's own saves come first; the first activation's last save follows.
  WaitForQuietWindow();
  EXPECT_TRUE(program->Running());

  const fs::path ini = Settings(folder_);
  const std::string app_dir = fs::canonical(folder_.app()).string() + "/";
  const std::pair<const char*, std::string> expected[] = {
      {"Zebra", "stripes"},   {"Another extra", "1"},      {"Output Path", app_dir},
      {"border_margin", "5"}, {"Separated", "2"},          {"DateFormat", "1"},
      {"font_select", "-1"},  {"font_select_name", ""},    {"g_font_color", "128"},
      {"b_font_color", "64"}, {"r_DropShadow_color", "1"}, {"b_DropShadow_color", "3"},
      {"TxtPosition", "4"},   {"StampSize", "2"},          {"MyTXT", "Kept"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(SettingValue(ini, key), value) << key;
  // Keys keep the places they had; new ones follow.
  const std::string text = ReadFile(ini);
  EXPECT_TRUE(text.starts_with("[LastConfig]\r\nZebra=stripes\r\nOutput Path=")) << text;
  EXPECT_LT(text.find("MyTXT=Kept"), text.find("ColorA="));
}

TEST_F(FrontEndStart, GeneratorFindsTheRunningFrontEndsWindowAndRunsBesideIt) {
  folder_.WriteSettings();
  auto front_end = StartAndWait(folder_);
  ASSERT_TRUE(FrontEndWindow());
  testing_support::WriteFile(folder_.app() / "filelist", folder_.pictures()[0]);

  const auto result = testing_support::RunProgram(folder_.generator(), folder_.app(), 60);
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  EXPECT_TRUE(fs::exists(folder_.output() + "picture001_DateTime_0001.jpg"));
  EXPECT_TRUE(front_end->Running());

  front_end->Kill();
  EXPECT_FALSE(FrontEndWindow()) << "the window found was not the front-end's";
}

}  // namespace
}  // namespace e2e
