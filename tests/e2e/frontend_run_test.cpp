// The real front-end window, driven by a stand-in for a person, with the real
// generator: pictures picked, "Imprint" pressed, the run followed to its end.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/window.h"
#include "shared/helpers.h"
#include "shared/names.h"
#include "shared/sysconfig.h"
#include "support/background_program.h"
#include "support/common_folder.h"
#include "support/exif_builder.h"
#include "support/fake_frontend.h"
#include "support/jpeg_maker.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace e2e {
namespace {

using shared::GeneratorExe;
using shared::IsProcessRunning;

namespace fs = std::filesystem;
using testing_support::CommonFolder;

// What the driver wrote down; each status is its colour (0x00BBGGRR in hex),
// a blank and its caption.
struct DriverOutcome {
  std::string result;
  std::vector<std::string> statuses, list, messages, errors;
  bool controls_enabled = false;

  static DriverOutcome Read(const fs::path& file) {
    DriverOutcome outcome;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      const auto equals = line.find('=');
      if (equals == std::string::npos) continue;
      const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
      if (key == "result") outcome.result = value;
      if (key == "status") outcome.statuses.push_back(value);
      if (key == "list") outcome.list.push_back(value);
      if (key == "message") outcome.messages.push_back(value);
      if (key == "error") outcome.errors.push_back(value);
      if (key == "controls_enabled") outcome.controls_enabled = value == "yes";
    }
    return outcome;
  }
};

bool HasLine(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

class FrontEndRun : public ::testing::Test {
 protected:
  FrontEndRun() : folder_(4) { folder_.WriteSettings(); }

  // Another test's generator would be relied on in place of ours.
  void SetUp() override {
    testing_support::WaitUntil([] { return !IsProcessRunning(GeneratorExe); },
                               std::chrono::seconds(60));
  }

  DriverOutcome Drive(const std::vector<std::string>& pictures,
                      const fs::path& driver = QUORVEL_FRONTEND_DRIVER) {
    const fs::path outcome_file = runtime_.path() / "outcome.txt";
    std::vector<std::string> arguments = {folder_.app().string(), outcome_file.string(), "60"};
    arguments.insert(arguments.end(), pictures.begin(), pictures.end());
    const auto run = testing_support::RunProgram(driver, arguments, folder_.app(), 90);
    EXPECT_EQ(run.exit_code, 0) << run.standard_error;
    return DriverOutcome::Read(outcome_file);
  }

  std::string MakeUndatedPicture(const std::string& name) {
    const fs::path path = folder_.pictures_folder() / name;
    testing_support::WriteFile(
        path, testing_support::EncodeJpegBytes(testing_support::MakeTestPattern(80, 60), 90));
    return path.string();
  }

  // Its header cut short after an EXIF date: the generator reports it, then
  // cannot read it.
  std::string MakeDamagedPicture(const std::string& name) {
    testing_support::ExifSpec exif;
    exif.date_time_original = "2021:03:04 05:06:07";
    const std::string whole =
        testing_support::EncodeJpegBytes(testing_support::MakeTestPattern(64, 48), 90);
    const fs::path path = folder_.pictures_folder() / name;
    testing_support::WriteFile(
        path, testing_support::InsertSegmentAfterSoi(whole.substr(0, 40),
                                                     testing_support::MakeExifApp1Segment(exif)));
    return path.string();
  }

  std::vector<fs::path> Outputs() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder_.output())) files.push_back(entry);
    return files;
  }

  testing_support::ScopedRuntimeDir runtime_;
  CommonFolder folder_;
};

TEST_F(FrontEndRun, StampsEveryDatedPictureAndEmptiesTheList) {
  std::vector<std::string> pictures = folder_.pictures();
  const std::string undated = MakeUndatedPicture("undated.jpg");
  pictures.push_back(undated);  // last, so no later report hides its status

  const DriverOutcome outcome = Drive(pictures);

  EXPECT_EQ(outcome.result, "finished") << Joined(outcome.statuses);
  EXPECT_TRUE(outcome.list.empty()) << Joined(outcome.list);
  EXPECT_TRUE(HasLine(outcome.statuses, "0000FF Cannot Process... " + undated))
      << Joined(outcome.statuses);
  EXPECT_EQ(outcome.statuses.back(), "FF8000 Status");
  EXPECT_EQ(outcome.messages, std::vector<std::string>{"Imprint Finish."});
  EXPECT_TRUE(outcome.errors.empty()) << Joined(outcome.errors);
  EXPECT_TRUE(outcome.controls_enabled);
  const auto outputs = Outputs();
  EXPECT_EQ(outputs.size(), folder_.pictures().size());
  for (const auto& output : outputs) EXPECT_TRUE(testing_support::DecodesCleanly(output)) << output;
}

TEST_F(FrontEndRun, RealCameraPicturesAreStamped) {
  const fs::path real = QUORVEL_TESTDATA_DIR "/exif-real";
  std::ifstream manifest(real / "MANIFEST.tsv");
  if (!manifest) GTEST_SKIP() << "no real pictures in " << real;
  std::vector<std::string> dated;
  std::string line;
  std::getline(manifest, line);
  while (std::getline(manifest, line) && dated.size() < 6) {
    std::istringstream columns(line);
    std::string file, date;
    std::getline(columns, file, '\t');
    std::getline(columns, date, '\t');
    if (!file.empty() && !date.empty()) dated.push_back((real / file).string());
  }
  ASSERT_FALSE(dated.empty());

  const DriverOutcome outcome = Drive(dated);

  EXPECT_EQ(outcome.result, "finished") << Joined(outcome.statuses);
  EXPECT_TRUE(outcome.list.empty()) << Joined(outcome.list);
  const auto outputs = Outputs();
  EXPECT_EQ(outputs.size(), dated.size());
  for (const auto& output : outputs) EXPECT_TRUE(testing_support::DecodesCleanly(output)) << output;
}

