#include "platform/text_utf8.h"

#include <cstdint>

namespace platform {
namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the well-formed sequence at the start of `bytes`, 0 when there is
// none; `code` receives its value.
std::size_t ReadSequence(std::string_view bytes, char32_t& code) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, minimum = 0x80, code = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, minimum = 0x800, code = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, minimum = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!IsContinuation(byte)) return 0;
    code = (code << 6) | (byte & 0x3Fu);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (code < minimum || code > 0x10FFFF || surrogate) return 0;
  return length;
}

void AppendUtf8(std::string& out, char32_t code) {
  const auto put = [&out](std::uint32_t value) { out.push_back(static_cast<char>(value)); };
  if (code < 0x80) {
    put(code);
  } else if (code < 0x800) {
    put(0xC0 | (code >> 6));
    put(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    put(0xE0 | (code >> 12));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  } else {
    put(0xF0 | (code >> 18));
    put(0x80 | ((code >> 12) & 0x3F));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::u32string DecodeTextBytes(std::string_view bytes) {
  std::u32string codes;
  codes.reserve(bytes.size());
  while (!bytes.empty()) {
    char32_t code = 0;
    std::size_t used = ReadSequence(bytes, code);
    if (used == 0) {
      code = static_cast<unsigned char>(bytes[0]);
      used = 1;
    }
    codes.push_back(code);
    bytes.remove_prefix(used);
  }
  return codes;
}

std::string CutFaceName(std::string_view name, std::size_t max_bytes) {
  if (name.size() > max_bytes) {
    std::size_t end = max_bytes;
    // Step back over the continuation bytes and lead byte of a character that
    // the cut would split, when the bytes up to there form one.
    std::size_t start = end;
    while (start > 0 && end - start < 3 && IsContinuation(static_cast<unsigned char>(name[start])))
      --start;
    char32_t code = 0;
    const std::size_t length = ReadSequence(name.substr(start), code);
    if (start < end && length > end - start) end = start;
    name = name.substr(0, end);
  }
  std::string out;
  for (const char32_t code : DecodeTextBytes(name)) AppendUtf8(out, code);
  return out;
}

}  // namespace platform
