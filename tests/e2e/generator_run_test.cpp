// The real generator in a common folder of its own: how it ends, which reports
// it sends, and which files it writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "shared/helpers.h"
#include "shared/names.h"
#include "support/generator_run.h"
#include "support/jpeg_maker.h"

namespace e2e {
namespace {

using shared::FrontEndExe;
using testing_support::ExifSpec;
using testing_support::FakeFrontEndWindow;
using testing_support::FolderContent;
using testing_support::GeneratorRun;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::StandInProcess;
namespace fs = std::filesystem;

ExifSpec DatedExif(bool motorola, const std::string& date = "2023:01:05 14:03:09") {
  ExifSpec spec;
  spec.motorola = motorola;
  spec.date_time_original = date;
  return spec;
}

TEST_F(GeneratorRun, WithoutSettingsFileItEndsAtOnceNamingTheEmptyValue) {
  WriteList({MakePicture("a.jpg", 64, 48, DatedExif(false))});
  const auto started = std::chrono::steady_clock::now();
  const auto result = RunGenerator();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.standard_error.find("'' is not a valid integer value"), std::string::npos)
      << result.standard_error;
}

TEST_F(GeneratorRun, MissingListEndsWithFileNotFound) {
  WriteSettings();
  const auto result = RunGenerator();
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.standard_error.find("File not found"), std::string::npos)
      << result.standard_error;
}

TEST_F(GeneratorRun, WithoutFrontEndProcessNoPictureIsProcessed) {
  WriteSettings();
  WriteList({MakePicture("a.jpg", 64, 48, DatedExif(false)),
             MakePicture("b.jpg", 64, 48, DatedExif(true))});
  FakeFrontEndWindow window;  // a window alone does not count as a running front-end
  StandInProcess other_folders_front_end(pictures(), FrontEndExe);
  const auto result = RunGenerator();
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  EXPECT_TRUE(window.reports().empty());
  EXPECT_TRUE(FolderContent(out()).empty());
}

TEST_F(GeneratorRun, ReportsEveryPictureBeforeItsOutputAndStampsTheDatedOnes) {
  WriteSettings();
  const std::string intel = MakePicture("intel.jpg", 320, 240, DatedExif(false));
  const std::string motorola = MakePicture("motorola.JPG", 240, 320, DatedExif(true));
  const std::string undated = MakePicture("undated.jpg", 64, 48, std::nullopt);
  const std::string impossible =
      MakePicture("impossible.jpg", 64, 48, DatedExif(false, "0000:00:00 00:00:00"));
  WriteList({intel, "", motorola, "  ", undated, impossible});

  const auto intel_source = ReadFile(intel);
  const auto intel_time = fs::last_write_time(intel);
  StandInProcess front_end(app(), FrontEndExe);
  FakeFrontEndWindow window;
  std::vector<bool> output_existed;
  window.set_callback([&](const testing_support::ReceivedCopyData& report) {
    const std::string text = report.text();
    const auto bar = text.find('|');
    output_existed.push_back(fs::exists(text.substr(bar + 1, text.size() - bar - 2)));
  });

  const auto result = RunGenerator();
  ASSERT_EQ(result.exit_code, 0) << result.standard_error;

  const std::vector<std::string> expected = {
      intel + "|" + out() + "intel_DateTime_0001.jpg",
      motorola + "|" + out() + "motorola_DateTime_0001.JPG",
      undated + "|NoExifData",
      impossible + "|NoExifData",
  };
  const auto reports = window.reports();
  ASSERT_EQ(reports.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(reports[i].text(), expected[i] + std::string(1, '\0'));
    EXPECT_EQ(reports[i].data, 0u);
    EXPECT_NE(static_cast<std::uint32_t>(reports[i].sender), 0u);
    EXPECT_FALSE(output_existed[i]) << expected[i];
  }
  EXPECT_EQ(FolderContent(out()).size(), 2u);
  EXPECT_EQ(ReadFile(intel), intel_source);
  EXPECT_EQ(fs::last_write_time(intel), intel_time);

  for (const auto& [source, output] :
       {std::pair{intel, "intel_DateTime_0001.jpg"}, {motorola, "motorola_DateTime_0001.JPG"}}) {
    const auto in = testing_support::InspectJpegFile(source);
    const auto facts = testing_support::InspectJpegFile(out() + output);
    EXPECT_EQ(facts.width, in.width);
    EXPECT_EQ(facts.height, in.height);
    EXPECT_EQ(facts.components, 3);
    EXPECT_EQ(facts.app1_segments, 0);
    for (const auto& table : facts.quant_tables) {
      for (auto step : table) ASSERT_EQ(step, 1u) << output;
    }
  }
}

TEST_F(GeneratorRun, AStampedPictureGivenAgainGetsTheNextCounter) {
  WriteSettings();
  const std::string source = MakePicture("IMG_7.jpg", 64, 48, DatedExif(false));
  WriteList({source, source});
  StandInProcess front_end(app(), FrontEndExe);
  ASSERT_EQ(RunGenerator().exit_code, 0);
  EXPECT_TRUE(fs::exists(out() + "IMG_7_DateTime_0001.jpg"));
  EXPECT_TRUE(fs::exists(out() + "IMG_7_DateTime_0002.jpg"));
}

