#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "generator/Exif.h"
#include "platform/errors.h"
#include "support/descriptors.h"
#include "support/exif_builder.h"
#include "support/temp_dir.h"

namespace vantrel {

using namespace testing_support;

namespace {

constexpr char kDate[] = "2019:12:31 23:59:58";

TExif ReadBytes(const std::string& bytes) {
  TempDir dir;
  WriteFile(dir / "picture.jpg", bytes);
  TExif exif;
  exif.ReadFromFile((dir / "picture.jpg").string());
  return exif;
}

TExif ReadSpec(const ExifSpec& spec) {
  return ReadBytes(MakeJpegFile({.exif = spec}));
}

ExifSpec DatedSpec(bool motorola = false) {
  ExifSpec spec;
  spec.motorola = motorola;
  spec.date_time_original = kDate;
  return spec;
}

ExifSpec WithExifTag(ExifTag tag, bool motorola = false) {
  ExifSpec spec = DatedSpec(motorola);
  spec.exif.push_back(std::move(tag));
  return spec;
}

long long BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

}  // namespace

TEST(ExifReader, PathWithoutFileLeavesTheObjectAlone) {
  TempDir dir;
  TExif exif;
  exif.Make = "kept";
  exif.ReadFromFile((dir / "missing.jpg").string());
  exif.ReadFromFile(dir.path().string());  // a folder is no file either
  EXPECT_EQ(exif.Make, "kept");
  EXPECT_FALSE(exif.HasExif);
}

TEST(ExifReader, FileThatCannotBeReadRaises) {
  TempDir dir;
  const std::string pipe = (dir / "pipe.jpg").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  TExif exif;
  try {
    exif.ReadFromFile(pipe);
    FAIL() << "no error";
  } catch (const platform::InOutError& error) {
    EXPECT_EQ(error.code(), ESPIPE);
  }
  EXPECT_FALSE(exif.HasExif);
}

TEST(ExifReader, FileThatIsNoJpegGivesNoExif) {
  TExif exif = ReadBytes("GIF89a" + MakeExifApp1Segment(DatedSpec()));
  EXPECT_FALSE(exif.HasExif);
  EXPECT_EQ(exif.DateTimeOriginal, "");
  EXPECT_THROW(ReadBytes("\xFF"), platform::InOutError);
}

TEST(ExifReader, FindsTheExifSegmentWhateverComesBeforeIt) {
  const std::string exif_segment = MakeExifApp1Segment(DatedSpec());
  const std::string fill_then_exif = "\xFF\xFF\xFF" + exif_segment.substr(1);
  struct Case {
    const char* name;
    JpegLayout layout;
  };
  const std::vector<Case> cases = {
      {"right after the start", {.exif = DatedSpec()}},
      {"after a usual APP0", {.app0_length = 16, .exif = DatedSpec()}},
      {"after a short APP0", {.app0_length = 7, .exif = DatedSpec()}},
      {"after a long APP0", {.app0_length = 301, .exif = DatedSpec()}},
      {"after XMP", {.before_exif = {MakeXmpSegment()}, .exif = DatedSpec()}},
      {"after ICC", {.before_exif = {MakeIccSegment(60000)}, .exif = DatedSpec()}},
      {"after APP0, ICC and XMP",
       {.app0_length = 16,
        .before_exif = {MakeIccSegment(65000), MakeIccSegment(9000), MakeXmpSegment()},
        .exif = DatedSpec()}},
      {"after a comment", {.before_exif = {MakeSegment(0xFE, "note")}, .exif = DatedSpec()}},
      {"after fill bytes", {.app0_length = 16, .before_exif = {fill_then_exif}}},
      {"after a standalone marker", {.before_exif = {"\xFF\xD0"}, .exif = DatedSpec()}},
      {"after stray bytes", {.before_exif = {"\x12\x34"}, .exif = DatedSpec()}},
      {"after zero padding",
       {.app0_length = 16, .before_exif = {std::string(3, '\0')}, .exif = DatedSpec()}},
  };
  for (const Case& c : cases) {
    const TExif exif = ReadBytes(MakeJpegFile(c.layout));
    EXPECT_TRUE(exif.HasExif) << c.name;
    EXPECT_EQ(exif.DateTimeOriginal, kDate) << c.name;
  }
}

TEST(ExifReader, SegmentsThatAreNoExifAreNotTaken) {
  std::string wrong_identifier = MakeExifApp1Segment(DatedSpec());
  wrong_identifier[9] = 'x';
  struct Case {
    const char* name;
    JpegLayout layout;
  };
  const std::vector<Case> cases = {
      {"XMP only", {.app0_length = 16, .before_exif = {MakeXmpSegment()}}},
      {"wrong identifier", {.before_exif = {wrong_identifier}}},
      {"behind the start of scan",
       {.after_exif = {MakeSegment(0xDA, "\x01"), MakeExifApp1Segment(DatedSpec())}}},
  };
  for (const Case& c : cases) {
    const TExif exif = ReadBytes(MakeJpegFile(c.layout));
    EXPECT_FALSE(exif.HasExif) << c.name;
    EXPECT_EQ(exif.DateTimeOriginal, "") << c.name;
  }
}

TEST(ExifReader, BothByteOrdersGiveTheSameFields) {
  std::vector<TExif> results;
  for (bool motorola : {false, true}) {
    ExifSpec spec = DatedSpec(motorola);
    spec.ifd0 = {AsciiTag(0x010F, "Maker Inc."), AsciiTag(0x0110, "Model 7"), ShortTag(0x0112, 6),
                 RationalTag(0x011A, 300, 1), AsciiTag(0x0132, "2020")};
    spec.exif = {RationalTag(0x829A, 1, 125), RationalTag(0x829D, 28, 10), ShortTag(0x8827, 400),
                 RationalTag(0x920A, 50, 1),  ShortTag(0x9207, 5),         ShortTag(0x9209, 25),
                 LongTag(0xA002, 4000),       ShortTag(0xA003, 3000)};
    results.push_back(ReadSpec(spec));
    EXPECT_EQ(results.back().Motorola, motorola);
  }
  for (const TExif& exif : results) {
    EXPECT_TRUE(exif.HasExif);
    EXPECT_EQ(exif.DateTimeOriginal, kDate);
    EXPECT_EQ(exif.Make, "Maker Inc.");
    EXPECT_EQ(exif.Model, "Model 7");
    EXPECT_EQ(exif.OrientationText, "Rotated 90 right");
    EXPECT_EQ(exif.XResolution, 300u);
    EXPECT_EQ(exif.DateTime, "2020");
    EXPECT_EQ(exif.ExposureTime, "1/125");
    EXPECT_EQ(exif.FNumber, "2.8");
    EXPECT_EQ(exif.ISO, 400);
    EXPECT_EQ(exif.FocalLength, "50.0");
    EXPECT_EQ(exif.MeteringModeText, "Pattern");
    EXPECT_EQ(exif.FlashText, "Flash (Auto)");
    EXPECT_EQ(exif.ExifImageWidth, 4000u);
    EXPECT_EQ(exif.ExifImageHeight, 3000u);
  }
}

TEST(ExifReader, ImageDirectoryElsewhereThanRightAfterTheHeader) {
  for (bool motorola : {false, true}) {
    ExifSpec spec = DatedSpec(motorola);
    spec.ifd0_offset = 26;
    spec.ifd0 = {AsciiTag(0x010F, "Far Away")};
    const TExif exif = ReadSpec(spec);
    EXPECT_EQ(exif.Make, "Far Away");
    EXPECT_EQ(exif.DateTimeOriginal, kDate);
  }
}

TEST(ExifReader, EntryCountZero) {
  ExifSpec image_zero = DatedSpec();
  image_zero.ifd0 = {AsciiTag(0x010F, "Maker")};
  image_zero.ifd0_count = 0;  // read up to the entry whose tag is 0
  const TExif from_image = ReadSpec(image_zero);
  EXPECT_EQ(from_image.Make, "Maker");
  EXPECT_EQ(from_image.DateTimeOriginal, kDate);

  ExifSpec exif_zero = DatedSpec();
  exif_zero.exif_count = 0;  // nothing
  const TExif from_exif = ReadSpec(exif_zero);
  EXPECT_TRUE(from_exif.HasExif);
  EXPECT_EQ(from_exif.DateTimeOriginal, "");
}

TEST(ExifReader, RationalTexts) {
  struct Case {
    std::uint16_t tag;
    std::uint32_t numerator, denominator;
    std::string expected;
    std::string TExif::*field;
  };
  const std::vector<Case> cases = {
      {0x829A, 1, 125, "1/125", &TExif::ExposureTime},
      {0x829A, 10, 1250, "10/1250", &TExif::ExposureTime},
      {0x829A, 7, 1000000, "0", &TExif::ExposureTime},
      {0x829A, 5, 0, "5/0", &TExif::ExposureTime},
      {0x829A, 4294967295u, 1, "4294967295/1", &TExif::ExposureTime},
      {0x829D, 28, 10, "2.8", &TExif::FNumber},
      {0x829D, 4, 1, "4.0", &TExif::FNumber},
      {0x829D, 63, 10, "6.3", &TExif::FNumber},
      {0x829D, 469, 200, "2.35", &TExif::FNumber},
      {0x829D, 9, 4, "2.25", &TExif::FNumber},
      {0x829D, 1, 3, "0.33", &TExif::FNumber},
      {0x829D, 0, 1, "0.0", &TExif::FNumber},
      {0x829D, 28, 0, "", &TExif::FNumber},
      {0x920A, 1840, 100, "18.4", &TExif::FocalLength},
      {0x9202, 4294967295u, 1, "4294967295.0", &TExif::Aperture},
      {0x9205, 3, 1, "3.0", &TExif::MaxAperture},
      {0x9102, 5, 2, "2.5", &TExif::CompressedBitsPerPixel},
      {0x9201, 6906891, 1000000, "1/120 seconds", &TExif::ShutterSpeed},
      {0x9201, 5, 1, "1/32 seconds", &TExif::ShutterSpeed},
      {0x9201, 0, 1, "1/1 seconds", &TExif::ShutterSpeed},
      {0x9201, 1, 0, "1/1 seconds", &TExif::ShutterSpeed},
      {0x9201, 65535, 1, "1 seconds", &TExif::ShutterSpeed},
      {0x9201, 4294967295u, 1, "1 seconds", &TExif::ShutterSpeed},
      {0x9201, 80, 1, "", &TExif::ShutterSpeed},
  };
  for (bool motorola : {false, true}) {
    for (const Case& c : cases) {
      const TExif exif =
          ReadSpec(WithExifTag(RationalTag(c.tag, c.numerator, c.denominator), motorola));
      EXPECT_EQ(exif.*c.field, c.expected) << c.numerator << "/" << c.denominator;
    }
  }
}

TEST(ExifReader, NameLookups) {
  struct Case {
    std::uint16_t tag;
    std::uint16_t value;
    std::uint8_t TExif::*number;
    std::string TExif::*text;
    std::uint8_t expected_number;
    std::string expected_text;
  };
  const std::vector<Case> cases = {
      {0x0112, 0, &TExif::Orientation, &TExif::OrientationText, 0, "Unknown"},
      {0x0112, 1, &TExif::Orientation, &TExif::OrientationText, 1, "Normal"},
      {0x0112, 4, &TExif::Orientation, &TExif::OrientationText, 4, "Rotated 180, mirrored"},
      {0x0112, 8, &TExif::Orientation, &TExif::OrientationText, 8, "Rotated 90 left"},
      {0x0112, 9, &TExif::Orientation, &TExif::OrientationText, 9, "Unknown"},
      {0x0112, 0x0103, &TExif::Orientation, &TExif::OrientationText, 3, "Rotated 180"},
      {0x8822, 0, &TExif::ExposureProgram, &TExif::ExposureProgramText, 0, "Unknown"},
      {0x8822, 1, &TExif::ExposureProgram, &TExif::ExposureProgramText, 1, "Manual Control"},
      {0x8822, 8, &TExif::ExposureProgram, &TExif::ExposureProgramText, 8, "Landscape Mode"},
      {0x8822, 9, &TExif::ExposureProgram, &TExif::ExposureProgramText, 9, "Unknown"},
      {0x8822, 0x0101, &TExif::ExposureProgram, &TExif::ExposureProgramText, 1, "Unknown"},
      {0x9207, 2, &TExif::MeteringMode, &TExif::MeteringModeText, 2, "Center Weighted Average"},
      {0x9207, 6, &TExif::MeteringMode, &TExif::MeteringModeText, 6, "Partial"},
      {0x9207, 7, &TExif::MeteringMode, &TExif::MeteringModeText, 7, "Other"},
      {0x9207, 255, &TExif::MeteringMode, &TExif::MeteringModeText, 255, "Unknown"},
      {0x9208, 0, &TExif::LightSource, &TExif::LightSourceText, 0, "Unknown"},
      {0x9208, 2, &TExif::LightSource, &TExif::LightSourceText, 2, "Flourescent"},
      {0x9208, 4, &TExif::LightSource, &TExif::LightSourceText, 4, "Unknown"},
      {0x9208, 19, &TExif::LightSource, &TExif::LightSourceText, 19, "Standard Light C"},
      {0x9208, 22, &TExif::LightSource, &TExif::LightSourceText, 22, "D75"},
      {0x9208, 255, &TExif::LightSource, &TExif::LightSourceText, 255, "Other"},
      {0x9209, 0, &TExif::Flash, &TExif::FlashText, 0, "No Flash"},
      {0x9209, 5, &TExif::Flash, &TExif::FlashText, 5, "Flash No Strobe"},
      {0x9209, 7, &TExif::Flash, &TExif::FlashText, 7, "Flash Strobe"},
      {0x9209, 16, &TExif::Flash, &TExif::FlashText, 16, "No Flash"},
      {0x9209, 25, &TExif::Flash, &TExif::FlashText, 25, "Flash (Auto)"},
  };
  for (bool motorola : {false, true}) {
    for (const Case& c : cases) {
      ExifSpec spec = DatedSpec(motorola);
      (c.tag == 0x0112 ? spec.ifd0 : spec.exif).push_back(ShortTag(c.tag, c.value));
      const TExif exif = ReadSpec(spec);
      EXPECT_EQ(exif.*c.number, c.expected_number) << c.tag << " " << c.value;
      EXPECT_EQ(exif.*c.text, c.expected_text) << c.tag << " " << c.value;
    }
  }
}

TEST(ExifReader, NumbersKeepTheirWidthInBothOrders) {
  for (bool motorola : {false, true}) {
    ExifSpec spec = DatedSpec(motorola);
    spec.ifd0 = {ByteTag(0x0112, 6)};
    spec.exif = {ShortTag(0xA002, 640), LongTag(0xA003, 640), ByteTag(0x9209, 7),
                 LongTag(0x8827, 0x00010190)};
    const TExif exif = ReadSpec(spec);
    EXPECT_EQ(exif.ExifImageWidth, 640u);
    EXPECT_EQ(exif.ExifImageHeight, 640u);
    EXPECT_EQ(exif.Orientation, 6);
    EXPECT_EQ(exif.FlashText, "Flash Strobe");
    EXPECT_EQ(exif.ISO, 400);
  }
}

TEST(ExifReader, AsciiValues) {
  for (bool motorola : {false, true}) {
    ExifSpec spec = DatedSpec(motorola);
    ExifTag no_count = AsciiTag(0x0131, "Software 1");
    no_count.count = 0;
    ExifTag huge_count = AsciiTag(0x013B, "Artist");
    huge_count.count = 0xFFFFFFFFu;
    ExifTag past_end = AsciiTag(0x8298, "Copyright");
    past_end.value_field = 0xFFFFFFF0u;
    spec.ifd0 = {
        AsciiTag(0x010F, "GE"),  // short enough to stand in the entry
        AsciiTag(0x0110, "Model\t \r"), AsciiTag(0x010E, ""), no_count, huge_count, past_end};
    spec.exif = {UndefinedTag(0x9286, std::string("ASCII\0\0\0Hello there", 19)),
                 AsciiTag(0x9004, "Digitized with more text")};
    const TExif exif = ReadSpec(spec);
    EXPECT_EQ(exif.Make, "GE");
    EXPECT_EQ(exif.Model, "Model");
    EXPECT_EQ(exif.ImageDescription, "");
    EXPECT_EQ(exif.Software, "");
    EXPECT_EQ(exif.Artist, "Artist");
    EXPECT_EQ(exif.Copyright, "");
    EXPECT_EQ(exif.UserComment, "ASCII");
    EXPECT_EQ(exif.DateTimeDigitized, "Digitized with more text");
  }
}

TEST(ExifReader, DateStorageForms) {
  struct Case {
    const char* name;
    ExifTag date;
  };
  ExifTag without_nul{0x9003, kExifAscii, kDate, {}, {}, {}};  // counted as 19
  ExifTag long_count = AsciiTag(0x9003, kDate);
  long_count.count = 40;
  const std::vector<Case> cases = {
      {"without its NUL", without_nul},
      {"counted longer than it is", long_count},
      {"with trailing NULs", AsciiTag(0x9003, std::string(kDate) + std::string(11, '\0'))},
      {"with trailing blanks", AsciiTag(0x9003, std::string(kDate) + "   ")},
  };
  for (bool motorola : {false, true}) {
    for (const Case& c : cases) {
      ExifSpec spec = DatedSpec(motorola);
      spec.date_time_original.clear();
      spec.exif = {c.date};
      EXPECT_EQ(ReadSpec(spec).DateTimeOriginal, kDate) << c.name;
    }
  }
}

TEST(ExifReader, ValuesOutsideTheSegmentAreNotRead) {
  ExifSpec spec = DatedSpec();
  ExifTag make = AsciiTag(0x010F, "Outside");
  make.value_field = 0;  // fixed below, once the segment's size is known
  ExifTag resolution = RationalTag(0x011A, 72, 1);
  resolution.value_field = 0;
  spec.ifd0 = {make, resolution};
  const std::size_t tiff_size = MakeExifTiff(spec).size();
  spec.ifd0[0].value_field = static_cast<std::uint32_t>(tiff_size + 4);  // inside the next segment
  spec.ifd0[1].value_field = static_cast<std::uint32_t>(tiff_size - 2);  // two bytes left
  const TExif exif =
      ReadBytes(MakeJpegFile({.exif = spec, .after_exif = {MakeSegment(0xFE, "Outside")}}));
  EXPECT_EQ(exif.DateTimeOriginal, kDate);
  EXPECT_EQ(exif.Make, "");
  EXPECT_EQ(exif.XResolution, 0u);
}

TEST(ExifReader, LaterEntryOfATagWins) {
  ExifSpec spec = DatedSpec();
  spec.exif = {ShortTag(0x8827, 100), ShortTag(0x8827, 200)};
  EXPECT_EQ(ReadSpec(spec).ISO, 200);
}

TEST(ExifReader, BrokenStructureRaisesAndKeepsWhatWasRead) {
  ExifSpec spec = DatedSpec();
  spec.ifd0 = {AsciiTag(0x010F, "Maker")};
  std::string file = MakeJpegFile({.exif = spec});
  const std::size_t exif_pointer = file.find(std::string("\x69\x87\x04\x00", 4));
  ASSERT_NE(exif_pointer, std::string::npos);
  file.replace(exif_pointer + 8, 4, "\xF0\xFF\xFF\xFF");

  TempDir dir;
  WriteFile(dir / "broken.jpg", file);
  TExif exif;
  try {
    exif.ReadFromFile((dir / "broken.jpg").string());
    FAIL() << "no error";
  } catch (const platform::InOutError& error) {
    EXPECT_EQ(error.code(), platform::InOutError::kReadBeyondEnd);
    EXPECT_STREQ(error.what(), "Read beyond end of file");
  }
  EXPECT_TRUE(exif.HasExif);
  EXPECT_EQ(exif.Make, "Maker");

  // An identifier with nothing after it.
  EXPECT_THROW(
      ReadBytes(MakeJpegFile({.before_exif = {MakeSegment(0xE1, std::string("Exif\0\0", 6))}})),
      platform::InOutError);
}

TEST(ExifReader, EveryCutOfAFileReadsOrRaisesReadBeyondEnd) {
  ExifSpec spec = DatedSpec(true);
  spec.ifd0 = {AsciiTag(0x010F, "Maker"), ShortTag(0x0112, 1)};
  spec.exif = {RationalTag(0x829A, 1, 60), ShortTag(0x8827, 800), RationalTag(0x9201, 6, 1)};
  const std::string file = MakeJpegFile({.app0_length = 16, .exif = spec});
  const std::size_t exif_end = 2 + 18 + MakeExifApp1Segment(spec).size();
  const int descriptors = OpenDescriptorCount();
  TempDir dir;
  for (std::size_t cut = 0; cut <= file.size(); ++cut) {
    WriteFile(dir / "cut.jpg", file.substr(0, cut));
    TExif exif;
    try {
      exif.ReadFromFile((dir / "cut.jpg").string());
      if (cut >= exif_end) {
        EXPECT_EQ(exif.DateTimeOriginal, kDate) << cut;
        EXPECT_EQ(exif.ShutterSpeed, "1/64 seconds") << cut;
      }
    } catch (const platform::InOutError& error) {
      EXPECT_EQ(error.code(), platform::InOutError::kReadBeyondEnd) << cut;
      EXPECT_LT(cut, exif_end);
    }
  }
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

TEST(ExifReader, ReadsNoFurtherThanTheExifSegment) {
  const std::string file =
      MakeJpegFile(
          {.app0_length = 16, .exif = DatedSpec(), .after_exif = {MakeIccSegment(60000)}}) +
      std::string(1 << 20, '\x55');
  TempDir dir;
  WriteFile(dir / "large.jpg", file);
  const long long before = BytesReadSoFar();
  TExif exif;
  exif.ReadFromFile((dir / "large.jpg").string());
  const long long read = BytesReadSoFar() - before;
  EXPECT_EQ(exif.DateTimeOriginal, kDate);
  EXPECT_LE(read, 8192);
}

}  // namespace vantrel
