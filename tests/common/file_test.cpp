#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
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
constexpr auto kKeep = platform::ReplacedFile::kKeepsOwnerAndMode;

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
  platform::ReplaceFileAtomically(target.string(), "first", kKeep);
  const mode_t new_mode = ModeOf(target);
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  platform::ReplaceFileAtomically(target.string(), std::string(200000, 'z'), kKeep);
  umask(old_mask);
  EXPECT_EQ(new_mode, 0640u);
  EXPECT_EQ(ModeOf(target), 0600u);
  EXPECT_EQ(ReadFile(target), std::string(200000, 'z'));
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"settings.ini"});
}

TEST(ReplaceFileAtomically, FailingWriteLeavesTheOldFileAndLeaksNothing) {
  TempDir dir;
  const fs::path target = dir / "settings.ini";
  WriteFile(target, "old");
  const int before = OpenDescriptorCount();
  {
    const testing_support::FileSizeLimit limit(16);
    EXPECT_THROW(platform::ReplaceFileAtomically(target.string(), std::string(4096, 'n'), kKeep),
                 InOutError);
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"settings.ini"});
  EXPECT_THROW(platform::ReplaceFileAtomically((dir / "missing" / "x").string(), "x", kKeep),
               InOutError);
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

TEST(TemporarySibling, LongNamesStayWithinTheNameLimit) {
  TempDir dir;
  const fs::path target = dir / std::string(250, 'n');
  platform::TemporarySibling temporary(target.string());
  EXPECT_LE(fs::path(temporary.path()).filename().string().size(), 255u);
  temporary.ReplaceTarget();
  EXPECT_TRUE(fs::exists(target));
}

}  // namespace
