#include "platform/convert.h"

#include <cstdint>
#include <limits>
#include <string>

#include "platform/errors.h"

namespace platform {

int StrToInt(std::string_view text) {
  const auto fail = [text]() { return ConvertError(std::string(text)); };
  std::size_t pos = text.find_first_not_of(' ');
  if (pos == std::string_view::npos) throw fail();
  const bool negative = text[pos] == '-';
  if (text[pos] == '-' || text[pos] == '+') ++pos;
  if (pos == text.size()) throw fail();
  // The magnitude of the most negative value is one more than the largest positive.
  const std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c < '0' || c > '9') throw fail();
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) throw fail();
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace platform
