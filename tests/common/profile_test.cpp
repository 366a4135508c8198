#include "platform/profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "support/descriptors.h"
#include "support/raises.h"
#include "support/temp_dir.h"

namespace {

using platform::ReadProfileString;
using platform::WriteProfileString;
using testing_support::FolderContent;
using testing_support::MessageOf;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(ProfileRead, LooksKeysUpLikeTheProfileFunctions) {
  TempDir dir;
  const std::string ini = (dir / "a.ini").string();
  WriteFile(ini,
            "[Other]\nkey=other\r\n"
            "  [ lastconfig ]  \r\n"
            "r_font_color=255\r\n"
            "  Output Path =  /out/x=y/  \n"
            "no equals sign here\n"
            "Empty=\n"
            "dup=first\n"
            "DUP=second\n"
            "[LastConfig]\n"
            "late=ignored, only the first section counts\n"
            "[Tail]\n"
            "\xe9t\xe9=accented\n"
            "last=no line end");
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"LastConfig", "r_font_color", "255"},
      {"LASTCONFIG", "R_Font_Color", "255"},
      {"LastConfig", "Output Path", "/out/x=y/"},
      {"LastConfig", "key", ""},
      {"Other", "key", "other"},
      {"LastConfig", "Empty", ""},
      {"LastConfig", "dup", "first"},
      {"LastConfig", "late", ""},
      {"Tail", "last", "no line end"},
      {"Missing", "key", ""},
      {"LastConfig", "no equals sign here", ""},
      {"tail", "\xe9t\xe9", "accented"},
      {"Tail", "\xc9T\xc9", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadProfileString(ini, c.section, c.key), c.value) << c.section << "/" << c.key;
  }
  EXPECT_EQ(ReadProfileString((dir / "missing.ini").string(), "LastConfig", "key"), "");
}

TEST(ProfileRead, ValueIsCutAt2047Characters) {
  TempDir dir;
  const std::string ini = (dir / "a.ini").string();
  WriteFile(ini, "[S]\nlong=" + std::string(5000, 'v') + "\n");
  EXPECT_EQ(ReadProfileString(ini, "S", "long"), std::string(2047, 'v'));
}

TEST(ProfileWrite, CreatesFileAndSectionWithWindowsLineEnds) {
  TempDir dir;
  const std::string ini = (dir / "new.ini").string();
  WriteProfileString(ini, "LastConfig", "r_font_color", "255");
  WriteProfileString(ini, "LastConfig", "Output Path", "/out/");
  EXPECT_EQ(ReadFile(ini), "[LastConfig]\r\nr_font_color=255\r\nOutput Path=/out/\r\n");
  EXPECT_EQ(FolderContent(dir.path()).size(), 1u) << "no temporary file stays behind";
}

TEST(ProfileWrite, ChangesOnlyWhatItMust) {
  TempDir dir;
  const std::string ini = (dir / "a.ini").string();
  const std::string before =
      "; hand-written\n[A]\nx = 1\n\n[LastConfig]\r\nColorA=\r\n Key = old\r\nz=2\r\n\r\n[B]\ny=3";
  WriteFile(ini, before);

  WriteProfileString(ini, "lastconfig", "KEY", "new = value");
  EXPECT_EQ(ReadFile(ini),
            "; hand-written\n[A]\nx = 1\n\n[LastConfig]\r\nColorA=\r\nKey=new = value\r\nz=2\r\n"
            "\r\n[B]\ny=3");

  WriteProfileString(ini, "A", "added", "4");
  WriteProfileString(ini, "B", "after_last_line", "5");
  WriteProfileString(ini, "C", "k", "6");
  EXPECT_EQ(ReadFile(ini),
            "; hand-written\n[A]\nx = 1\nadded=4\r\n\n[LastConfig]\r\nColorA=\r\nKey=new = value"
            "\r\nz=2\r\n\r\n[B]\ny=3\r\nafter_last_line=5\r\n[C]\r\nk=6\r\n");
}

