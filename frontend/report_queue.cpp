#include "frontend/report_queue.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <optional>

#include "frontend/listed_pictures.h"
#include "frontend/memo_text.h"
#include "shared/helpers.h"

namespace quorvel {
namespace {

struct Report {
  std::string source;
  std::string result;
};

std::optional<Report> ParseReport(std::string_view line, const ListedPictures& listed) {
  const std::optional<std::size_t> bar = listed.SourceEnd(line);
  if (!bar) return std::nullopt;
  return Report{std::string(line.substr(0, *bar)), std::string(line.substr(*bar + 1))};
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

void ReportQueue::DropOldestBeyond(const QueueLimit& limit) {
  std::size_t kept = 0;
  std::size_t kept_bytes = 0;
  for (auto line = lines_.rbegin(); line != lines_.rend(); ++line, ++kept) {
    if (kept == limit.lines || kept_bytes + line->size() > limit.bytes) break;
    kept_bytes += line->size();
  }
  lines_.erase(lines_.begin(), lines_.end() - static_cast<std::ptrdiff_t>(kept));
}

std::string ReportQueue::Text() const {
  return JoinLines(lines_);
}

std::vector<StatusLine> ReportQueue::Settle(std::string& list_text,
                                            const OutputFileTest& output_exists) {
  std::vector<StatusLine> statuses;
  if (lines_.empty()) return statuses;
  ListedPictures listed(list_text);
  DropLongerThan(listed.LongestLine() + 1 + PATH_MAX);
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
    listed.Erase(source);
  }
  return statuses;
}

void ReportQueue::RemoveLinesEqualTo(const std::string& line) {
  std::erase_if(lines_, [&](const std::string& queued) { return queued == line; });
}

void ReportQueue::DropLongerThan(std::size_t length) {
  std::erase_if(lines_, [length](const std::string& queued) { return queued.size() > length; });
}

}  // namespace quorvel
