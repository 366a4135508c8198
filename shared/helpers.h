#pragma once
// Small helpers that both programs compile in, with the same behaviour in both.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace shared {

// A running process of the current user whose program file, or the file-name
// part of it, equals `name` ignoring the case of a-z.
bool IsProcessRunning(std::string_view name);

// Every character is "0" to "9"; the empty text counts as all digits.
bool IsAllDigits(std::string_view text);

// Size of the file at `path` in bytes (a folder gives 0), -1 when nothing is there.
std::int64_t GetFileSize64(const std::string& path);

// Index of the first entry equal to `text` ignoring the case of a-z, -1 when none.
int IndexOfTextInList(std::string_view text, std::span<const std::string_view> list);

// Removes every leading and trailing character whose code is 32 or less.
std::string Trim(std::string_view text);

// The part of a path after its last "/" (the whole path when it has none).
std::string_view FileNamePart(std::string_view path);

}  // namespace shared
