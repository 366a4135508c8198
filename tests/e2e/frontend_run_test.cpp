// The real front-end window, driven by a stand-in for a person, with the real
// generator: pictures picked, "Imprint" pressed, the run followed to its end.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/window.h"
#include "shared/helpers.h"
#include "shared/names.h"
#include "shared/sysconfig.h"
#include "support/background_program.h"
#include "support/common_folder.h"
#include "support/descriptors.h"
#include "support/exif_builder.h"
#include "support/fake_frontend.h"
#include "support/jpeg_maker.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace e2e {
namespace {

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
  FrontEndRun() : folder_(4) { Install(folder_); }

  // Installed like the real front-end: its program file in its common folder,
  // where its generator looks for it.
  static void Install(const CommonFolder& folder) {
    folder.WriteSettings();
    fs::copy_file(QUORVEL_FRONTEND_DRIVER, folder.frontend(), fs::copy_options::overwrite_existing);
  }

  DriverOutcome Drive(const std::vector<std::string>& pictures) {
    return DriveIn(folder_, pictures);
  }

  DriverOutcome DriveIn(const CommonFolder& folder, const std::vector<std::string>& pictures) {
    return DriveFrom(folder, folder.app(), folder.frontend(), {}, pictures);
  }

  // `launcher` runs the driver, which comes after `arguments`.
  DriverOutcome DriveFrom(const CommonFolder& folder, const fs::path& working_folder,
                          const fs::path& launcher, std::vector<std::string> arguments,
                          const std::vector<std::string>& pictures) {
    const fs::path outcome_file = folder.app() / "outcome.txt";
    arguments.insert(arguments.end(), {folder.app().string(), outcome_file.string(), "60"});
    arguments.insert(arguments.end(), pictures.begin(), pictures.end());
    const auto run = testing_support::RunProgram(launcher, arguments, working_folder, 90);
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

  static std::vector<fs::path> Outputs(const CommonFolder& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder.output())) files.push_back(entry);
    return files;
  }
  std::vector<fs::path> Outputs() const { return Outputs(folder_); }

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
  // Each run's window gets a fresh handle, and so a fresh place among the
  // others in the registry's order: two runs seldom both find it first.
  for (std::size_t run = 1; run <= 2; ++run) {
    const DriverOutcome outcome = Drive(folder_.pictures());

    EXPECT_EQ(outcome.messages, std::vector<std::string>{"Imprint Finish."})
        << Joined(outcome.statuses);
    EXPECT_TRUE(outcome.list.empty()) << Joined(outcome.list);
    EXPECT_EQ(Outputs().size(), run * folder_.pictures().size());
  }
}

// A sandbox without /proc, started from another folder: the generator that the
// window starts by its full path still reads the settings of that path's folder.
TEST_F(FrontEndRun, WithoutProcARunStartedElsewhereSavesItsPicture) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer finds the stack's bounds in /proc";
#endif
  if (std::system("unshare -m sh -c 'umount -l /proc && ! test -e /proc/self' 2>/dev/null") != 0)
    GTEST_SKIP() << "unshare -m with /proc unmounted is not allowed here (it needs root)";
  const DriverOutcome outcome = DriveFrom(
      folder_, runtime_.path(), "/usr/bin/unshare",
      {"-m", "sh", "-c", "umount -l /proc && exec \"$@\"", "sh", folder_.frontend().string()},
      {folder_.pictures()[0]});
  EXPECT_EQ(outcome.messages, std::vector<std::string>{"Imprint Finish."})
      << Joined(outcome.statuses);
}

// Pictures large enough that a run of them lasts while another copy starts.
std::vector<std::string> LargePictures(const CommonFolder& folder, int count) {
  testing_support::ExifSpec exif;
  exif.date_time_original = CommonFolder::ShotDate(0);
  const std::string bytes = testing_support::InsertSegmentAfterSoi(
      testing_support::EncodeJpegBytes(testing_support::MakeTestPattern(1600, 1200), 90),
      testing_support::MakeExifApp1Segment(exif));
  std::vector<std::string> pictures;
  for (int index = 0; index < count; ++index) {
    pictures.push_back(
        (folder.pictures_folder() / ("large" + std::to_string(index) + ".jpg")).string());
    testing_support::WriteFile(pictures.back(), bytes);
  }
  return pictures;
}

TEST_F(FrontEndRun, CopiesOfTwoFoldersRunAtOnceEachWithItsOwnGenerator) {
  const CommonFolder busy(0);
  Install(busy);
  const std::vector<std::string> many = LargePictures(busy, 60);
  DriverOutcome busy_outcome;
  std::thread busy_run([&] { busy_outcome = DriveIn(busy, many); });
  testing_support::WaitUntil([&] { return !Outputs(busy).empty(); });

  const DriverOutcome outcome = Drive(folder_.pictures());
  busy_run.join();

  EXPECT_EQ(outcome.messages, std::vector<std::string>{"Imprint Finish."})
      << Joined(outcome.statuses);
  EXPECT_EQ(busy_outcome.messages, std::vector<std::string>{"Imprint Finish."})
      << Joined(busy_outcome.statuses);
  EXPECT_EQ(Outputs().size(), folder_.pictures().size());
  EXPECT_EQ(Outputs(busy).size(), many.size());
}

// Room for the settings, the list and the driver's notes, not for a picture.
constexpr rlim_t kLargestSmallFile = 2048;

struct FailureCase {
  const char* name;
  bool damaged_picture;  // else the picture's output cannot be written whole
};

TEST_F(FrontEndRun, GeneratorThatFailsEndsTheRunNamingThePicture) {
  for (const FailureCase c : {FailureCase{"damaged picture", true},
                              FailureCase{"output larger than a file may grow", false}}) {
    SCOPED_TRACE(c.name);
    for (const auto& output : Outputs()) fs::remove_all(output);
    std::vector<std::string> pictures = {folder_.pictures()[0]};
    std::string blamed = folder_.pictures()[0];
    if (c.damaged_picture) {
      fs::create_directories(folder_.output());
      blamed = MakeDamagedPicture("damaged.jpg");
      pictures.push_back(blamed);
      pictures.push_back(folder_.pictures()[1]);
    }
    // The front-end moves a missing output folder to the common folder at its
    // start, so the folder itself cannot be taken away; a file size limit,
    // which the programs inherit, stops the output even for root.
    std::optional<testing_support::FileSizeLimit> limit;
    if (!c.damaged_picture) limit.emplace(kLargestSmallFile);

    const DriverOutcome outcome = Drive(pictures);
    limit.reset();

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
