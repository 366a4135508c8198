#include "generator/output_naming.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/raises.h"
#include "support/temp_dir.h"

namespace vantrel {

namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

std::string OutputNameFor(const std::string& source_name) {
  return GenFilename(source_name, ExtensionOf(source_name)).output_name;
}

TEST(GenFilename, NamingTable) {
  struct Row {
    const char* source;
    const char* base;
    const char* output;
  };
  const Row rows[] = {
      {"IMG_1234.JPG", "IMG_1234", "IMG_1234_DateTime_0001.JPG"},
      {"IMG_1234_DateTime_0001.JPG", "IMG_1234", "IMG_1234_DateTime_0002.JPG"},
      {"IMG_1234_DateTime_0099.JPG", "IMG_1234", "IMG_1234_DateTime_0100.JPG"},
      {"0005.jpg", "0005", "0005_DateTime_0006.jpg"},
      {"trip_DateTime_x.jpg", "trip", "trip_DateTime_0001.jpg"},
      {"photo.jpg.jpg", "photo", "photo_DateTime_0001.jpg"},
      {"holiday.JPG.jpg", "holiday.JPG", "holiday.JPG_DateTime_0001.jpg"},
      {"scan", "scan", "scan_DateTime_0001"},
  };
  for (const Row& row : rows) {
    const NamingStep step = GenFilename(row.source, ExtensionOf(row.source));
    EXPECT_EQ(step.base, row.base) << row.source;
    EXPECT_EQ(step.output_name, row.output) << row.source;
  }
}

TEST(GenFilename, CasesLeftOpenNeverFail) {
  // From 1000 on the counter goes on in plain decimal and is read back as a counter.
  EXPECT_EQ(OutputNameFor("a_DateTime_0999.jpg"), "a_DateTime_1000.jpg");
  EXPECT_EQ(OutputNameFor("a_DateTime_1000.jpg"), "a_DateTime_1001.jpg");
  EXPECT_EQ(OutputNameFor("a_DateTime_2147483647.jpg"), "a_DateTime_2147483648.jpg");
  // Digits beyond the 32-bit range, and an empty tail, are no counter.
  EXPECT_EQ(OutputNameFor("a_DateTime_2147483648.jpg"), "a_DateTime_0001.jpg");
  EXPECT_EQ(OutputNameFor("99999999999999999999.jpg"), "99999999999999999999_DateTime_0001.jpg");
  EXPECT_EQ(OutputNameFor(".jpg"), "_DateTime_0001.jpg");
  EXPECT_EQ(OutputNameFor("a_DateTime_.jpg"), "a_DateTime_0001.jpg");
  EXPECT_EQ(OutputNameFor(""), "_DateTime_0001");
  EXPECT_EQ(OutputNameFor("_DateTime_0001.jpg"), "_DateTime_0002.jpg");
}

TEST(ExtensionOf, LastDotOfTheFileNamePart) {
  EXPECT_EQ(ExtensionOf("/pics/a.b/IMG.JPG"), ".JPG");
  EXPECT_EQ(ExtensionOf("/pics/a.b/scan"), "");
  EXPECT_EQ(ExtensionOf("/pics/c:d.jpg"), ".jpg");
  EXPECT_EQ(ExtensionOf("photo.jpg.jpg"), ".jpg");
}

class ChooseOutputNameTest : public ::testing::Test {
 protected:
  void Put(const std::string& name, std::string_view bytes = "data") {
    WriteFile(dir_ / name, bytes);
  }
  std::string Choose(const std::string& picture) { return ChooseOutputName(picture, dir_.slash()); }
  TempDir dir_;
};

TEST_F(ChooseOutputNameTest, SkipsEveryEntryButAnEmptyFile) {
  EXPECT_EQ(Choose("/pics/IMG_1234.JPG"), "IMG_1234_DateTime_0001.JPG");
  Put("IMG_1234_DateTime_0001.JPG");
  EXPECT_EQ(Choose("/pics/IMG_1234.JPG"), "IMG_1234_DateTime_0002.JPG");
  Put("IMG_1234_DateTime_0002.JPG", "");
  EXPECT_EQ(Choose("/pics/IMG_1234.JPG"), "IMG_1234_DateTime_0002.JPG");
  // A folder cannot take the output: its name is taken.
  std::filesystem::remove(dir_ / "IMG_1234_DateTime_0002.JPG");
  std::filesystem::create_directory(dir_ / "IMG_1234_DateTime_0002.JPG");
  EXPECT_EQ(Choose("/pics/IMG_1234.JPG"), "IMG_1234_DateTime_0003.JPG");
}

TEST_F(ChooseOutputNameTest, ALinkToNowhereIsTakenAndLeftAlone) {
  const auto link = dir_ / "IMG_1234_DateTime_0001.JPG";
  std::filesystem::create_symlink("nowhere.JPG", link);
  EXPECT_EQ(Choose("/pics/IMG_1234.JPG"), "IMG_1234_DateTime_0002.JPG");
  EXPECT_EQ(std::filesystem::read_symlink(link), "nowhere.JPG");
}

TEST_F(ChooseOutputNameTest, SourceThatIsAnOutputCountsOn) {
  EXPECT_EQ(Choose("/pics/IMG_1234_DateTime_0007.JPG"), "IMG_1234_DateTime_0008.JPG");
  Put("IMG_1234_DateTime_0008.JPG");
  Put("IMG_1234_DateTime_0009.JPG");
  EXPECT_EQ(Choose(dir_.slash() + "IMG_1234_DateTime_0007.JPG"), "IMG_1234_DateTime_0010.JPG");
}

TEST_F(ChooseOutputNameTest, OutputPathIsJoinedWithoutSeparator) {
  const std::string out = (dir_ / "out").string();
  EXPECT_EQ(ChooseOutputName("/pics/a.jpg", out), "a_DateTime_0001.jpg");
  // The candidate is "<dir>/outa_DateTime_0001.jpg"; the next name must not
  // take "out" from the folder into the base.
  Put("outa_DateTime_0001.jpg");
  EXPECT_EQ(ChooseOutputName("/pics/a.jpg", out), "a_DateTime_0002.jpg");
  EXPECT_EQ(ChooseOutputName("/pics/a.jpg", ""), "a_DateTime_0001.jpg");
}

TEST_F(ChooseOutputNameTest, AllCandidatesTakenIsAnErrorNotAnOverwrite) {
  // The search starts at the source's counter + 1 and tries 1000 names.
  for (int n = 1; n <= kMaxOutputNameTries; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "p_DateTime_%04d.jpg", n);
    Put(name);
  }
  EXPECT_EQ(testing_support::MessageOf<NoFreeOutputNameError>([&] { Choose("/pics/p.jpg"); }),
            "No free output file name for /pics/p.jpg");
  EXPECT_EQ(Choose("/pics/p_DateTime_0001.jpg"), "p_DateTime_1001.jpg");
}

}  // namespace

}  // namespace vantrel
