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

platform::CopyDataSend StartSending(platform::WindowHandle front_end,
                                    platform::WindowHandle own_window, const std::string& report) {
  // The receiver reads a zero-terminated text, and the zero is counted.
  const std::string_view with_terminator(report.c_str(), report.size() + 1);
  return platform::CopyDataSend(front_end, own_window, 0,
                                std::as_bytes(std::span(with_terminator)));
}

}  // namespace

void SendProgressReport(platform::WindowHandle own_window, const std::string& report) {
  ProgressReporter reporter;
  reporter.Send(own_window, report);
  reporter.Finish();
}

ProgressReporter::~ProgressReporter() {
  Finish();
}

void ProgressReporter::Send(platform::WindowHandle own_window, const std::string& report) {
  own_window_ = own_window;
  Finish();
  try {
    in_flight_ = Start(report);
  } catch (...) {
    // A lost report must never stop the picture from being made.
  }
}

void ProgressReporter::Finish() {
  try {
    Land();
  } catch (...) {
    // As for Send.
  }
}

std::optional<ProgressReporter::InFlight> ProgressReporter::Start(const std::string& report) {
  if (ours_) {
    try {
      return InFlight{report, *ours_, StartSending(*ours_, own_window_, report)};
    } catch (const platform::WindowError&) {
      ours_.reset();  // closed since: the report goes where a fresh look finds
    }
  }
  const auto front_end = FindFrontEndWindow();
  if (!front_end) return std::nullopt;
  InFlight sent{report, front_end->handle, StartSending(front_end->handle, own_window_, report)};
  if (front_end->ours) ours_ = front_end->handle;
  return sent;
}

void ProgressReporter::Land() {
  if (!in_flight_) return;
  InFlight sent = std::move(*in_flight_);
  in_flight_.reset();
  try {
    sent.send.Wait();
    return;
  } catch (const platform::WindowError&) {
    if (ours_ != sent.target) throw;  // lost, as with any window but ours
    ours_.reset();
  }
  // Our window went before taking it.
  std::optional<InFlight> again = Start(sent.report);
  if (again) again->send.Wait();
}

}  // namespace vantrel
