#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "generator/Exif.h"
#include "platform/errors.h"

namespace vantrel {

// Pictures from many cameras and programs, listed with the shot date each one holds.
TEST(ExifRealPictures, DatesMatchTheManifest) {
  const std::filesystem::path folder = QUORVEL_TESTDATA_DIR "/exif-real";
  std::ifstream manifest(folder / "MANIFEST.tsv");
  if (!manifest) GTEST_SKIP() << "no real pictures in " << folder;

  std::string line;
  std::getline(manifest, line);  // column names
  int pictures = 0;
  while (std::getline(manifest, line)) {
    std::istringstream columns(line);
    std::string file, date;
    std::getline(columns, file, '\t');
    std::getline(columns, date, '\t');
    if (file.empty()) continue;
    ++pictures;
    TExif exif;
    try {
      exif.ReadFromFile((folder / file).string());
    } catch (const platform::InOutError& error) {
      ADD_FAILURE() << file << ": " << error.what();
      continue;
    }
    EXPECT_EQ(exif.DateTimeOriginal, date) << file;
    if (!date.empty()) {
      EXPECT_TRUE(exif.HasExif) << file;
    }
  }
  EXPECT_GT(pictures, 0);
}

}  // namespace vantrel
