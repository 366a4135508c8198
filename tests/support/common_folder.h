#pragma once
// A throw-away installation of both programs for end-to-end runs: a common
// folder with copies of the built generator, front-end and package folder, an
// empty output folder, and real dated JPEG pictures in a folder of their own.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace testing_support {

class CommonFolder {
 public:
  // `picture_count` small pictures, each with its own EXIF shot date.
  explicit CommonFolder(int picture_count);

  const std::filesystem::path& app() const { return app_.path(); }
  std::filesystem::path generator() const { return app() / "vantrel"; }
  std::filesystem::path frontend() const { return app() / "Quorvel"; }
  // The output folder as the settings hold it: with its trailing "/".
  std::string output() const { return (app() / "output").string() + "/"; }
  const std::filesystem::path& pictures_folder() const { return pictures_.path(); }
  const std::vector<std::string>& pictures() const { return pictures_made_; }
  // The EXIF date of pictures()[index], as the picture holds it.
  static std::string ShotDate(int index);

  // "sysconfig.ini" as a first save writes it, with the output folder above.
  void WriteSettings(const std::map<std::string, std::string>& overrides = {}) const;

 private:
  TempDir app_;
  TempDir pictures_;
  std::vector<std::string> pictures_made_;
};

}  // namespace testing_support
