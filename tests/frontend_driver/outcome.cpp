#include "outcome.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace quorvel_driver {
namespace {

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::string Hex(std::uint32_t colour) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(colour));
  return text;
}

}  // namespace

void WriteOutcome(const std::string& path, const Outcome& outcome) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << "result=" << outcome.result << "\n";
  for (const auto& status : outcome.statuses)
    out << "status=" << Hex(status.colour) << " " << OneLine(status.caption) << "\n";
  for (const auto& line : outcome.list_left) out << "list=" << OneLine(line) << "\n";
  for (const auto& message : outcome.messages) out << "message=" << OneLine(message) << "\n";
  for (const auto& error : outcome.errors) out << "error=" << OneLine(error) << "\n";
  out << "controls_enabled=" << (outcome.controls_enabled ? "yes" : "no") << "\n";
  out << "elapsed_ms=" << outcome.elapsed.count() << "\n";
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace quorvel_driver
