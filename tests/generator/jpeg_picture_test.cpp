#include "generator/jpeg_picture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/jpeg_maker.h"
#include "support/raises.h"
#include "support/temp_dir.h"

namespace vantrel {

namespace {

using testing_support::EncodeJpegBytes;
using testing_support::FolderContent;
using testing_support::InspectJpegFile;
using testing_support::JpegColors;
using testing_support::JpegOptions;
using testing_support::MakeTestPattern;
using testing_support::MeanAbsDifference;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::string MessageOf(const std::function<void()>& action) {
  return testing_support::MessageOf<JpegError>(action);
}

// Four flat quadrants, so that colours survive the codec nearly unchanged.
platform::Bitmap MakeQuadrants() {
  const std::uint8_t colours[4][3] = {{200, 40, 40}, {30, 160, 90}, {250, 250, 250}, {10, 10, 60}};
  platform::Bitmap bitmap(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const auto& colour = colours[(y / 32) * 2 + x / 32];
      std::copy(colour, colour + 3, bitmap.row(y) + x * 3);
    }
  }
  return bitmap;
}

TEST(JpegPicture, RoundTripKeepsSizeAndPicture) {
  TempDir dir;
  const platform::Bitmap original = MakeTestPattern(97, 61);
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive);
    WriteFile(dir / "in.jpg", EncodeJpegBytes(original, 95, {JpegColors::kYCbCr, progressive}));
    const platform::Bitmap decoded = DecodeJpegFile((dir / "in.jpg").string());
    ASSERT_EQ(decoded.width, 97);
    ASSERT_EQ(decoded.height, 61);
    EXPECT_LT(MeanAbsDifference(original, decoded), 6.0);  // chroma subsampling and grain

    const auto out = dir / (progressive ? "out-p.jpg" : "out.jpg");
    SaveJpegFile(decoded, out.string(), 100);
    const auto facts = InspectJpegFile(out);
    EXPECT_EQ(facts.width, 97);
    EXPECT_EQ(facts.height, 61);
    EXPECT_EQ(facts.components, 3);
    EXPECT_TRUE(facts.jfif_marker);
    EXPECT_FALSE(facts.adobe_marker);
    EXPECT_FALSE(facts.progressive);
    EXPECT_LT(MeanAbsDifference(decoded, DecodeJpegFile(out.string())), 3.0);
  }
}

TEST(JpegPicture, QualityScalesTheStandardTables) {
  // The first entry of the standard luminance table is 16; quality 50 keeps
  // it, 75 halves it, 100 brings every entry to 1.
  TempDir dir;
  const platform::Bitmap picture = MakeTestPattern(16, 16);
  for (auto [quality, first] : {std::pair{100, 1}, {75, 8}, {50, 16}}) {
    const auto out = dir / ("q" + std::to_string(quality) + ".jpg");
    SaveJpegFile(picture, out.string(), quality);
    const auto tables = testing_support::QuantTablesOf(out);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0][0], first) << quality;
    if (quality == 100) {
      for (const auto& table : tables) {
        for (auto value : table) EXPECT_EQ(value, 1);
      }
    }
  }
}

TEST(JpegPicture, GrayscaleSourceBecomesColour) {
  TempDir dir;
  WriteFile(dir / "gray.jpg",
            EncodeJpegBytes(MakeTestPattern(40, 30), 90, {JpegColors::kGrayscale, false}));
  ASSERT_EQ(InspectJpegFile(dir / "gray.jpg").components, 1);
  const platform::Bitmap decoded = DecodeJpegFile((dir / "gray.jpg").string());
  ASSERT_EQ(decoded.pixels.size(), 40u * 30u * 3u);
  for (std::size_t i = 0; i < decoded.pixels.size(); i += 3) {
    ASSERT_EQ(decoded.pixels[i], decoded.pixels[i + 1]);
    ASSERT_EQ(decoded.pixels[i], decoded.pixels[i + 2]);
  }
  SaveJpegFile(decoded, (dir / "out.jpg").string(), 100);
  EXPECT_EQ(InspectJpegFile(dir / "out.jpg").components, 3);
}

