#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/desktop_fonts.h"
#include "platform/text.h"
#include "support/descriptors.h"
#include "support/fake_frontend.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::AddDesktopFont;
using platform::DesktopFontFiles;
using platform::Font;
using platform::RemoveDesktopFont;

const fs::path kDsegFile = "/usr/share/fonts/truetype/dseg/DSEG14Classic-Regular.ttf";
constexpr const char* kDsegFamily = "DSEG14 Classic";
// A family no system has: the DSEG font with its name changed in place.
constexpr const char* kOwnFamily = "Fenwyn Testing";

std::string Utf16Be(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) out += std::string(1, '\0') + c;
  return out;
}

void ReplaceAll(std::string& bytes, const std::string& from, const std::string& to) {
  for (auto at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at)) {
    bytes.replace(at, from.size(), to);
  }
}

void WriteRenamedFont(const fs::path& path) {
  std::string bytes = testing_support::ReadFile(kDsegFile);
  ReplaceAll(bytes, kDsegFamily, kOwnFamily);
  ReplaceAll(bytes, Utf16Be(kDsegFamily), Utf16Be(kOwnFamily));
  testing_support::WriteFile(path, bytes);
}

bool Lists(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Every test gets a registry of its own.
class DesktopFontsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kDsegFile)) GTEST_SKIP() << "fonts-dseg is not installed";
    fs::copy_file(kDsegFile, pack_);
  }

  fs::path RegistryDir() const { return runtime_.path() / "quorvel"; }

  testing_support::TempDir files_;
  const fs::path pack_ = files_ / "Fenwyn.pack";

 private:
  testing_support::ScopedRuntimeDir runtime_;
};

TEST_F(DesktopFontsTest, FamilyOnlyARegisteredFileHasIsFoundUntilRemoved) {
  const fs::path own = files_ / "own.pack";
  WriteRenamedFont(own);
  EXPECT_NE(Font({kOwnFamily, 20}).file(), own.string());
  EXPECT_FALSE(Lists(platform::InstalledFontFamilies(), kOwnFamily));

  EXPECT_EQ(AddDesktopFont(own.string()), 1);
  EXPECT_EQ(Font({kOwnFamily, 20}).file(), own.string());
  EXPECT_TRUE(Lists(platform::InstalledFontFamilies(), kOwnFamily));

  EXPECT_TRUE(RemoveDesktopFont(own.string()));
  EXPECT_NE(Font({kOwnFamily, 20}).file(), own.string());
  EXPECT_FALSE(Lists(platform::InstalledFontFamilies(), kOwnFamily));
}

// The family is installed too: only a lookup that consults the registry, and
// prefers it on a tie, gives the registered copy.
TEST_F(DesktopFontsTest, RegisteredCopyOfAnInstalledFontWins) {
  EXPECT_NE(Font({kDsegFamily, 20}).file(), pack_.string());
  EXPECT_EQ(AddDesktopFont(pack_.string()), 1);
  EXPECT_EQ(DesktopFontFiles(), std::vector<std::string>{pack_.string()});
  EXPECT_EQ(Font({kDsegFamily, 20}).file(), pack_.string());
  EXPECT_GT(Font({kDsegFamily, 20}).Measure("88").width, 0);

  EXPECT_TRUE(RemoveDesktopFont(pack_.string()));
  EXPECT_TRUE(DesktopFontFiles().empty());
  EXPECT_NE(Font({kDsegFamily, 20}).file(), pack_.string());
  EXPECT_FALSE(RemoveDesktopFont(pack_.string()));
}

TEST_F(DesktopFontsTest, RegistryLivesInTheRuntimeFolderAndIsReplacedWhole) {
  ASSERT_EQ(AddDesktopFont(pack_.string()), 1);
  const fs::path copy = files_ / "second.pack";
  fs::copy_file(kDsegFile, copy);
  ASSERT_EQ(AddDesktopFont(copy.string()), 1);
  ASSERT_TRUE(RemoveDesktopFont(pack_.string()));
  EXPECT_EQ(DesktopFontFiles(), std::vector<std::string>{copy.string()});
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(RegistryDir())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"fonts", "fonts.lock"})) << "no temporary left over";
}

TEST_F(DesktopFontsTest, AddingTwiceListsOnceAndRelativePathsBecomeAbsolute) {
  const fs::path old_dir = fs::current_path();
  fs::current_path(files_.path());
  const int faces = AddDesktopFont("Fenwyn.pack");
  fs::current_path(old_dir);
  EXPECT_EQ(faces, 1);
  EXPECT_EQ(AddDesktopFont(pack_.string()), 1);
  EXPECT_EQ(AddDesktopFont((files_.path() / "." / "Fenwyn.pack").string()), 1);
  EXPECT_EQ(DesktopFontFiles(), std::vector<std::string>{pack_.string()});
}

TEST_F(DesktopFontsTest, FilesThatAreNoFontsAreRefused) {
  const fs::path text = files_ / "notes.ttf";
  testing_support::WriteFile(text, "not a font at all");
  const std::string with_break = pack_.string() + "\n/etc/passwd";
  for (const std::string& path :
       {text.string(), (files_ / "missing.pack").string(), std::string(), with_break}) {
    EXPECT_EQ(AddDesktopFont(path), 0) << path;
  }
  EXPECT_TRUE(DesktopFontFiles().empty());
  EXPECT_FALSE(RemoveDesktopFont(""));
}

// A registry the runtime folder check refuses reads as empty and takes no
// fonts; nothing throws.
TEST_F(DesktopFontsTest, UnusableRuntimeFolderMeansNoRegistry) {
  fs::create_directory(RegistryDir());
  fs::permissions(RegistryDir(), fs::perms::others_read, fs::perm_options::add);
  EXPECT_EQ(AddDesktopFont(pack_.string()), 0);
  EXPECT_TRUE(DesktopFontFiles().empty());
  EXPECT_FALSE(RemoveDesktopFont(pack_.string()));
  EXPECT_FALSE(Font({kDsegFamily, 20}).file().empty());
}

TEST_F(DesktopFontsTest, FailedWriteOfTheRegistryLeavesItAndLeaksNoDescriptor) {
  ASSERT_EQ(AddDesktopFont(pack_.string()), 1);
  const fs::path copy = files_ / "second.pack";
  fs::copy_file(kDsegFile, copy);
  const int before = testing_support::OpenDescriptorCount();
  {
    const testing_support::FileSizeLimit limit(8);
    EXPECT_EQ(AddDesktopFont(copy.string()), 0);
  }
  EXPECT_EQ(testing_support::OpenDescriptorCount(), before);
  EXPECT_EQ(DesktopFontFiles(), std::vector<std::string>{pack_.string()});
}

TEST_F(DesktopFontsTest, FamilyListIsSortedWithoutDuplicates) {
  ASSERT_EQ(AddDesktopFont(pack_.string()), 1);
  const std::vector<std::string> families = platform::InstalledFontFamilies();
  EXPECT_TRUE(Lists(families, "DejaVu Sans"));
  EXPECT_EQ(std::count(families.begin(), families.end(), kDsegFamily), 1);
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  EXPECT_TRUE(std::is_sorted(
      families.begin(), families.end(),
      [&](const std::string& a, const std::string& b) { return lower(a) < lower(b); }));
}

}  // namespace
