// The generator's batch: which list lines reach the per-picture step, with
// which output names, and how settings and list errors end it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "generator/gen.h"
#include "platform/errors.h"
#include "support/raises.h"
#include "support/settings_file.h"
#include "support/temp_dir.h"

namespace vantrel {

namespace {

using testing_support::MessageOf;
using testing_support::TempDir;
using testing_support::WriteFile;

struct Seen {
  std::string picture;
  std::string output;
};

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto settings = testing_support::DefaultSettings();
    settings["Output Path"] = out_dir();
    testing_support::WriteSettingsFile(dir_.path(), settings);
  }

  std::string out_dir() const { return dir_.slash(); }

  // Runs the batch with a front-end check that answers from `alive` in turn
  // (true once the answers run out) and a step that only records.
  std::vector<Seen> RunBatch(std::vector<bool> alive = {}) {
    TForm1 form(dir_.slash());
    std::size_t asked = 0;
    form.set_front_end_check([&] { return asked < alive.size() ? alive[asked++] : true; });
    std::vector<Seen> seen;
    form.set_picture_step([&](TForm1& f) {
      seen.push_back({f.CurrentPicture(), f.OutputPath() + f.OutputName()});
    });
    form.FormActivate();
    EXPECT_TRUE(form.termination_requested());
    return seen;
  }

  TempDir dir_;
};

std::vector<std::string> PicturesOf(const std::vector<Seen>& seen) {
  std::vector<std::string> pictures;
  for (const auto& s : seen) pictures.push_back(s.picture);
  return pictures;
}

TEST_F(BatchTest, ListLineEndingsBlankLinesAndBlanksAroundPaths) {
  struct Case {
    const char* list;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"/p/a.jpg\r\n/p/b.jpg", {"/p/a.jpg", "/p/b.jpg"}},
      {"/p/a.jpg\r\n", {"/p/a.jpg"}},
      {"/p/a.jpg\n/p/b.jpg\n", {"/p/a.jpg", "/p/b.jpg"}},
      {"/p/a.jpg\r\n\r\n  \t\r\n/p/b.jpg", {"/p/a.jpg", "/p/b.jpg"}},
      {" /p/a b.jpg \r\n", {" /p/a b.jpg "}},
  };
  for (const auto& c : cases) {
    WriteFile(dir_ / "filelist", c.list);
    EXPECT_EQ(PicturesOf(RunBatch()), c.expected) << "list: " << c.list;
  }
}

TEST_F(BatchTest, OutputNamesAreJoinedToTheOutputFolder) {
  WriteFile(dir_ / "filelist", "/x/IMG_1.JPG\r\n/y/IMG_1_DateTime_0004.JPG");
  const auto seen = RunBatch();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].output, out_dir() + "IMG_1_DateTime_0001.JPG");
  EXPECT_EQ(seen[1].output, out_dir() + "IMG_1_DateTime_0005.JPG");
}

TEST_F(BatchTest, LinesAreSkippedWhileNoFrontEndRuns) {
  WriteFile(dir_ / "filelist", "/p/1.jpg\r\n/p/2.jpg\r\n/p/3.jpg\r\n/p/4.jpg\r\n/p/5.jpg");
  // The front-end goes away after the second line and comes back for the fifth.
  const auto seen = RunBatch({true, true, false, false, true});
  EXPECT_EQ(PicturesOf(seen), (std::vector<std::string>{"/p/1.jpg", "/p/2.jpg", "/p/5.jpg"}));
}

TEST_F(BatchTest, NoFrontEndReadsTheWholeListAndProcessesNothing) {
  WriteFile(dir_ / "filelist", "/p/1.jpg\r\n/p/2.jpg\r\n/p/3.jpg");
  EXPECT_TRUE(RunBatch({false, false, false}).empty());
}

TEST_F(BatchTest, MissingListIsFileNotFound) {
  TForm1 form(dir_.slash());
  form.set_picture_step([](TForm1&) { FAIL() << "no picture expected"; });
  EXPECT_EQ(MessageOf<platform::InOutError>([&] { form.FormActivate(); }), "File not found");
  EXPECT_TRUE(form.termination_requested());
}

TEST_F(BatchTest, BadSettingStopsBeforeTheList) {
  struct Case {
    const char* key;
    const char* value;
    const char* message;
  };
  const Case cases[] = {
      {"b_font_color", "", "'' is not a valid integer value"},
      {"g_DropShadow_color", "x", "'x' is not a valid integer value"},
      {"DateFormat", "1.5", "'1.5' is not a valid integer value"},
      {"border_margin", "", "'' is not a valid integer value"},
  };
  WriteFile(dir_ / "filelist", "/p/1.jpg");
  for (const auto& c : cases) {
    auto settings = testing_support::DefaultSettings();
    settings[c.key] = c.value;
    testing_support::WriteSettingsFile(dir_.path(), settings);
    TForm1 form(dir_.slash());
    form.set_picture_step([](TForm1&) { FAIL() << "no picture expected"; });
    EXPECT_EQ(MessageOf<platform::ConvertError>([&] { form.FormActivate(); }), c.message) << c.key;
  }
}

TEST_F(BatchTest, MissingSettingsFileNamesTheEmptyValue) {
  std::filesystem::remove(dir_ / "sysconfig.ini");
  WriteFile(dir_ / "filelist", "/p/1.jpg");
  TForm1 form(dir_.slash());
  EXPECT_THROW(form.FormActivate(), platform::ConvertError);
}

TEST_F(BatchTest, AnErrorInAPictureEndsTheRunAndNamesThePicture) {
  WriteFile(dir_ / "filelist", "/p/1.jpg\r\n/p/2.jpg\r\n/p/3.jpg");
  TForm1 form(dir_.slash());
  form.set_front_end_check([] { return true; });
  std::vector<std::string> seen;
  form.set_picture_step([&](TForm1& f) {
    seen.push_back(f.CurrentPicture());
    if (seen.size() == 2) throw std::runtime_error("cannot decode");
  });
  EXPECT_EQ(MessageOf<std::exception>([&] { form.FormActivate(); }), "/p/2.jpg: cannot decode");
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_TRUE(form.termination_requested());
}

TEST_F(BatchTest, ALineHoldingAZeroByteNamesNoFile) {
  const std::string line = std::string("/p/a.jpg") + '\0' + "b.png";
  WriteFile(dir_ / "filelist", line + "\r\n/p/2.jpg");
  TForm1 form(dir_.slash());
  form.set_front_end_check([] { return true; });
  bool stepped = false;
  form.set_picture_step([&](TForm1&) { stepped = true; });
  EXPECT_EQ(MessageOf<std::exception>([&] { form.FormActivate(); }),
            "/p/a.jpg\\0b.png: File not found");
  EXPECT_FALSE(stepped);
}

}  // namespace

}  // namespace vantrel
