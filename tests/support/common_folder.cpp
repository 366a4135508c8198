#include "support/common_folder.h"

#include <cstdio>
#include <stdexcept>

#include "shared/sysconfig.h"
#include "support/exif_builder.h"
#include "support/jpeg_maker.h"
#include "support/settings_file.h"

namespace testing_support {
namespace {

void CopyFromBuild(const std::filesystem::path& name, const std::filesystem::path& folder) {
  const auto source = std::filesystem::path(QUORVEL_APP_DIR) / name;
  if (!std::filesystem::exists(source)) {
    throw std::runtime_error(source.string() + " is not built");
  }
  std::filesystem::copy(
      source, folder / name,
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

std::string DatedPicture(int index) {
  ExifSpec exif;
  exif.date_time_original = CommonFolder::ShotDate(index);
  return InsertSegmentAfterSoi(EncodeJpegBytes(MakeTestPattern(64 + index % 7, 48), 90),
                               MakeExifApp1Segment(exif));
}

}  // namespace

CommonFolder::CommonFolder(int picture_count) {
  for (const char* name : {"vantrel", "Quorvel", "package"}) CopyFromBuild(name, app());
  std::filesystem::create_directory(app() / "output");
  for (int index = 0; index < picture_count; ++index) {
    char name[32];
    std::snprintf(name, sizeof name, "picture%03d.jpg", index + 1);
    const auto path = pictures_folder() / name;
    WriteFile(path, DatedPicture(index));
    pictures_made_.push_back(path.string());
  }
}

std::string CommonFolder::ShotDate(int index) {
  char date[32];
  std::snprintf(date, sizeof date, "2022:%02d:%02d %02d:%02d:%02d", index % 12 + 1, index % 28 + 1,
                index % 24, index % 60, (index * 7) % 60);
  return date;
}

void CommonFolder::WriteSettings(const std::map<std::string, std::string>& overrides) const {
  auto settings = DefaultSettings();
  settings[std::string(shared::SysConfig::OutputPath)] = output();
  for (const auto& [key, value] : overrides) settings[key] = value;
  WriteSettingsFile(app(), settings);
}

}  // namespace testing_support
