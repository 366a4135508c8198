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

// Sends the reports of one run as SendProgressReport does, but keeps the
// window of our own folder, once found, for the reports that follow while it
// takes them: finding it lists the registry and asks /proc about each owner,
// which on a long list of small pictures costs more than the report itself.
// A window taken only for want of ours is looked for anew at every report, so
// that ours is taken as soon as it opens.
class ProgressReporter {
 public:
  void Send(platform::WindowHandle own_window, const std::string& report);

 private:
  std::optional<platform::WindowHandle> ours_;
};

}  // namespace vantrel
