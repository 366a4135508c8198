#include "generator/report.h"

#include "generator/front_end_window.h"
#include "shared/sysconfig.h"

namespace vantrel {

std::string BuildProgressReport(const std::string& current_picture, const std::string& has_text,
                                const std::string& output_file) {
  if (has_text == shared::SysConfig::Yes) return current_picture + "|" + output_file;
  return current_picture + "|NoExifData";
}

namespace {

void SendTo(platform::WindowHandle front_end, platform::WindowHandle own_window,
            const std::string& report) {
  // The receiver reads a zero-terminated text, and the zero is counted.
  const std::string_view with_terminator(report.c_str(), report.size() + 1);
  platform::SendCopyData(front_end, own_window, 0, with_terminator);
}

}  // namespace

void SendProgressReport(platform::WindowHandle own_window, const std::string& report) {
  ProgressReporter().Send(own_window, report);
}

void ProgressReporter::Send(platform::WindowHandle own_window, const std::string& report) {
  try {
    if (ours_) {
      try {
        SendTo(*ours_, own_window, report);
        return;
      } catch (const platform::WindowError&) {
        ours_.reset();  // closed since: the report goes where a fresh look finds
      }
    }
    const auto front_end = FindFrontEndWindow();
    if (!front_end) return;
    SendTo(front_end->handle, own_window, report);
    if (front_end->ours) ours_ = front_end->handle;
  } catch (...) {
    // A lost report must never stop the picture from being made.
  }
}

}  // namespace vantrel