TEST_F(GeneratorRun, AnExistingEmptyOutputIsWrittenOverAndAFullOneIsKept) {
  WriteSettings();
  const std::string source = MakePicture("a.jpg", 64, 48, DatedExif(false));
  testing_support::WriteFile(out() + "a_DateTime_0001.jpg", "keep me");
  testing_support::WriteFile(out() + "a_DateTime_0002.jpg", "");
  WriteList({source});
  StandInProcess front_end(app(), FrontEndExe);
  ASSERT_EQ(RunGenerator().exit_code, 0);
  EXPECT_EQ(ReadFile(out() + "a_DateTime_0001.jpg"), "keep me");
  EXPECT_EQ(testing_support::InspectJpegFile(out() + "a_DateTime_0002.jpg").components, 3);
}

// Nobody ever writes into such a pipe: waiting for a writer would keep the
// generator alive and block every later run.
TEST_F(GeneratorRun, PipesInPlaceOfTheSettingsOrTheListEndTheRunAtOnce) {
  const std::string picture = MakePicture("a.jpg", 64, 48, DatedExif(false));
  StandInProcess front_end(app(), FrontEndExe);

  ASSERT_EQ(mkfifo((app() / "sysconfig.ini").c_str(), 0600), 0);
  WriteList({picture});
  auto result = RunGenerator(10);
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.exit_code, -1) << "still waiting on the pipe";
  EXPECT_NE(result.standard_error.find("'' is not a valid integer value"), std::string::npos)
      << result.standard_error;

  fs::remove(app() / "sysconfig.ini");
  fs::remove(app() / "filelist");
  WriteSettings();
  ASSERT_EQ(mkfifo((app() / "filelist").c_str(), 0600), 0);
  result = RunGenerator(10);
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.exit_code, -1) << "still waiting on the pipe";
  EXPECT_NE(result.standard_error.find("File access denied"), std::string::npos)
      << result.standard_error;
  EXPECT_TRUE(FolderContent(out()).empty());
}

TEST_F(GeneratorRun, AnUnreadablePictureEndsTheRunNamingItAndLeavesNoFile) {
  WriteSettings();
  const std::string broken = (pictures() / "broken.jpg").string();
  auto bytes = testing_support::EncodeJpegBytes(testing_support::MakeTestPattern(64, 48), 90);
  bytes = testing_support::InsertSegmentAfterSoi(
      bytes.substr(0, 40), testing_support::MakeExifApp1Segment(DatedExif(false)));
  testing_support::WriteFile(broken, bytes);
  const std::string after = MakePicture("after.jpg", 64, 48, DatedExif(false));
  WriteList({broken, after});
  StandInProcess front_end(app(), FrontEndExe);
  FakeFrontEndWindow window;
  const auto result = RunGenerator();
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.standard_error.find(broken), std::string::npos) << result.standard_error;
  EXPECT_EQ(result.standard_error.find(broken), result.standard_error.rfind(broken));  // once
  EXPECT_EQ(window.reports().size(), 1u);
  EXPECT_TRUE(FolderContent(out()).empty());
}

TEST_F(GeneratorRun, UserTextStampsPicturesWithoutExifOrWithADamagedOne) {
  WriteSettings({{"MyTXT", "  Holiday 2024  "}});
  const std::string undated = MakePicture("undated.jpg", 200, 100, std::nullopt);
  // The EXIF block ends inside its first directory entry.
  std::string cut_exif = testing_support::MakeExifApp1Segment(DatedExif(false)).substr(0, 24);
  cut_exif[3] = 22;
  const std::string damaged = MakePicture("damaged.jpg", 200, 100, std::nullopt);
  testing_support::WriteFile(damaged,
                             testing_support::InsertSegmentAfterSoi(ReadFile(damaged), cut_exif));
  WriteList({undated, damaged});
  StandInProcess front_end(app(), FrontEndExe);
  FakeFrontEndWindow window;
  const auto result = RunGenerator();
  ASSERT_EQ(result.exit_code, 0) << result.standard_error;
  ASSERT_EQ(window.reports().size(), 2u);
  EXPECT_EQ(window.reports()[0].text(),
            undated + "|" + out() + "undated_DateTime_0001.jpg" + std::string(1, '\0'));
  EXPECT_TRUE(fs::exists(out() + "undated_DateTime_0001.jpg"));
  EXPECT_TRUE(fs::exists(out() + "damaged_DateTime_0001.jpg"));
}

// A sandbox without /proc: the unnamed output has no way to its name, and the
// process list is empty, so the front-end's window tells that it runs.
// AddressSanitizer needs /proc itself, so that build hides only the
// generator's own descriptor folder (by its process id, which exec keeps).
TEST_F(GeneratorRun, WithoutProcThePicturesAreStillSaved) {
#ifdef __SANITIZE_ADDRESS__
  const char* const kHidingProc = "mount -t tmpfs none /proc/$$/fd && exec ./vantrel";
#else
  const char* const kHidingProc = "umount -l /proc && exec ./vantrel";
#endif
  if (RunProgram("/usr/bin/unshare", {"-m", "true"}, app(), 10).exit_code != 0) {
    GTEST_SKIP() << "this machine does not let a test mount over /proc (unshare -m needs root)";
  }
  WriteSettings();
  WriteList({MakePicture("a.jpg", 64, 48, DatedExif(false))});
  StandInProcess front_end(app(), FrontEndExe);
  FakeFrontEndWindow window;
  const auto result = RunProgram("/usr/bin/unshare", {"-m", "sh", "-c", kHidingProc}, app());
  EXPECT_EQ(result.exit_code, 0) << result.standard_error;
  EXPECT_EQ(FolderContent(out()), std::vector<std::string>{"a_DateTime_0001.jpg"});
}

}  // namespace
}  // namespace e2e
