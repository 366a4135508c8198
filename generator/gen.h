#pragma once
// The generator's window and its batch: read the settings once, walk the
// picture list while the front-end runs, and stamp every listed picture.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "generator/front_end_window.h"
#include "generator/report.h"
#include "generator/settings.h"
#include "generator/stamp_text.h"
#include "platform/bitmap.h"
#include "platform/text.h"
#include "platform/window.h"

namespace vantrel {

// The generator's copy of the EXIF fields of the current picture.
struct PictureFacts {
  std::string Make, Model, FocalLength, FNumber, ExposureTime, ISO, DateTimeOriginal;
  std::uint32_t Orientation = 0;  // the tag's whole value
};

class TForm1 {
 public:
  // Whether the front-end of our common folder runs; asked before each line of
  // the picture list.
  using FrontEndCheck = std::function<bool()>;
  // The per-picture step, called with the output name settled.
  using PictureStep = std::function<void(TForm1&)>;

  // `app_dir` is the common folder with its trailing "/"; empty means the
  // folder of the running program.
  explicit TForm1(std::string app_dir = {});
  ~TForm1();

  void FormCreate();
  // The batch. Returns when the list has been read; errors pass on.
  void FormActivate();
  // Handles whatever other programs sent to our window meanwhile.
  void DispatchPendingMessages();

  bool termination_requested() const { return termination_requested_; }

  // Seams for tests of the batch, which need neither a front-end nor pictures.
  void set_front_end_check(FrontEndCheck check) { front_end_running_ = std::move(check); }
  void set_picture_step(PictureStep step) { picture_step_ = std::move(step); }

  const std::string& CurrentPicture() const { return current_picture_; }
  const std::string& OutputPath() const { return settings_.OutputPath; }
  const std::string& OutputName() const { return output_name_; }

  // The real per-picture step: text, report, drawing and saving.
  void gen();

 private:
  void ReadExif();
  void ReadOrientationOnly();
  void load_ini();
  void start_create_output_files();
  void create_process_file();
  void ChooseOverlayText();
  void DrawAndSave(platform::Bitmap& picture);

  std::string app_dir_;
  std::string ini_path_;
  GeneratorSettings settings_;
  std::unique_ptr<DateTextBuilder> date_text_;
  std::optional<platform::TextEngineWarmUp> text_engine_;
  std::optional<platform::WindowRegistration> window_;
  FrontEndWatch front_end_;
  ProgressReporter reporter_;
  FrontEndCheck front_end_running_;
  PictureStep picture_step_;
  bool termination_requested_ = false;

  std::string current_picture_;
  std::string output_name_;
  PictureFacts picture_facts_;
  std::string overlay_text_;
  std::string has_text_;
};

// Creates the window, runs the batch when it is activated and ends. Returns
// the process exit status: non-zero, with the message on standard error, when
// an error ended the run.
int generator_main();

}  // namespace vantrel
