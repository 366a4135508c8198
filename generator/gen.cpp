#include "generator/gen.h"

#include <clocale>
#include <exception>
#include <iostream>

#include "generator/Exif.h"
#include "generator/app_dir.h"
#include "generator/front_end_window.h"
#include "generator/jpeg_picture.h"
#include "generator/output_naming.h"
#include "generator/picture_list.h"
#include "generator/report.h"
#include "generator/stamp_geometry.h"
#include "platform/text.h"
#include "shared/helpers.h"
#include "shared/names.h"
#include "shared/sysconfig.h"

namespace vantrel {

namespace {

// Our own window carries the rendezvous class too, so its caption must never
// be the front-end's.
constexpr const char* kGeneratorCaption = "vantrel stamp worker";
constexpr int kJpegQuality = 100;

// The picture's path as a message can hold it: a zero byte would end the
// message there.
std::string PrintablePath(std::string path) {
  for (std::size_t at = path.find('\0'); at != std::string::npos; at = path.find('\0', at)) {
    path.replace(at, 1, "\\0");
  }
  return path;
}

// An error that ended the run while a picture was handled, naming the picture.
class PictureError : public platform::Error {
 public:
  PictureError(const std::string& picture, const std::string& what)
      : platform::Error(PrintablePath(picture) + ": " + what) {}
};

// A failure to read the picture being handled; its message names the picture
// already, so the report keeps only the reason.
class SourcePictureError : public JpegError {
 public:
  explicit SourcePictureError(const JpegError& error) : JpegError(error) {}
};

platform::Bitmap DecodeSourcePicture(const std::string& path, std::uint32_t orientation) {
  try {
    return DecodeJpegFile(path, UprightTurn::ForOrientation(orientation));
  } catch (const JpegError& error) {
    throw SourcePictureError(error);
  }
}

// Empties the per-picture time text however the picture's step ends.
class TimeTextReset {
 public:
  explicit TimeTextReset(DateTextBuilder& builder) : builder_(builder) {}
  ~TimeTextReset() { builder_.ClearTimeText(); }
  TimeTextReset(const TimeTextReset&) = delete;
  TimeTextReset& operator=(const TimeTextReset&) = delete;

 private:
  DateTextBuilder& builder_;
};

DateTextChoices DateChoicesOf(const GeneratorSettings& settings) {
  return {settings.YearDisplay, settings.MonthDisplay, settings.DayDisplay,
          settings.Separated,   settings.TimeStyle,    settings.DateFormat};
}

}  // namespace

TForm1::TForm1(std::string app_dir)
    : app_dir_(std::move(app_dir)),
      front_end_running_([this] { return front_end_.Runs(app_dir_); }),
      picture_step_([](TForm1& form) { form.gen(); }) {}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
  if (app_dir_.empty()) app_dir_ = ProgramFolder();
  try {
    window_.emplace(std::string(shared::MainWindowClass), kGeneratorCaption);
  } catch (const std::exception&) {
    // Without a window record the reports cannot name their sender; they are
    // sent all the same, so the run goes on.
  }
}

void TForm1::FormActivate() {
  ini_path_ = app_dir_ + std::string(shared::SysConfig::FileName);
  load_ini();
  // The fonts are needed only after the first picture is decoded; their
  // configuration loads meanwhile.
  text_engine_.emplace();
  date_text_ = std::make_unique<DateTextBuilder>(DateChoicesOf(settings_), LocaleTimeSeparator());

  // The run ends with the list, whether it was read to its end or an error
  // left it.
  struct RequestTermination {
    bool& flag;
    ~RequestTermination() { flag = true; }
  } request_termination{termination_requested_};

  PictureListReader list(app_dir_ + "filelist");
  do {
    current_picture_ = list.ReadLine();
    if (!front_end_running_()) {
      termination_requested_ = true;
      continue;
    }
    if (!shared::Trim(current_picture_).empty()) start_create_output_files();
  } while (!list.AtEnd());
}

void TForm1::DispatchPendingMessages() {
  if (window_) window_->DispatchPending();
}

void TForm1::load_ini() {
  settings_ = ReadGeneratorSettings(ini_path_);
}