TEST(ProfileWrite, LineBreakInValueCannotAddKeys) {
  TempDir dir;
  const std::string ini = (dir / "a.ini").string();
  WriteProfileString(ini, "LastConfig", "MyTXT", "hello\r\nOutput Path=/etc/");
  EXPECT_EQ(ReadProfileString(ini, "LastConfig", "MyTXT"), "hello  Output Path=/etc/");
  EXPECT_EQ(ReadProfileString(ini, "LastConfig", "Output Path"), "");
}

TEST(ProfileWrite, BlanksAroundNamesReachTheSameEntry) {
  struct Case {
    const char* section;
    const char* key;
  };
  const Case cases[] = {{" S", "k"}, {"S\t", " k "}, {"\t S ", "\tk"}, {"S", "k  "}};
  for (const Case& c : cases) {
    TempDir dir;
    const std::string ini = (dir / "a.ini").string();
    WriteProfileString(ini, c.section, c.key, "1");
    WriteProfileString(ini, c.section, c.key, "2");
    // One entry, found under the bare names and under the ones written with.
    EXPECT_EQ(ReadFile(ini), "[S]\r\nk=2\r\n") << c.section << "/" << c.key;
    EXPECT_EQ(ReadProfileString(ini, c.section, c.key), "2") << c.section << "/" << c.key;
    EXPECT_EQ(ReadProfileString(ini, "S", "k"), "2") << c.section << "/" << c.key;
  }
}

