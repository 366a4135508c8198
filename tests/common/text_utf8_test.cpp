#include <gtest/gtest.h>

#include "platform/text_utf8.h"

namespace {

using platform::CutFaceName;
using platform::DecodeTextBytes;

TEST(DecodeTextBytes, WellFormedAndStrayBytes) {
  struct Case {
    const char* name;
    std::string_view bytes;
    std::u32string codes;
  };
  const Case cases[] = {
      {"ascii", "Ab 1", U"Ab 1"},
      {"two to four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xB7", U"\u00E9\u20AC\U0001F4F7"},
      {"latin-1 text", "Caf\xE9", U"Caf\u00E9"},
      {"stray continuation", "\x80x", U"\u0080x"},
      {"truncated at end", "a\xE2\x82", U"a\u00E2\u0082"},
      {"lead without continuation", "\xC3(", U"\u00C3("},
      {"overlong", "\xC0\xAF", U"\u00C0\u00AF"},
      {"surrogate", "\xED\xA0\x80", U"\u00ED\u00A0\u0080"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\u00F4\u0090\u0080\u0080"},
      {"invalid lead bytes", "\xFF\xFE", U"\u00FF\u00FE"},
      {"bad byte then good sequence", "\xE9\xC3\xA9", U"\u00E9\u00E9"},
      {"nul kept", std::string_view("a\0b", 3), std::u32string(U"a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeTextBytes(c.bytes), c.codes) << c.name;
}

TEST(CutFaceName, CutsAtByteLimitWithoutSplittingCharacters) {
  EXPECT_EQ(CutFaceName("Arial", 31), "Arial");
  EXPECT_EQ(CutFaceName(std::string(40, 'x'), 31), std::string(31, 'x'));
  // "\xC3\xA9" would be split at byte 31: the whole character goes.
  EXPECT_EQ(CutFaceName(std::string(30, 'x') + "\xC3\xA9", 31), std::string(30, 'x'));
  // A four-byte character split after its second byte.
  EXPECT_EQ(CutFaceName(std::string(29, 'x') + "\xF0\x9F\x93\xB7", 31), std::string(29, 'x'));
  // Latin-1 bytes become their UTF-8 form, so fontconfig gets valid text.
  EXPECT_EQ(CutFaceName("Caf\xE9", 31), "Caf\xC3\xA9");
}

}  // namespace
