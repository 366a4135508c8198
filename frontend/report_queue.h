#pragma once
// The queue of picture reports the generator sends during a run, and the pass
// that settles them: a report is settled once its output file exists, or when
// it says the picture had nothing to write on it. Each settled picture leaves
// the picture list; the run is over when the list is empty.

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

// The queue text after `payload` arrived: the payload alone for an empty queue,
// else the old text, CR LF and the payload.
std::string AppendReport(std::string_view queue_text, std::string_view payload);

// Whether an output file stands at `path`; a folder does not count.
using OutputFileTest = std::function<bool(const std::string& path)>;
bool OutputFileExists(const std::string& path);

// One pass over the queue. It visits as many positions as the queue had lines
// when it began, each read from the queue as it is at that moment, so a line
// that moves up behind a removed one waits for the next pass. A settled report
// takes every equal line off the queue and its picture off the list. A line
// without "|" names no picture and is only taken off the queue. Returns the
// status line of each settled report in order; the last one is what shows.
std::vector<StatusLine> SettleReports(std::string& queue_text, std::string& list_text,
                                      const OutputFileTest& output_exists = OutputFileExists);

}  // namespace quorvel
