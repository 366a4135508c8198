#include "support/common_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "support/jpeg_maker.h"
#include "support/temp_dir.h"

namespace {

using testing_support::CommonFolder;

TEST(CommonFolder, HoldsBothProgramsAndDatedPictures) {
  CommonFolder folder(12);
  EXPECT_EQ(access(folder.generator().c_str(), X_OK), 0);
  EXPECT_EQ(access(folder.frontend().c_str(), X_OK), 0);
  EXPECT_FALSE(std::filesystem::is_empty(folder.app() / "package"));
  EXPECT_TRUE(std::filesystem::is_directory(folder.output()));

  ASSERT_EQ(folder.pictures().size(), 12u);
  std::set<std::string> dates;
  for (int index = 0; index < 12; ++index) {
    const auto facts = testing_support::InspectJpegFile(folder.pictures()[index]);
    EXPECT_GT(facts.width, 0);
    EXPECT_EQ(facts.app1_segments, 1);
    const std::string bytes = testing_support::ReadFile(folder.pictures()[index]);
    EXPECT_NE(bytes.find(CommonFolder::ShotDate(index)), std::string::npos);
    dates.insert(CommonFolder::ShotDate(index));
  }
  EXPECT_EQ(dates.size(), 12u);  // distinct dates tell the stamped pictures apart

  folder.WriteSettings();
  const std::string settings = testing_support::ReadFile(folder.app() / "sysconfig.ini");
  EXPECT_NE(settings.find(folder.output()), std::string::npos);
}

}  // namespace
