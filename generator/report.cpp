#include "generator/report.h"

#include "generator/front_end_window.h"
#include "shared/sysconfig.h"

namespace vantrel {

std::string BuildProgressReport(const std::string& current_picture, const std::string& has_text,
                                const std::string& output_file) {
  if (has_text == shared::SysConfig::Yes) return current_picture + "|" + output_file;
  return current_picture + "|NoExifData";
}

void SendProgressReport(platform::WindowHandle own_window, const std::string& report) {
  try {
    const auto front_end = FindFrontEndWindow();
    if (!front_end) return;
    // The receiver reads a zero-terminated text, and the zero is counted.
    const std::string_view with_terminator(report.c_str(), report.size() + 1);
    platform::SendCopyData(*front_end, own_window, 0, with_terminator);
  } catch (...) {
    // A lost report must never stop the picture from being made.
  }
}

}  // namespace vantrel