TEST(ProfileWrite, KeepsTheFileMode) {
  TempDir dir;
  const std::string ini = (dir / "a.ini").string();
  WriteFile(ini, "[S]\nk=1\n");
  std::filesystem::permissions(ini, std::filesystem::perms(0640));
  WriteProfileString(ini, "S", "k", "2");
  struct stat info {};
  ASSERT_EQ(stat(ini.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(ProfileWrite, FailureNamesTheFileAndLeavesItAlone) {
  TempDir dir;
  const std::string in_missing_folder = (dir / "nowhere" / "a.ini").string();
  EXPECT_EQ(MessageOf<platform::ProfileWriteError>(
                [&] { WriteProfileString(in_missing_folder, "S", "k", "v"); }),
            "Unable to write to " + in_missing_folder);
  const std::string folder = (dir / "a folder").string();
  std::filesystem::create_directory(folder);
  EXPECT_THROW(WriteProfileString(folder, "S", "k", "v"), platform::ProfileWriteError);
  EXPECT_TRUE(std::filesystem::is_directory(folder));

  const std::string ini = (dir / "a.ini").string();
  WriteFile(ini, "[S]\nk=1\n");
  EXPECT_THROW(WriteProfileString(ini, "S", "bad=key", "v"), platform::ProfileWriteError);
  EXPECT_THROW(WriteProfileString(ini, "bad]section", "k", "v"), platform::ProfileWriteError);
  EXPECT_EQ(ReadFile(ini), "[S]\nk=1\n");

  // A read-only file is never rewritten, also by root, who passes every access check.
  std::filesystem::permissions(ini, std::filesystem::perms(0444));
  EXPECT_EQ(MessageOf<platform::ProfileWriteError>([&] { WriteProfileString(ini, "S", "k", "2"); }),
            "Unable to write to " + ini);
  EXPECT_EQ(ReadFile(ini), "[S]\nk=1\n");
  EXPECT_EQ(FolderContent(dir.path()), (std::vector<std::string>{"a folder", "a.ini"}));
}

// A file saved by a Windows text editor, reached through a link.
TEST(ProfileWrite, ALinkIsWrittenThroughAndAByteOrderMarkIsSkippedAndKept) {
  TempDir dir;
  std::filesystem::create_directory(dir / "real");
  WriteFile(dir / "real" / "a.ini", "\xEF\xBB\xBF[S]\r\nk=1\r\n");
  const std::string link = (dir / "link.ini").string();
  std::filesystem::create_symlink("real/a.ini", link);
  EXPECT_EQ(ReadProfileString(link, "S", "k"), "1");
  WriteProfileString(link, "S", "k", "2");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(dir / "real" / "a.ini"), "\xEF\xBB\xBF[S]\r\nk=2\r\n");
}

// Root saving in a shared sticky folder: another user's settings file stays
// theirs without lending its set-group-ID bit, and another user's link there,
// which could point at any file, is not written through.
TEST(ProfileWrite, AsRootInACommonFolderAnotherUsersFileStaysTheirsAndTheirLinkIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can save files and links of another user";
  constexpr uid_t kNobody = 65534;
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 01777), 0);
  const std::string ini = (dir / "sysconfig.ini").string();
  WriteFile(ini, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chown(ini.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(chmod(ini.c_str(), 02664), 0);
  WriteProfileString(ini, "S", "k", "2");
  struct stat info {};
  ASSERT_EQ(stat(ini.c_str(), &info), 0);
  EXPECT_EQ(std::pair(info.st_uid, info.st_gid), std::pair(kNobody, kNobody));
  EXPECT_EQ(info.st_mode & 07777, 0664u);

  TempDir elsewhere;
  WriteFile(elsewhere / "other.txt", "precious");
  std::filesystem::remove(ini);
  std::filesystem::create_symlink(elsewhere / "other.txt", ini);
  ASSERT_EQ(lchown(ini.c_str(), kNobody, kNobody), 0);
  EXPECT_THROW(WriteProfileString(ini, "S", "k", "3"), platform::ProfileWriteError);
  EXPECT_EQ(ReadFile(elsewhere / "other.txt"), "precious");
}

TEST(IniFile, ReadsWithDefaultAndWrites) {
  TempDir dir;
  platform::IniFile ini((dir / "a.ini").string());
  EXPECT_EQ(ini.ReadString("S", "k", "default"), "default");
  ini.WriteString("S", "k", "");
  ini.UpdateFile();
  EXPECT_EQ(ini.ReadString("S", "k", "default"), "");
  ini.WriteString("S", "k", "v");
  EXPECT_EQ(ini.ReadString("s", "K", "default"), "v");
}

// Many writes through one object end in exactly the text single-key writes give.
TEST(IniFile, PendingWritesReachTheFileOnlyAtTheFlushInProfileOrder) {
  struct Write {
    const char* section;
    const char* key;
    const char* value;
  };
  struct Case {
    const char* name;
    const char* before;  // nullptr: no file yet
    std::vector<Write> writes;
    const char* after;
  };
  const std::vector<Case> cases = {
      {"new file and section",
       nullptr,
       {{"LastConfig", "a", "1"}, {"LastConfig", "b", "2"}, {"LastConfig", "a", "3"}},
       "[LastConfig]\r\na=3\r\nb=2\r\n"},
      {"replaced in place, appended after the last filled line",
       "[LastConfig]\nA = old\nz=9\n\n[Other]\nk=v",
       {{"lastconfig", "a", "new"}, {"LastConfig", "c", "line\r\nbreak"}},
       "[LastConfig]\nA=new\nz=9\nc=line  break\r\n\n[Other]\nk=v"},
      {"section appended to a file without a final line end",
       "[Other]\nk=v",
       {{"LastConfig", "x", ""}, {"Other", "k", "w"}},
       "[Other]\nk=w\r\n[LastConfig]\r\nx=\r\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = (dir / "sysconfig.ini").string();
    if (c.before != nullptr) WriteFile(path, c.before);
    platform::IniFile ini(path);
    for (const Write& w : c.writes) ini.WriteString(w.section, w.key, w.value);
    EXPECT_EQ(std::filesystem::exists(path), c.before != nullptr) << c.name;
    if (c.before != nullptr) {
      EXPECT_EQ(ReadFile(path), c.before) << c.name;
    }
    EXPECT_EQ(ini.ReadString(c.writes[0].section, c.writes[0].key, "none"),
              platform::ProfileSnapshot(c.after).Read(c.writes[0].section, c.writes[0].key))
        << c.name;
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(path), c.after) << c.name;
    EXPECT_EQ(FolderContent(dir.path()).size(), 1u) << c.name;
  }
}

TEST(IniFile, AnOperationWithoutFlushLeavesTheFileAsItWas) {
  TempDir dir;
  const std::string path = (dir / "sysconfig.ini").string();
  WriteFile(path, "[LastConfig]\nk=old\n");
  {
    platform::IniFile ini(path);
    ini.WriteString("LastConfig", "k", "new");
    ini.WriteString("LastConfig", "other", "x");
  }
  EXPECT_EQ(ReadFile(path), "[LastConfig]\nk=old\n");
  platform::IniFile nothing_pending((dir / "never.ini").string());
  nothing_pending.UpdateFile();
  EXPECT_FALSE(std::filesystem::exists(dir / "never.ini"));
}

TEST(IniFile, FailingFlushRaisesKeepsTheOldFileAndCanBeRetried) {
  TempDir dir;
  const std::string path = (dir / "sysconfig.ini").string();
  WriteFile(path, "[LastConfig]\nk=old\n");
  platform::IniFile ini(path);
  ini.WriteString("LastConfig", "k", std::string(4096, 'n'));
  const int descriptors = testing_support::OpenDescriptorCount();
  EXPECT_EQ(MessageOf<platform::ProfileWriteError>([&] {
              const testing_support::FileSizeLimit limit(64);
              ini.UpdateFile();
            }),
            "Unable to write to " + path);
  EXPECT_EQ(testing_support::OpenDescriptorCount(), descriptors);
  EXPECT_EQ(ReadFile(path), "[LastConfig]\nk=old\n");
  EXPECT_EQ(FolderContent(dir.path()).size(), 1u);
  ini.UpdateFile();
  EXPECT_EQ(ReadProfileString(path, "LastConfig", "k"), std::string(2047, 'n'));
}

TEST(IniFile, WritesThatCannotBeTakenRaiseAtOnce) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.ini");
  platform::IniFile folder((dir / "folder.ini").string());
  EXPECT_THROW(folder.WriteString("S", "k", "v"), platform::ProfileWriteError);
  platform::IniFile ini((dir / "a.ini").string());
  EXPECT_THROW(ini.WriteString("S", "bad=key", "v"), platform::ProfileWriteError);
  ini.UpdateFile();
  EXPECT_FALSE(std::filesystem::exists(dir / "a.ini"));
}

// The writer alternates between a long and a short value of one key, so that a
// reader meeting a half-written file would miss the key that follows it.
void WriteAlternately(const std::string& ini, int round) {
  WriteProfileString(ini, "LastConfig", "MyTXT", round % 2 ? std::string(3000, 'x') : "y");
}

void PrepareAlternatingFile(const std::string& ini) {
  WriteProfileString(ini, "LastConfig", "MyTXT", "y");
  WriteProfileString(ini, "LastConfig", "border_margin", "3");
}

bool IsOneOfTheWrittenStates(const std::string& text) {
  const std::string tail = "\r\nborder_margin=3\r\n";
  return text == "[LastConfig]\r\nMyTXT=y" + tail ||
         text == "[LastConfig]\r\nMyTXT=" + std::string(3000, 'x') + tail;
}

TEST(ProfileConcurrency, ReaderNeverSeesAPartialFile) {
  TempDir dir;
  const std::string ini = (dir / "sysconfig.ini").string();
  PrepareAlternatingFile(ini);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (int round = 0; !stop; ++round) WriteAlternately(ini, round);
  });
  int incomplete = 0;
  for (int i = 0; i < 3000; ++i) {
    if (ReadProfileString(ini, "LastConfig", "border_margin") != "3") ++incomplete;
  }
  stop = true;
  writer.join();
  EXPECT_EQ(incomplete, 0);
}

TEST(ProfileConcurrency, WriterKilledMidWriteLeavesAValidFile) {
  TempDir dir;
  const std::string ini = (dir / "sysconfig.ini").string();
  PrepareAlternatingFile(ini);
  for (int kill_round = 0; kill_round < 10; ++kill_round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int round = 0;; ++round) WriteAlternately(ini, round);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + 3 * kill_round));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(IsOneOfTheWrittenStates(ReadFile(ini))) << "after kill " << kill_round;
  }
}

}  // namespace
