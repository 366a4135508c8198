#pragma once
// What the driver saw of a run, written as "key=value" lines: one line per
// value, a key repeated for a list of values.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel_driver {

struct StatusSeen {
  std::uint32_t colour = 0;
  std::string caption;
  bool operator==(const StatusSeen&) const = default;
};

struct Outcome {
  std::string result;  // "finished" (list emptied), "failed" (run ended early) or "timeout"
  std::vector<StatusSeen> statuses;  // every change of the status line, in order
  std::vector<std::string> list_left;
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  bool controls_enabled = false;
  std::chrono::milliseconds elapsed{0};  // from the click to the end of the run
};

// Writes the outcome; line breaks inside a value are written as blanks.
void WriteOutcome(const std::string& path, const Outcome& outcome);

}  // namespace quorvel_driver
