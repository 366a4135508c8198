#pragma once
// The queue of picture reports the generator sends, and the pass that settles
// them: a report is settled once its output file exists, or when it says the
// picture had nothing to write on it. Each settled picture leaves the picture
// list; the run is over when the list is empty.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// What the generator reports in place of an output path for a picture it
// leaves as it is.
inline constexpr std::string_view kNoExifData = "NoExifData";

// Status line colours, 0x00BBGGRR.
inline constexpr std::uint32_t kStatusColour = 0xFF8000;
inline constexpr std::uint32_t kCannotProcessColour = 0x0000FF;

struct StatusLine {
  std::uint32_t colour = kStatusColour;
  std::string caption;
  bool operator==(const StatusLine&) const = default;
};

// Whether an output file stands at `path`; a folder does not count.
using OutputFileTest = std::function<bool(const std::string& path)>;
bool OutputFileExists(const std::string& path);

// A report is "source|result", and either part may hold "|" itself: its source
// is the longest line of the picture list that the report starts with, followed
// by "|"; a report that starts with no listed picture is cut at its first "|".
// Reports are kept as lines, so a long queue costs nothing per arrival.
class ReportQueue {
 public:
  // Queues each line of `payload` in order of arrival, trimmed; blank lines
  // are left out.
  void Append(std::string_view payload);
  void Clear() { lines_.clear(); }
  // The queued lines joined by CR LF.
  std::string Text() const;

  // One pass. It visits as many positions as the queue had lines when it
  // began, each read from the queue as it is at that moment, so a line that
  // moves up behind a removed one waits for the next pass. A settled report
  // takes every equal line off the queue and its picture off the list. A line
  // without "|" names no picture and is only taken off the queue. Returns the
  // status line of each settled report in order; the last one is what shows.
  std::vector<StatusLine> Settle(std::string& list_text,
                                 const OutputFileTest& output_exists = OutputFileExists);

 private:
  void RemoveLinesEqualTo(const std::string& line);

  std::vector<std::string> lines_;
};

}  // namespace quorvel
