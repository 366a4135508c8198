#include "platform/convert.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/errors.h"
#include "support/raises.h"

TEST(StrToInt, AcceptsSignedDecimalWithLeadingSpaces) {
  EXPECT_EQ(platform::StrToInt("0"), 0);
  EXPECT_EQ(platform::StrToInt("255"), 255);
  EXPECT_EQ(platform::StrToInt("  -3"), -3);
  EXPECT_EQ(platform::StrToInt("+7"), 7);
  EXPECT_EQ(platform::StrToInt("007"), 7);
  EXPECT_EQ(platform::StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(platform::StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(StrToInt, RejectsEverythingElseNamingTheText) {
  for (const std::string text : {"", " ", "-", "+", "x", "12a", "3 ", "1.5", "\t1", "- 1", "--1",
                                 "0x10", "2147483648", "-2147483649", "99999999999999999999"}) {
    EXPECT_EQ(testing_support::MessageOf<platform::ConvertError>([&] { platform::StrToInt(text); }),
              "'" + text + "' is not a valid integer value");
  }
}