TEST(JpegPicture, InkPicturesDecodeToTheirColours) {
  TempDir dir;
  const platform::Bitmap original = MakeQuadrants();
  for (JpegColors colors :
       {JpegColors::kCmykAdobe, JpegColors::kYcckAdobe, JpegColors::kCmykPlain}) {
    for (bool progressive : {false, true}) {
      SCOPED_TRACE(static_cast<int>(colors) * 10 + progressive);
      WriteFile(dir / "ink.jpg", EncodeJpegBytes(original, 95, {colors, progressive}));
      ASSERT_EQ(InspectJpegFile(dir / "ink.jpg").components, 4);
      const platform::Bitmap decoded = DecodeJpegFile((dir / "ink.jpg").string());
      // Turned a quarter clockwise, the stored left column becomes the top row.
      const platform::Bitmap turned =
          DecodeJpegFile((dir / "ink.jpg").string(), UprightTurn::ForOrientation(6));
      for (auto [x, y] : {std::pair{16, 16}, {48, 16}, {16, 48}, {48, 48}}) {
        for (int c = 0; c < 3; ++c) {
          EXPECT_NEAR(decoded.row(y)[x * 3 + c], original.row(y)[x * 3 + c], 6)
              << x << "," << y << " channel " << c;
          EXPECT_NEAR(turned.row(y)[x * 3 + c], original.row(63 - x)[y * 3 + c], 6)
              << "turned " << x << "," << y << " channel " << c;
        }
      }
    }
  }
}

TEST(JpegPicture, UnreadableFilesRaiseNamingTheFile) {
  TempDir dir;
  const std::string valid = EncodeJpegBytes(MakeTestPattern(32, 32), 90);
  WriteFile(dir / "empty.jpg", "");
  WriteFile(dir / "text.jpg", "this is no picture at all");
  WriteFile(dir / "header-cut.jpg", valid.substr(0, 40));
  std::filesystem::create_directory(dir / "folder.jpg");
  for (const char* name : {"empty.jpg", "text.jpg", "header-cut.jpg", "folder.jpg", "absent.jpg"}) {
    const std::string path = (dir / name).string();
    EXPECT_NE(MessageOf([&] { DecodeJpegFile(path); }).find(path), std::string::npos) << name;
  }
}

TEST(JpegPicture, TruncatedDataDecodesAsFarAsItGoes) {
  TempDir dir;
  const std::string whole = EncodeJpegBytes(MakeTestPattern(128, 128), 90);
  WriteFile(dir / "whole.jpg", whole);
  WriteFile(dir / "cut.jpg", whole.substr(0, whole.size() / 2));
  const platform::Bitmap complete = DecodeJpegFile((dir / "whole.jpg").string());
  const platform::Bitmap partial = DecodeJpegFile((dir / "cut.jpg").string());
  ASSERT_EQ(partial.width, 128);
  ASSERT_EQ(partial.height, 128);
  // The top rows were in the file and decode as in the whole file.
  EXPECT_TRUE(std::equal(complete.row(0), complete.row(16), partial.row(0)));
}

TEST(JpegPicture, HugeDimensionsAreRefusedBeforeDecoding) {
  TempDir dir;
  std::string bytes = EncodeJpegBytes(MakeTestPattern(16, 16), 90);
  const std::size_t sof = bytes.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  // SOF0: FF C0, length (2), precision (1), height (2), width (2).
  bytes.replace(sof + 5, 4, "\xFF\xDC\xFF\xDC");
  WriteFile(dir / "huge.jpg", bytes);
  const std::string path = (dir / "huge.jpg").string();
  // Decoding first would ask for 12 GB of pixels and fail another way.
  const std::string message = MessageOf([&] { DecodeJpegFile(path); });
  EXPECT_NE(message.find(path), std::string::npos);
  EXPECT_NE(message.find("65500 x 65500"), std::string::npos) << message;
}

// The first scan of a progressive file, from its FF DA to the next marker.
std::string FirstScanOf(const std::string& jpeg) {
  const std::size_t start = jpeg.find("\xFF\xDA");
  std::size_t end = start + 2;
  while (end + 1 < jpeg.size()) {
    const auto next = static_cast<unsigned char>(jpeg[end + 1]);
    if (static_cast<unsigned char>(jpeg[end]) == 0xFF && next != 0 &&
        (next < 0xD0 || next > 0xD7)) {
      break;
    }
    ++end;
  }
  return jpeg.substr(start, end - start);
}

TEST(JpegPicture, EndlessScansAreRefused) {
  // A repeated scan only draws a warning from the codec; hundreds of them
  // would make the decoding crawl.
  TempDir dir;
  std::string bytes = EncodeJpegBytes(MakeTestPattern(256, 256), 90, {JpegColors::kYCbCr, true});
  const std::string scan = FirstScanOf(bytes);
  std::string repeated;
  for (int i = 0; i < 600; ++i) repeated += scan;
  bytes.insert(bytes.find(scan) + scan.size(), repeated);
  WriteFile(dir / "scans.jpg", bytes);
  const std::string path = (dir / "scans.jpg").string();
  const std::string message = MessageOf([&] { DecodeJpegFile(path); });
  EXPECT_NE(message.find(path), std::string::npos);
  EXPECT_NE(message.find("scans"), std::string::npos) << message;
}

