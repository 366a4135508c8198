#include "support/generator_run.h"

#include "shared/sysconfig.h"
#include "support/jpeg_maker.h"
#include "support/settings_file.h"

namespace testing_support {

GeneratorRun::GeneratorRun() : generator_(InstallGenerator(app_.path())) {}

void GeneratorRun::WriteSettings(const std::map<std::string, std::string>& overrides) {
  auto settings = DefaultSettings();
  settings[std::string(shared::SysConfig::OutputPath)] = out();
  for (const auto& [key, value] : overrides) settings[key] = value;
  WriteSettingsFile(app(), settings);
}

void GeneratorRun::WriteList(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  WriteFile(app() / "filelist", text);
}

std::string GeneratorRun::MakePicture(const std::string& name, const platform::Bitmap& pixels,
                                      const std::optional<ExifSpec>& exif) {
  std::string bytes = EncodeJpegBytes(pixels, 90);
  if (exif) bytes = InsertSegmentAfterSoi(std::move(bytes), MakeExifApp1Segment(*exif));
  const auto path = pictures() / name;
  WriteFile(path, bytes);
  return path.string();
}

std::string GeneratorRun::MakePicture(const std::string& name, int width, int height,
                                      const std::optional<ExifSpec>& exif) {
  return MakePicture(name, MakeTestPattern(width, height), exif);
}

ProgramResult GeneratorRun::RunGenerator(int timeout_seconds) {
  return RunProgram(generator_, app(), timeout_seconds);
}

platform::Bitmap FlatPicture(int width, int height, platform::ColorRef colour) {
  platform::Bitmap picture(width, height);
  for (std::size_t i = 0; i < picture.pixels.size(); i += 3) {
    picture.pixels[i] = platform::RedOf(colour);
    picture.pixels[i + 1] = platform::GreenOf(colour);
    picture.pixels[i + 2] = platform::BlueOf(colour);
  }
  return picture;
}

}  // namespace testing_support
