#include "frontend/report_queue.h"

#include <filesystem>

#include "frontend/memo_text.h"
#include "shared/helpers.h"

namespace quorvel {
namespace {

struct Report {
  std::string source;
  std::string result;
};

// Source before the first "|", result after it with any further "|" dropped;
// false for a line without "|".
bool ParseReport(std::string_view line, Report& report) {
  const auto bar = line.find('|');
  if (bar == std::string_view::npos) return false;
  report.source = line.substr(0, bar);
  report.result.clear();
  for (const char c : line.substr(bar + 1)) {
    if (c != '|') report.result += c;
  }
  return true;
}

bool IsSettled(const Report& report, const OutputFileTest& output_exists) {
  return report.result == kNoExifData || output_exists(report.result);
}

StatusLine StatusFor(const Report& report) {
  if (report.result == kNoExifData) {
    return {kCannotProcessColour, "Cannot Process... " + report.source};
  }
  return {kStatusColour, "Processing... " + report.source};
}

// Lines are compared trimmed: a path with blanks at an end sits untrimmed in
// the middle of a text but trimmed at its start or end.
std::string WithoutLinesEqualTo(std::string_view text, std::string_view wanted) {
  const std::string trimmed_wanted = Trim(wanted);
  return WithoutLines(text, [&](std::string_view line) { return Trim(line) == trimmed_wanted; });
}

}  // namespace

std::string AppendReport(std::string_view queue_text, std::string_view payload) {
  if (queue_text.empty()) return std::string(payload);
  return std::string(queue_text) + std::string(kLineBreak) + std::string(payload);
}

bool OutputFileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::vector<StatusLine> SettleReports(std::string& queue_text, std::string& list_text,
                                      const OutputFileTest& output_exists) {
  std::vector<StatusLine> statuses;
  const std::size_t positions = CountLines(queue_text);
  for (std::size_t position = 0; position < positions; ++position) {
    const std::string line = Trim(LineAt(queue_text, position));
    if (line.empty()) continue;
    Report report;
    if (!ParseReport(line, report)) {
      queue_text = WithoutLinesEqualTo(queue_text, line);
      continue;
    }
    if (!IsSettled(report, output_exists)) continue;
    statuses.push_back(StatusFor(report));
    queue_text = WithoutLinesEqualTo(queue_text, line);
    list_text = WithoutLinesEqualTo(list_text, report.source);
  }
  return statuses;
}

}  // namespace quorvel
