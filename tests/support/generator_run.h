#pragma once
// A common folder with the real generator in it, a window registry of the
// test's own, and pictures made on the spot.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "support/exif_builder.h"
#include "support/fake_frontend.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace testing_support {

class GeneratorRun : public ::testing::Test {
 protected:
  GeneratorRun();

  // Settings as the front-end's first save writes them, the output folder set
  // to out(); `overrides` replaces keys.
  void WriteSettings(const std::map<std::string, std::string>& overrides = {});
  // "filelist": the lines joined by CR LF, no break after the last.
  void WriteList(const std::vector<std::string>& lines);

  // A JPEG picture in pictures(); with `exif`, an EXIF block right after FF D8.
  std::string MakePicture(const std::string& name, const platform::Bitmap& pixels,
                          const std::optional<ExifSpec>& exif);
  std::string MakePicture(const std::string& name, int width, int height,
                          const std::optional<ExifSpec>& exif);

  ProgramResult RunGenerator(int timeout_seconds = 60);

  const std::filesystem::path& app() const { return app_.path(); }
  const std::filesystem::path& pictures() const { return pictures_.path(); }
  std::string out() const { return out_.slash(); }

 private:
  ScopedRuntimeDir runtime_;
  TempDir app_;
  TempDir pictures_;
  TempDir out_;
  std::filesystem::path generator_;
};

// A picture of one flat colour.
platform::Bitmap FlatPicture(int width, int height, platform::ColorRef colour);

// The smallest box holding every pixel for which `pick` is true; empty when none.
struct Box {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
  bool empty() const { return right < left; }
};
template <typename Pick>
Box BoxWhere(const platform::Bitmap& picture, Pick pick) {
  Box box{picture.width, picture.height, -1, -1};
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* row = picture.row(y);
    for (int x = 0; x < picture.width; ++x) {
      if (!pick(row[3 * x], row[3 * x + 1], row[3 * x + 2])) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

}  // namespace testing_support
