#include "frontend/report_queue.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unordered_set>

#include "frontend/memo_text.h"
#include "shared/helpers.h"

namespace quorvel {
namespace {

struct Report {
  std::string source;
  std::string result;
};

// The list's lines as reports are matched against them: trimmed, since a path
// with blanks at an end sits untrimmed in the middle of a text but trimmed at
// its start or end.
using ListedPictures = std::unordered_set<std::string>;

ListedPictures ListedIn(std::string_view list_text) {
  ListedPictures listed;
  for (const auto& line : SplitLines(list_text)) listed.insert(shared::Trim(line));
  return listed;
}

// Cut at the last "|" whose left part is a listed picture, else at the first;
// nothing for a line without "|".
std::optional<Report> ParseReport(std::string_view line, const ListedPictures& listed) {
  const auto first_bar = line.find('|');
  if (first_bar == std::string_view::npos) return std::nullopt;
  auto bar = line.rfind('|');
  while (bar != first_bar && !listed.contains(shared::Trim(line.substr(0, bar)))) {
    bar = line.rfind('|', bar - 1);
  }
  return Report{std::string(line.substr(0, bar)), std::string(line.substr(bar + 1))};
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

std::string WithoutLinesEqualTo(std::string_view text, const std::string& trimmed_wanted) {
  return WithoutLines(text,
                      [&](std::string_view line) { return shared::Trim(line) == trimmed_wanted; });
}

}  // namespace

bool OutputFileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// Lines are kept trimmed, as they are compared, and blank ones not at all.
void ReportQueue::Append(std::string_view payload) {
  for (const auto& line : SplitLines(payload)) {
    std::string trimmed = shared::Trim(line);
    if (!trimmed.empty()) lines_.push_back(std::move(trimmed));
  }
}

std::string ReportQueue::Text() const {
  return JoinLines(lines_);
}

std::vector<StatusLine> ReportQueue::Settle(std::string& list_text,
                                            const OutputFileTest& output_exists) {
  std::vector<StatusLine> statuses;
  if (lines_.empty()) return statuses;
  ListedPictures listed = ListedIn(list_text);
  const std::size_t positions = lines_.size();
  for (std::size_t position = 0; position < positions && position < lines_.size(); ++position) {
    const std::string line = lines_[position];
    const std::optional<Report> report = ParseReport(line, listed);
    if (report && !IsSettled(*report, output_exists)) continue;
    RemoveLinesEqualTo(line);
    if (!report) continue;
    statuses.push_back(StatusFor(*report));
    const std::string source = shared::Trim(report->source);
    list_text = WithoutLinesEqualTo(list_text, source);
    listed.erase(source);
  }
  return statuses;
}

void ReportQueue::RemoveLinesEqualTo(const std::string& line) {
  std::erase_if(lines_, [&](const std::string& queued) { return queued == line; });
}

}  // namespace quorvel
