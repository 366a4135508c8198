#pragma once
// Names in our files (settings keys and sections, program file names) compare
// ignoring the case of a-z only: every other byte, UTF-8 included, matches
// only itself, whatever the locale.

#include <algorithm>
#include <string_view>

namespace platform {

constexpr char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Equal ignoring the case of a-z only; every other byte must match exactly.
constexpr bool SameTextAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperAscii(x) == UpperAscii(y);
         });
}

}  // namespace platform
