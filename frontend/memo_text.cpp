#include "frontend/memo_text.h"

#include "shared/helpers.h"

namespace quorvel {
namespace {

bool IsBreak(char c) {
  return c == '\r' || c == '\n';
}

// Calls `visit` with each line in turn; stops early when it returns false.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsBreak(text[end])) ++end;
    if (!visit(text.substr(start, end - start))) return;
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachLine(text, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  });
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    if (&line != &lines.front()) text += kLineBreak;
    text += line;
  }
  return text;
}

std::size_t CountLines(std::string_view text) {
  std::size_t count = 0;
  ForEachLine(text, [&](std::string_view) {
    ++count;
    return true;
  });
  return count;
}

std::string LineAt(std::string_view text, std::size_t index) {
  std::string found;
  std::size_t position = 0;
  ForEachLine(text, [&](std::string_view line) {
    if (position++ != index) return true;
    found = line;
    return false;
  });
  return found;
}

bool IsBlankText(std::string_view text) {
  return shared::Trim(text).empty();
}

std::string WithoutLines(std::string_view text, const std::function<bool(std::string_view)>& drop) {
  std::vector<std::string> kept;
  ForEachLine(shared::Trim(text), [&](std::string_view line) {
    if (!IsBlankText(line) && !drop(line)) kept.emplace_back(line);
    return true;
  });
  return shared::Trim(JoinLines(kept));
}

}  // namespace quorvel
