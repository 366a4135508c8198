#include "shared/helpers.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/process_list.h"

namespace shared {

using platform::SameTextAsciiCase;

namespace {

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::string_view FileNamePart(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool IsProcessRunning(std::string_view name) {
  bool running = false;
  for (const std::string& exe : platform::SnapshotProcessFiles()) {
    if (SameTextAsciiCase(FileNamePart(exe), name) || SameTextAsciiCase(exe, name)) {
      running = true;
    }
  }
  return running;
}

bool IsAllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int64_t GetFileSize64(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0) return -1;
  if (S_ISDIR(info.st_mode)) return 0;
  return static_cast<std::int64_t>(info.st_size);
}

int IndexOfTextInList(std::string_view text, std::span<const std::string_view> list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (SameTextAsciiCase(text, list[i])) return static_cast<int>(i);
  }
  return -1;
}

std::string Trim(std::string_view text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsTrimmed);
  const auto last = std::find_if_not(text.rbegin(), std::make_reverse_iterator(first), IsTrimmed);
  return std::string(first, last.base());
}

}  // namespace shared
