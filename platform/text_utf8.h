#pragma once
// Turns the byte texts our programs carry into code points for drawing.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Decodes `bytes` as UTF-8. A byte that does not begin a well-formed sequence
// (stray continuation byte, truncated or overlong sequence, surrogate, value
// beyond U+10FFFF) stands for its Latin-1 character, so that texts from older
// settings files still draw and no byte is ever lost.
std::u32string DecodeTextBytes(std::string_view bytes);

// The first `max_bytes` bytes of `name`, without a multi-byte character that
// the cut would split, and as valid UTF-8 (stray bytes re-encoded as Latin-1).
std::string CutFaceName(std::string_view name, std::size_t max_bytes);

}  // namespace platform