void TForm1::start_create_output_files() {
  try {
    // The file system would end the path at the zero byte: the picture read
    // and the output written would not be the files the report names.
    if (current_picture_.find('\0') != std::string::npos) {
      throw platform::InOutError::FileNotFound();
    }
    output_name_ = ChooseOutputName(current_picture_, settings_.OutputPath);
    picture_step_(*this);
  } catch (const SourcePictureError& error) {
    throw PictureError(current_picture_, error.reason());
  } catch (const NoFreeOutputNameError&) {
    throw PictureError(current_picture_, "No free output file name in " + settings_.OutputPath);
  } catch (const std::exception& error) {
    throw PictureError(current_picture_, error.what());
  }
}

void TForm1::ReadExif() {
  TExif exif;
  exif.ReadFromFile(current_picture_);
  if (!exif.HasExif) {
    picture_facts_ = {};
    return;
  }
  picture_facts_ = {exif.Make,
                    exif.Model,
                    exif.FocalLength,
                    exif.FNumber,
                    exif.ExposureTime,
                    std::to_string(exif.ISO),
                    exif.DateTimeOriginal,
                    exif.OrientationValue};
}

// The user's own text needs no date: an EXIF block too damaged to read leaves
// such a picture as it is stored rather than ending the run.
void TForm1::ReadOrientationOnly() {
  TExif exif;
  try {
    exif.ReadFromFile(current_picture_);
  } catch (const platform::InOutError&) {
    exif.OrientationValue = 0;
  }
  picture_facts_ = {};
  picture_facts_.Orientation = exif.OrientationValue;
}

void TForm1::ChooseOverlayText() {
  if (!settings_.MyTXT.empty()) {
    overlay_text_ = settings_.MyTXT;
    ReadOrientationOnly();
    return;
  }
  ReadExif();
  overlay_text_ = shared::Trim(picture_facts_.DateTimeOriginal);
  // A date that names no real day and time cannot be written; the picture is
  // reported as one without a date rather than announcing an output that
  // would never come.
  if (!overlay_text_.empty() && !IsConvertibleDate(overlay_text_)) overlay_text_.clear();
}

void TForm1::create_process_file() {
  const platform::WindowHandle own = window_ ? window_->handle() : platform::WindowHandle{};
  reporter_.Send(
      own, BuildProgressReport(current_picture_, has_text_, settings_.OutputPath + output_name_));
}

void TForm1::gen() {
  TimeTextReset reset_time_text(*date_text_);
  ChooseOverlayText();
  has_text_ = overlay_text_.empty() ? shared::SysConfig::No : shared::SysConfig::Yes;
  create_process_file();

  platform::Bitmap picture = DecodeSourcePicture(current_picture_, picture_facts_.Orientation);
  if (overlay_text_.empty()) return;
  DrawAndSave(picture);
}

void TForm1::DrawAndSave(platform::Bitmap& picture) {
  if (settings_.MyTXT.empty()) overlay_text_ = date_text_->BuildDate(overlay_text_);
  const int font_size = StampFontSizeFor(picture.width, settings_.StampSize);
  overlay_text_ = JoinTime(overlay_text_, date_text_->TimeText());

  const TextStyle style = TextStyleOf(settings_);
  const platform::Font font({settings_.font_select_name, shared::CharHeightForPoints(font_size),
                             style.bold, style.italic, style.underline, style.strikeout});
  const platform::TextExtent extent = font.Measure(overlay_text_);
  const bool shadow = settings_.DropShadow == shared::SysConfig::Yes;
  const shared::StampPlacement place =
      PlaceStamp(picture.width, picture.height, extent.width, extent.height,
                 settings_.border_margin, shadow, settings_.TxtPosition);

  shared::DrawStamp(picture, font, overlay_text_, place,
                    {settings_.text_color, settings_.shadow_color});
  SaveJpegFile(picture, settings_.OutputPath + output_name_, kJpegQuality);
}

namespace {

// The window becomes active as soon as the loop shows it; the batch runs then,
// and its termination request ends the loop.
void RunMessageLoop(TForm1& form) {
  bool activated = false;
  while (!form.termination_requested()) {
    form.DispatchPendingMessages();
    if (!activated) {
      activated = true;
      form.FormActivate();
    }
  }
  form.DispatchPendingMessages();
}

}  // namespace

int generator_main() {
  // Only the time separator follows the user's locale.
  std::setlocale(LC_TIME, "");
  try {
    TForm1 form;
    form.FormCreate();
    RunMessageLoop(form);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vantrel: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace vantrel
