#include "platform/file.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/descriptors.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::InOutError;
using testing_support::FolderContent;
using testing_support::OpenDescriptorCount;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// The error code an open raises, 0 when it opens.
int OpenErrorOf(platform::FileDescriptor (*open_file)(const std::string&, int),
                const fs::path& path) {
  try {
    const platform::FileDescriptor file = open_file(path.string(), 0);
    EXPECT_TRUE(file.valid());
    return 0;
  } catch (const InOutError& error) {
    return error.code();
  }
}

TEST(FileOpen, OnlyARegularFileIsOpenedAndNothingWaits) {
  TempDir dir;
  WriteFile(dir / "plain", "x");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_directory(dir / "folder");
  struct Case {
    fs::path path;
    int regular_error;
    int waitless_error;
  };
  const Case cases[] = {
      {dir / "plain", 0, 0},
      {dir / "missing", InOutError::kFileNotFound, InOutError::kFileNotFound},
      {dir / "plain" / "below", InOutError::kFileNotFound, InOutError::kFileNotFound},
      {dir / "pipe", InOutError::kAccessDenied, 0},
      {dir / "folder", InOutError::kAccessDenied, 0},
      {"/dev/zero", InOutError::kAccessDenied, 0},
  };
  const int before = OpenDescriptorCount();
  for (const Case& c : cases) {
    EXPECT_EQ(OpenErrorOf(platform::OpenRegularFile, c.path), c.regular_error) << c.path;
    EXPECT_EQ(OpenErrorOf(platform::OpenWithoutWaiting, c.path), c.waitless_error) << c.path;
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST(FileDescriptor, MovingHandsOverAndClosesExactlyOnce) {
  TempDir dir;
  WriteFile(dir / "a", "abc");
  const int before = OpenDescriptorCount();
  {
    platform::FileDescriptor first = platform::OpenRegularFile((dir / "a").string());
    platform::FileDescriptor second = std::move(first);
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(platform::ReadToEnd(second), "abc");
    second = platform::OpenRegularFile((dir / "a").string());
    EXPECT_EQ(OpenDescriptorCount(), before + 1);
    second.Close();
    EXPECT_FALSE(second.valid());
    EXPECT_EQ(OpenDescriptorCount(), before);
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST(ReplaceFileAtomically, WritesWholeFilesAndKeepsTheModeOfAnOldOne) {
  TempDir dir;
  const fs::path target = dir / "settings.ini";
  const mode_t old_mask = umask(027);
  platform::ReplaceFileAtomically(target.string(), "first");
  const mode_t new_mode = ModeOf(target);
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  platform::ReplaceFileAtomically(target.string(), std::string(200000, 'z'));
  umask(old_mask);
  EXPECT_EQ(new_mode, 0640u);
  EXPECT_EQ(ModeOf(target), 0600u);
  EXPECT_EQ(ReadFile(target), std::string(200000, 'z'));
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"settings.ini"});
}

// Root saving another user's file must leave it theirs, and must not hand out
// the old file's set-user-ID or set-group-ID rights to what it wrote.
TEST(ReplaceFileAtomically, AsRootTheOwnerStaysAndTheSpecialBitsGo) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can save a file of another user";
  constexpr uid_t kNobody = 65534;
  TempDir dir;
  const fs::path target = dir / "sysconfig.ini";
  WriteFile(target, "old");
  ASSERT_EQ(chown(target.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(chmod(target.c_str(), 02664), 0);
  platform::ReplaceFileAtomically(target.string(), "new");
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kNobody);
  EXPECT_EQ(info.st_gid, kNobody);
  EXPECT_EQ(info.st_mode & 07777, 0664u);
}

TEST(ReplaceFileAtomically, FailingWriteLeavesTheOldFileAndLeaksNothing) {
  TempDir dir;
  const fs::path target = dir / "settings.ini";
  WriteFile(target, "old");
  const int before = OpenDescriptorCount();
  {
    const testing_support::FileSizeLimit limit(16);
    EXPECT_THROW(platform::ReplaceFileAtomically(target.string(), std::string(4096, 'n')),
                 InOutError);
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"settings.ini"});
  EXPECT_THROW(platform::ReplaceFileAtomically((dir / "missing" / "x").string(), "x"), InOutError);
}

// What a move without replacing does with each kind of file at the target.
TEST(TemporarySibling, MovesIntoPlaceOnlyOverNothingOrAnEmptyFile) {
  struct Case {
    const char* name;
    const char* existing;  // nullptr: no file at the target
    bool moved;
    const char* content_after;
  };
  const Case cases[] = {
      {"free name", nullptr, true, "new"},
      {"empty file", "", true, "new"},
      {"file with data", "precious", false, "precious"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path target = dir / "IMG_0001.JPG";
    if (c.existing != nullptr) WriteFile(target, c.existing);
    {
      platform::TemporarySibling temporary(target.string());
      EXPECT_TRUE(FolderContent(dir.path()).front().starts_with(".IMG_0001.JPG.tmp-")) << c.name;
      platform::WriteAll(temporary.descriptor().get(), "new");
      temporary.descriptor().Close();
      EXPECT_EQ(temporary.MoveToTargetUnlessTaken(), c.moved) << c.name;
    }
    EXPECT_EQ(ReadFile(target), c.content_after) << c.name;
    EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"IMG_0001.JPG"}) << c.name;
  }
}

