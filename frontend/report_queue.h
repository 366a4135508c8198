#pragma once
// The queue of picture reports the generator sends, and the pass that settles
// them: a report is settled once its output file exists, or when it says the
// picture had nothing to write on it. Each settled picture leaves the picture
// list; the run is over when the list is empty.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class ListedPictures;

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

// A bound on the queue's size: its lines, and the bytes of their text.
struct QueueLimit {
  std::size_t lines = 0;
  std::size_t bytes = 0;
};

// Between runs nothing settles reports and the next run drops them; a peer that
// keeps sending them must not make the window grow without end.
inline constexpr QueueLimit kReportsKeptOutsideARun{1000, 1024 * 1024};

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
  // Drops the oldest lines until the queue is within `limit`.
  void DropOldestBeyond(const QueueLimit& limit);
  // The queued lines joined by CR LF.
  std::string Text() const;

  // One pass. A line longer than the longest list line, "|" and the longest
  // path the system allows is no report of a listed picture: such lines are
  // dropped first, as if they had never arrived. The pass then visits as many
  // positions as the queue had lines, each read from the queue as it is at
  // that moment, so a line that moves up behind a removed one waits for the
  // next pass. A settled report takes every equal line off the queue and its
  // picture off the list. A line without "|" names no picture and is only
  // taken off the queue. Returns the status line of each settled report in
  // order; the last one is what shows. Each line costs time linear in its
  // length, however many "|" it holds, and none in the list's length.
  std::vector<StatusLine> Settle(ListedPictures& listed,
                                 const OutputFileTest& output_exists = OutputFileExists);
  // The same pass over a list held as text; the text changes only when a
  // report settles.
  std::vector<StatusLine> Settle(std::string& list_text,
                                 const OutputFileTest& output_exists = OutputFileExists);

 private:
  void DropLongerThan(std::size_t length);

  std::vector<std::string> lines_;
};

}  // namespace quorvel