TEST_F(FrontEndRun, BarsInPathsAreOrdinaryCharacters) {
  const fs::path in = folder_.pictures_folder() / "in|put";
  fs::create_directories(in);
  fs::copy_file(folder_.pictures()[0], in / "x|y.jpg");
  const std::string out = (folder_.app() / "out|pipe").string() + "/";
  fs::create_directories(out);
  folder_.WriteSettings({{std::string(shared::SysConfig::OutputPath), out}});

  const DriverOutcome outcome = Drive({(in / "x|y.jpg").string()});

  EXPECT_EQ(outcome.messages, std::vector<std::string>{"Imprint Finish."})
      << Joined(outcome.statuses);
  EXPECT_TRUE(outcome.list.empty()) << Joined(outcome.list);
}

TEST_F(FrontEndRun, OddCharactersInNamesReachTheListFileByteForByte) {
  std::vector<std::string> odd;
  for (const char* name : {"nb\u00A0sp.jpg", "line\u2028sep.jpg"}) {
    odd.push_back((folder_.pictures_folder() / name).string());
    fs::copy_file(folder_.pictures()[0], odd.back());
  }

  const DriverOutcome outcome = Drive(odd);

  EXPECT_EQ(testing_support::ReadFile(folder_.app() / "filelist"), odd[0] + "\r\n" + odd[1]);
  EXPECT_EQ(outcome.messages, std::vector<std::string>{"Imprint Finish."})
      << Joined(outcome.statuses);
  EXPECT_EQ(Outputs().size(), odd.size());
}

TEST_F(FrontEndRun, ReportsReachTheCopyOfItsOwnCommonFolderAmongOthers) {
  constexpr std::size_t kOtherCopies = 5;
  std::vector<std::unique_ptr<CommonFolder>> other_folders;
  std::vector<std::unique_ptr<testing_support::BackgroundProgram>> other_copies;
  for (std::size_t i = 0; i < kOtherCopies; ++i) {
    other_folders.push_back(std::make_unique<CommonFolder>(0));
    other_copies.push_back(std::make_unique<testing_support::BackgroundProgram>(
        other_folders.back()->frontend(), runtime_.path() / ("copy" + std::to_string(i) + ".log")));
  }
  ASSERT_TRUE(testing_support::WaitUntil([] {
    return platform::FindWindowsByClassAndCaption(shared::MainWindowClass, shared::FrontEndCaption)
               .size() == kOtherCopies;
  }));
  // Installed like the real front-end: its program file in its common folder.
  fs::copy_file(QUORVEL_FRONTEND_DRIVER, folder_.frontend(), fs::copy_options::overwrite_existing);

  // Each run's window gets a fresh handle, and so a fresh place among the
  // others in the registry's order: two runs seldom both find it first.
  for (std::size_t run = 1; run <= 2; ++run) {
    const DriverOutcome outcome = Drive(folder_.pictures(), folder_.frontend());

    EXPECT_EQ(outcome.messages, std::vector<std::string>{"Imprint Finish."})
        << Joined(outcome.statuses);
    EXPECT_TRUE(outcome.list.empty()) << Joined(outcome.list);
    EXPECT_EQ(Outputs().size(), run * folder_.pictures().size());
  }
}

struct FailureCase {
  const char* name;
  bool damaged_picture;  // else a folder stands at the picture's output name
};

TEST_F(FrontEndRun, GeneratorThatFailsEndsTheRunNamingThePicture) {
  for (const FailureCase c : {FailureCase{"damaged picture", true},
                              FailureCase{"output name taken by a folder", false}}) {
    SCOPED_TRACE(c.name);
    for (const auto& output : Outputs()) fs::remove_all(output);
    std::vector<std::string> pictures = {folder_.pictures()[0]};
    std::string blamed = folder_.pictures()[0];
    if (c.damaged_picture) {
      fs::create_directories(folder_.output());
      blamed = MakeDamagedPicture("damaged.jpg");
      pictures.push_back(blamed);
      pictures.push_back(folder_.pictures()[1]);
    } else {
      // The front-end moves a missing output folder to the common folder at its
      // start, so the folder itself cannot be taken away; a folder under the
      // output name counts as an empty file that the generator may write over,
      // but cannot.
      fs::create_directories(folder_.output() + "picture001_DateTime_0001.jpg/inside");
    }

    const DriverOutcome outcome = Drive(pictures);

    EXPECT_EQ(outcome.result, "failed") << Joined(outcome.statuses);
    ASSERT_FALSE(outcome.list.empty());
    EXPECT_EQ(outcome.list.front(), blamed);
    ASSERT_FALSE(outcome.statuses.empty());
    EXPECT_TRUE(outcome.statuses.back().starts_with("0000FF "));
    const std::string stopped_at = "Stopped at " + fs::path(blamed).filename().string() + ": ";
    EXPECT_TRUE(outcome.statuses.back().starts_with("0000FF " + stopped_at))
        << outcome.statuses.back();
    EXPECT_TRUE(outcome.messages.empty()) << Joined(outcome.messages);
    EXPECT_TRUE(outcome.controls_enabled);
  }
}

}  // namespace
}  // namespace e2e
