// Feeds arbitrary settings files to the profile reader and writer and to the
// generator's settings reading on top of them. Input: one byte each for the
// lengths of a section and a key, two (little-endian) for the length of a
// value, then those three texts, then the file's text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "generator/settings.h"
#include "platform/errors.h"
#include "platform/profile.h"

namespace {

using fuzz_support::Check;
using fuzz_support::TakeFront;

struct Input {
  std::string_view section, key, value, text;
};

Input Split(std::string_view bytes) {
  const auto length = [&](std::size_t width) {
    std::size_t value = 0;
    const std::string_view digits = TakeFront(bytes, width);
    for (std::size_t i = 0; i < digits.size(); ++i) {
      value |= std::size_t{static_cast<unsigned char>(digits[i])} << (8 * i);
    }
    return value;
  };
  const std::size_t section_length = length(1);
  const std::size_t key_length = length(1);
  const std::size_t value_length = length(2);
  Input input;
  input.section = TakeFront(bytes, section_length);
  input.key = TakeFront(bytes, key_length);
  input.value = TakeFront(bytes, value_length);
  input.text = bytes;
  return input;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// What a read gives back after `value` was written.
std::string ValueReadBack(std::string_view value) {
  std::string one_line(value);
  for (char& c : one_line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return std::string(TrimBlanks(one_line).substr(0, platform::kMaxProfileValueLength));
}

// The file cut after every LF, each piece with its line end.
std::vector<std::string_view> Segments(std::string_view text) {
  std::vector<std::string_view> segments;
  while (!text.empty()) {
    const auto lf = text.find('\n');
    segments.push_back(TakeFront(text, lf == std::string_view::npos ? text.size() : lf + 1));
  }
  return segments;
}

std::string_view ContentOf(std::string_view segment) {
  if (!segment.ends_with('\n')) return segment;
  segment.remove_suffix(1);
  if (segment.ends_with('\r')) segment.remove_suffix(1);
  return segment;
}

bool IsKeyLineFor(std::string_view segment, std::string_view key) {
  const std::string_view content = ContentOf(segment);
  const auto equals = content.find('=');
  return equals != std::string_view::npos &&
         SameName(TrimBlanks(content.substr(0, equals)), TrimBlanks(key));
}

bool IsCreatedLine(std::string_view segment) {
  return segment.ends_with("\r\n");
}

bool IsHeaderFor(std::string_view segment, std::string_view section) {
  const std::string_view content = TrimBlanks(ContentOf(segment));
  if (!content.starts_with('[')) return false;
  std::string_view name = content.substr(1);
  name = name.substr(0, name.find(']'));
  return SameName(TrimBlanks(name), TrimBlanks(section));
}

// The lines a write changed: everything but one replaced or added key line
// (with its section header when that was missing, and a line end for a last
// line that had none) must be as it was, byte for byte.
void CheckOnlyTheKeyLineChanged(std::string_view before, std::string_view after,
                                const Input& input) {
  const auto old_lines = Segments(before);
  const auto new_lines = Segments(after);
  std::size_t prefix = 0;
  while (prefix < old_lines.size() && prefix < new_lines.size() &&
         old_lines[prefix] == new_lines[prefix]) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < old_lines.size() - prefix && suffix < new_lines.size() - prefix &&
         old_lines[old_lines.size() - 1 - suffix] == new_lines[new_lines.size() - 1 - suffix]) {
    ++suffix;
  }
  std::vector<std::string_view> removed(old_lines.begin() + static_cast<std::ptrdiff_t>(prefix),
                                        old_lines.end() - static_cast<std::ptrdiff_t>(suffix));
  std::vector<std::string_view> added(new_lines.begin() + static_cast<std::ptrdiff_t>(prefix),
                                      new_lines.end() - static_cast<std::ptrdiff_t>(suffix));
  if (removed.empty() && added.empty()) return;  // the same value written again
  Check(!added.empty() && IsKeyLineFor(added.back(), input.key), "the key line is not the last");
  const std::string_view key_line = added.back();
  added.pop_back();
  if (removed.size() == 1 && added.empty()) {
    Check(IsKeyLineFor(removed.front(), input.key), "another line was replaced");
    return;
  }
  Check(IsCreatedLine(key_line), "an added key line lacks its CR LF");
  if (removed.size() == 1) {
    Check(!removed.front().ends_with('\n') && !added.empty() &&
              added.front() == std::string(removed.front()) + "\r\n",
          "a line other than an unterminated last one changed");
    added.erase(added.begin());
  } else {
    Check(removed.empty(), "more than one line replaced");
  }
  if (added.size() == 1) {
    Check(IsHeaderFor(added.front(), input.section) && IsCreatedLine(added.front()),
          "an added line is not the section's header");
  } else {
    Check(added.empty(), "more than the key line and its header added");
  }
}

// The same key reads the same from a snapshot of the text, from the file and
// through an IniFile.
void CheckReadsAgree(const std::string& path, const Input& input) {
  const auto from_text =
      platform::ProfileSnapshot(std::string(input.text)).Find(input.section, input.key);
  const auto from_snapshot = platform::ProfileSnapshot::Load(path).Find(input.section, input.key);
  Check(from_text == from_snapshot, "snapshot of the file differs from the text");
  Check(platform::ReadProfileString(path, input.section, input.key) == from_text.value_or(""),
        "key-by-key read differs from the snapshot");
  const std::string missing = "\x01missing";
  Check(platform::IniFile(path).ReadString(input.section, input.key, missing) ==
            from_text.value_or(missing),
        "IniFile read differs from the snapshot");
  if (from_text) Check(from_text->size() <= platform::kMaxProfileValueLength, "value not cut");
}

void ReadAsGeneratorSettings(const std::string& path) {
  try {
    vantrel::ReadGeneratorSettings(path);
  } catch (const platform::ConvertError&) {
    // A number that is not one is reported so.
  }
}

void CheckWrite(const std::string& path, const Input& input) {
  try {
    platform::WriteProfileString(path, input.section, input.key, input.value);
  } catch (const platform::ProfileWriteError&) {
    Check(fuzz_support::ReadFileBytes(path) == input.text, "a refused write changed the file");
    return;
  }
  const std::string after = fuzz_support::ReadFileBytes(path);
  Check(platform::ReadProfileString(path, input.section, input.key) == ValueReadBack(input.value),
        "the value written does not read back");
  CheckOnlyTheKeyLineChanged(input.text, after, input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz_support::ScratchFolder folder;
  static const std::string path = (folder / "sysconfig.ini").string();
  const Input input = Split(std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz_support::WriteFileBytes(path, input.text);
  CheckReadsAgree(path, input);
  ReadAsGeneratorSettings(path);
  CheckWrite(path, input);
  return 0;
}