// With no name while written, a writer killed before the link leaves nothing.
TEST(UnnamedNewFile, HasNoNameUntilLinked) {
  TempDir dir;
  platform::UnnamedNewFile output((dir / "IMG_0001.JPG").string());
  platform::WriteAll(output.descriptor().get(), std::string(1 << 20, 'x'));
  EXPECT_TRUE(FolderContent(dir.path()).empty());
}

// Runs `step` in a child process that sees no /proc, as in a sandbox or a
// chroot without it; its result is what `step` returns (-1 when it raised or
// the child did not end by itself). nullopt when this machine does not let us
// hide /proc.
std::optional<int> RunWithoutProc(const std::function<int()>& step) {
  constexpr int kCannotHideProc = 77;
  constexpr int kRaised = 78;
  const pid_t child = fork();
  if (child == 0) {
    const bool hidden = unshare(CLONE_NEWNS) == 0 &&
                        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                        umount2("/proc", MNT_DETACH) == 0;
    if (!hidden) _exit(kCannotHideProc);
    try {
      _exit(step());
    } catch (...) {
      _exit(kRaised);
    }
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  if (WEXITSTATUS(status) == kCannotHideProc) return std::nullopt;
  return WEXITSTATUS(status) == kRaised ? -1 : WEXITSTATUS(status);
}

// Its link goes through /proc: without it the file must take its name another
// way, and still never over a file that holds data.
TEST(UnnamedNewFile, IsNamedWithoutProcButNeverOverData) {
  struct Case {
    const char* existing;  // nullptr: no file at the target
    int linked;
    const char* content_after;
  };
  const Case cases[] = {{nullptr, 1, "new"}, {"precious", 0, "precious"}};
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path target = dir / "IMG_0001.JPG";
    if (c.existing != nullptr) WriteFile(target, c.existing);
    const std::optional<int> linked = RunWithoutProc([&] {
      platform::UnnamedNewFile output(target.string());
      platform::WriteAll(output.descriptor().get(), "new");
      return output.LinkToTargetUnlessTaken() ? 1 : 0;
    });
    if (!linked) GTEST_SKIP() << "this machine does not let a test hide /proc (needs root)";
    EXPECT_EQ(*linked, c.linked) << c.content_after;
    EXPECT_EQ(ReadFile(target), c.content_after);
    EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"IMG_0001.JPG"});
  }
}

TEST(TemporarySibling, LongNamesStayWithinTheNameLimit) {
  TempDir dir;
  const fs::path target = dir / std::string(250, 'n');
  platform::TemporarySibling temporary(target.string());
  EXPECT_LE(fs::path(temporary.path()).filename().string().size(), 255u);
  temporary.ReplaceTarget();
  EXPECT_TRUE(fs::exists(target));
}

}  // namespace
