#pragma once
// The picture report the generator sends to the front-end's main window for
// every picture it takes on.

#include <optional>
#include <string>

#include "platform/window.h"

namespace vantrel {

// Text of one picture's report: "<source>|<output file>" when has_text is exactly
// "yes", else "<source>|NoExifData" (nothing will be written for that picture).
std::string BuildProgressReport(const std::string& current_picture, const std::string& has_text,
                                const std::string& output_file);

// Finds the front-end's main window (FindFrontEndWindow) and hands it the
// report as copy-data: dwData 0, the text followed by one zero byte. Waits
// until the front-end has taken it. Without a front-end, or on any failure,
// the report is lost and nothing is raised.
void SendProgressReport(platform::WindowHandle own_window, const std::string& report);

// Sends the reports of one run as SendProgressReport does, with two savings
// for long lists of small pictures:
// - the window of our own folder, once found, is kept for the reports that
//   follow while it takes them: finding it lists the registry and asks /proc
//   about each owner. A window taken only for want of ours is looked for anew
//   at every report, so that ours is taken as soon as it opens.
// - the generator does not wait for each report while the window is busy
//   painting: a report is handed over, and its answer awaited only before the
//   next one goes out (or at Finish), so the window takes the reports in their
//   order, one at a time, while the picture is being made.
// A window that closes before it has taken a report gets that report sent
// where a fresh look finds.
class ProgressReporter {
 public:
  ProgressReporter() = default;
  // The last report is taken before the reporter goes.
  ~ProgressReporter();
  ProgressReporter(const ProgressReporter&) = delete;
  ProgressReporter& operator=(const ProgressReporter&) = delete;

  void Send(platform::WindowHandle own_window, const std::string& report);
  // Returns once the report sent last has been taken, or lost.
  void Finish();

 private:
  struct InFlight {
    std::string report;
    platform::WindowHandle target;
    platform::CopyDataSend send;
  };

  std::optional<InFlight> Start(const std::string& report);
  void Land();

  platform::WindowHandle own_window_{};
  std::optional<platform::WindowHandle> ours_;
  std::optional<InFlight> in_flight_;
};

}  // namespace vantrel
