#include "frontend/picture_list_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

using testing_support::FolderContent;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(PictureListFile, Content) {
  struct Case {
    std::string list;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"", ""},
      {" \r\n\t", ""},
      {"/p/a.jpg", "/p/a.jpg"},
      {"\r\n  /p/a.jpg\r\n/p/b c.jpg  \r\n", "/p/a.jpg\r\n/p/b c.jpg"},
      {"/p/a.jpg\n/p/b.jpg\r/p/c.jpg", "/p/a.jpg\r\n/p/b.jpg\r\n/p/c.jpg"},
      {"/p/a.jpg\r\n\r\n /p/b.jpg", "/p/a.jpg\r\n\r\n /p/b.jpg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    EXPECT_EQ(quorvel::PictureListFileContent(c.list), c.bytes);
  }
}

TEST(PictureListFile, ReplacesTheOldListWhole) {
  TempDir dir;
  const std::string path = dir / "filelist";
  quorvel::WritePictureListFile(path, "/p/a.jpg\r\n/p/b.jpg\r\n");
  EXPECT_EQ(ReadFile(path), "/p/a.jpg\r\n/p/b.jpg");

  // A generator reading the old list goes on reading the old list.
  std::ifstream reader(path, std::ios::binary);
  quorvel::WritePictureListFile(path, "/p/c.jpg");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "/p/a.jpg\r\n/p/b.jpg");
  EXPECT_EQ(ReadFile(path), "/p/c.jpg");
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"filelist"});
}

TEST(PictureListFile, FailedWriteLeavesNoHalfFile) {
  TempDir dir;
  const auto locked = dir.path() / "locked";
  std::filesystem::create_directory(locked);
  const auto old_list = (locked / "filelist").string();
  WriteFile(old_list, "/p/old.jpg");
  std::filesystem::permissions(
      locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool can_lock = access(locked.c_str(), W_OK) != 0;  // not so for root

  struct Case {
    const char* name;
    std::string path;
  };
  std::vector<Case> cases = {
      {"missing folder", dir / "missing/filelist"},
      {"a folder in the way", dir.path().string()},
  };
  if (can_lock) cases.push_back({"folder without write access", old_list});
  std::filesystem::create_directory(dir.path() / "taken");
  cases.push_back({"list name taken by a folder", dir / "taken"});

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(quorvel::WritePictureListFile(c.path, "/p/new.jpg"), platform::Error);
  }
  EXPECT_EQ(ReadFile(old_list), "/p/old.jpg");
  EXPECT_EQ(FolderContent(locked), std::vector<std::string>{"filelist"});
  EXPECT_EQ(FolderContent(dir.path() / "taken"), std::vector<std::string>{});
  EXPECT_EQ(FolderContent(dir.path()).size(), 2u);  // locked, taken
}

// Root's Imprint in a shared sticky folder: another user's list there, which
// they could go on appending to while the generator reads it, becomes root's.
TEST(PictureListFile, AsRootInACommonFolderAnotherUsersListBecomesOurs) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can replace another user's list";
  constexpr uid_t kNobody = 65534;
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 01777), 0);
  const std::string path = dir / "filelist";
  WriteFile(path, "/p/old.jpg");
  ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  const mode_t old_mask = umask(022);
  quorvel::WritePictureListFile(path, "/p/a.jpg");
  umask(old_mask);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);
  const auto append = testing_support::RunProgram(
      "/usr/bin/setpriv",
      {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "sh", "-c", "exec 3>>\"$0\"", path},
      dir.path());
  EXPECT_NE(append.exit_code, 0) << "nobody may still append to the list";
}

}  // namespace
