#include <gtest/gtest.h>

#include "platform/ascii_case.h"
#include "shared/helpers.h"
#include "shared/names.h"

namespace shared {

using platform::SameTextAsciiCase;

TEST(IsAllDigits, Cases) {
  EXPECT_TRUE(IsAllDigits(""));
  EXPECT_TRUE(IsAllDigits("0001"));
  EXPECT_FALSE(IsAllDigits("12a"));
  EXPECT_FALSE(IsAllDigits(" 1"));
  EXPECT_FALSE(IsAllDigits("-1"));
}

TEST(IndexOfTextInList, MonthNumbers) {
  EXPECT_EQ(IndexOfTextInList("1", MonthNumbers), 0);
  EXPECT_EQ(IndexOfTextInList("12", MonthNumbers), 11);
  EXPECT_EQ(IndexOfTextInList("01", MonthNumbers), -1);
  EXPECT_EQ(IndexOfTextInList("0", MonthNumbers), -1);
  EXPECT_EQ(IndexOfTextInList("jan", ShortMonthNames), 0);
  EXPECT_EQ(IndexOfTextInList("x", std::span<const std::string_view>{}), -1);
}

TEST(SameTextAsciiCase, MapsOnlyAsciiLetters) {
  EXPECT_TRUE(SameTextAsciiCase("quorvel", "QUORVEL"));
  EXPECT_FALSE(SameTextAsciiCase("\xe9", "\xc9"));
  EXPECT_FALSE(SameTextAsciiCase("abc", "abcd"));
}

TEST(Trim, RemovesControlsAndBlanksAtBothEnds) {
  EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
}

}  // namespace shared