TEST(JpegPicture, SourceIsLeftUntouched) {
  TempDir dir;
  const std::string bytes = EncodeJpegBytes(MakeTestPattern(50, 40), 90);
  WriteFile(dir / "in.jpg", bytes);
  const auto old_time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
  std::filesystem::last_write_time(dir / "in.jpg", old_time);
  DecodeJpegFile((dir / "in.jpg").string());
  EXPECT_EQ(ReadFile(dir / "in.jpg"), bytes);
  EXPECT_EQ(std::filesystem::last_write_time(dir / "in.jpg"), old_time);
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"in.jpg"});
}

TEST(JpegPicture, SourceMetadataIsNotCarriedOver) {
  TempDir dir;
  const std::string app1 = std::string("\xFF\xE1\x00\x08", 4) + "Exif" + std::string(2, '\0');
  WriteFile(dir / "in.jpg", testing_support::InsertSegmentAfterSoi(
                                EncodeJpegBytes(MakeTestPattern(20, 20), 90), app1));
  ASSERT_EQ(InspectJpegFile(dir / "in.jpg").app1_segments, 1);
  SaveJpegFile(DecodeJpegFile((dir / "in.jpg").string()), (dir / "out.jpg").string(), 100);
  EXPECT_EQ(InspectJpegFile(dir / "out.jpg").app1_segments, 0);
}

TEST(JpegPicture, SaveIntoMissingFolderRaisesNamingThePath) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  for (const char* folder : {"missing", "file"}) {
    const std::string path = (dir / folder / "out.jpg").string();
    EXPECT_NE(MessageOf([&] { SaveJpegFile(MakeTestPattern(8, 8), path, 100); }).find(path),
              std::string::npos);
  }
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"file"});
}

TEST(JpegPicture, FailedSaveLeavesNothingBehind) {
  TempDir dir;
  WriteFile(dir / "keep.jpg", "");
  // Wider than a JPEG can be: the codec fails after the file was begun.
  const platform::Bitmap too_wide(70000, 1);
  EXPECT_THROW(SaveJpegFile(too_wide, (dir / "keep.jpg").string(), 100), JpegError);
  EXPECT_THROW(SaveJpegFile(too_wide, (dir / "new.jpg").string(), 100), JpegError);
  EXPECT_EQ(FolderContent(dir.path()), std::vector<std::string>{"keep.jpg"});
  EXPECT_EQ(std::filesystem::file_size(dir / "keep.jpg"), 0u);
}

TEST(JpegPicture, ExistingTargetIsReplacedOnlyWhenEmpty) {
  TempDir dir;
  WriteFile(dir / "taken.jpg", "precious");
  WriteFile(dir / "free.jpg", "");
  const platform::Bitmap picture = MakeTestPattern(24, 24);
  const std::string taken = (dir / "taken.jpg").string();
  EXPECT_NE(MessageOf([&] { SaveJpegFile(picture, taken, 100); }).find(taken), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "taken.jpg"), "precious");

  SaveJpegFile(picture, (dir / "free.jpg").string(), 100);
  EXPECT_EQ(InspectJpegFile(dir / "free.jpg").width, 24);
  EXPECT_EQ(FolderContent(dir.path()), (std::vector<std::string>{"free.jpg", "taken.jpg"}));
}

TEST(JpegPicture, OutputGetsTheModeOfANewFile) {
  TempDir dir;
  const mode_t old_mask = umask(027);
  SaveJpegFile(MakeTestPattern(8, 8), (dir / "out.jpg").string(), 100);
  umask(old_mask);
  struct stat status {};
  ASSERT_EQ(stat((dir / "out.jpg").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST(JpegPicture, UnwritableFolderRaisesNamingThePath) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  TempDir dir;
  std::filesystem::create_directory(dir / "locked");
  std::filesystem::permissions(
      dir / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const std::string path = (dir / "locked" / "out.jpg").string();
  EXPECT_NE(MessageOf([&] { SaveJpegFile(MakeTestPattern(8, 8), path, 100); }).find(path),
            std::string::npos);
  std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
}

}  // namespace

}  // namespace vantrel
