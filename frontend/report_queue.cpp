#include "frontend/report_queue.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <optional>
#include <unordered_map>

#include "frontend/listed_pictures.h"
#include "frontend/memo_text.h"
#include "frontend/row_ranks.h"
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

// The queue during one pass: a settled line and its equals leave at once, as
// the pass must see them gone, yet the queue is rebuilt only once, at its end.
class QueuePass {
 public:
  explicit QueuePass(std::vector<std::string>& lines) : lines_(lines), rows_(lines.size()) {
    for (std::size_t row = 0; row < lines.size(); ++row) rows_of_line_[lines[row]].push_back(row);
  }

  std::optional<std::size_t> RowAt(std::size_t position) const { return rows_.RowAt(position); }

  void TakeLinesEqualTo(const std::string& line) {
    const auto found = rows_of_line_.find(line);
    if (found == rows_of_line_.end()) return;
    for (const std::size_t row : found->second) rows_.Take(row);
    rows_of_line_.erase(found);
  }

  std::vector<std::string> Left() && {
    std::vector<std::string> left;
    for (auto& [line, rows] : rows_of_line_) {
      for (const std::size_t row : rows) kept_rows_.push_back(row);
    }
    std::sort(kept_rows_.begin(), kept_rows_.end());
    for (const std::size_t row : kept_rows_) left.push_back(std::move(lines_[row]));
    return left;
  }

 private:
  std::vector<std::string>& lines_;
  RowRanks rows_;
  std::unordered_map<std::string, std::vector<std::size_t>> rows_of_line_;
  std::vector<std::size_t> kept_rows_;
};

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

std::vector<StatusLine> ReportQueue::Settle(ListedPictures& listed,
                                            const OutputFileTest& output_exists) {
  std::vector<StatusLine> statuses;
  if (lines_.empty()) return statuses;
  DropLongerThan(listed.LongestLine() + 1 + PATH_MAX);
  QueuePass pass(lines_);
  for (std::size_t position = 0; position < lines_.size(); ++position) {
    const std::optional<std::size_t> row = pass.RowAt(position);
    if (!row) break;
    const std::string& line = lines_[*row];
    const std::optional<Report> report = ParseReport(line, listed);
    if (report && !IsSettled(*report, output_exists)) continue;
    pass.TakeLinesEqualTo(line);
    if (!report) continue;
    statuses.push_back(StatusFor(*report));
    listed.Erase(shared::Trim(report->source));
  }
  lines_ = std::move(pass).Left();
  return statuses;
}

std::vector<StatusLine> ReportQueue::Settle(std::string& list_text,
                                            const OutputFileTest& output_exists) {
  ListedPictures listed(list_text);
  std::vector<StatusLine> statuses = Settle(listed, output_exists);
  if (!statuses.empty()) list_text = listed.Text();
  return statuses;
}

void ReportQueue::DropLongerThan(std::size_t length) {
  std::erase_if(lines_, [length](const std::string& queued) { return queued.size() > length; });
}

}  // namespace quorvel
