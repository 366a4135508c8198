#include "generator/stamp_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/raises.h"

namespace vantrel {

namespace {

DateTextChoices Choices(std::string day, std::string month, std::string year, std::string separated,
                        int date_format, std::string time_style) {
  DateTextChoices choices;
  choices.DayDisplay = std::move(day);
  choices.MonthDisplay = std::move(month);
  choices.YearDisplay = std::move(year);
  choices.Separated = std::move(separated);
  choices.DateFormat = date_format;
  choices.TimeStyle = std::move(time_style);
  return choices;
}

// The whole stamp of one picture, as the generator forms it.
std::string Stamp(DateTextBuilder& builder, std::string_view exif_date) {
  std::string date = builder.BuildDate(exif_date);
  std::string stamp = JoinTime(std::move(date), builder.TimeText());
  builder.ClearTimeText();
  return stamp;
}

std::string StampOnce(const DateTextChoices& choices, std::string_view exif_date) {
  DateTextBuilder builder(choices, ":");
  return Stamp(builder, exif_date);
}

constexpr std::string_view kDate = "2023:01:05 14:03:09";

}  // namespace

TEST(DateTextBuilder, Examples) {
  struct Row {
    DateTextChoices choices;
    std::string_view exif_date;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {Choices("s", "s", "l", "0", 0, "HMS"), kDate, "Thu. 5 Jan 2023, 14:03:09"},
      {Choices("l", "n", "s", "2", 2, "HM"), kDate, "Thursday. 23/1/5, 14:03"},
      {Choices("", "l", "l", "1", 1, "no"), kDate, "January 5 2023"},
      {Choices("", "n", "l", "3", 3, "HMS"), kDate, "2023-5-1, 14:03:09"},
      {Choices("l", "l", "s", "0", 1, "HM"), "2000:02:29 10:00:00",
       "Tuesday. February 29 00, 10:00"},
      // The month keeps a zero that is not leading; a leading one goes.
      {Choices("", "n", "l", "1", 0, ""), "2023:10:05 14:03:09", "5.10.2023"},
      {Choices("", "n", "l", "1", 0, ""), "2023:01:10 14:03:09", "10.1.2023"},
      // A month name is always set between blanks; a month number takes the separator.
      {Choices("", "s", "l", "2", 0, ""), kDate, "5 Jan 2023"},
      {Choices("", "n", "l", "2", 0, ""), kDate, "5/1/2023"},
      {Choices("", "n", "l", "9", 0, ""), kDate, "5 1 2023"},
      // The day name follows the full year even when two digits are shown.
      {Choices("l", "n", "s", "1", 0, ""), "2000:01:01 00:00:00", "Saturday. 1.1.00"},
      {Choices("l", "n", "s", "1", 0, ""), "1999:01:01 00:00:00", "Friday. 1.1.99"},
      {Choices("s", "n", "l", "1", 0, ""), "2024:12:31 00:00:00", "Tue. 31.12.2024"},
      // An unknown month style leaves the month out, with blanks or separators.
      {Choices("", "x", "l", "3", 0, ""), kDate, "5--2023"},
      // The hour always has two digits.
      {Choices("", "n", "l", "1", 0, "HM"), "2023:01:05 04:03:09", "5.1.2023, 04:03"},
      // Characters after the nineteenth are ignored.
      {Choices("", "n", "l", "1", 0, "HMS"), "2023:01:05 14:03:0912345", "5.1.2023, 14:03:09"},
      // A signed month converts; the number style shows it as it stands.
      {Choices("", "n", "l", "1", 0, ""), "2023:+5:07 14:03:09", "7 +5 2023"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StampOnce(row.choices, row.exif_date), row.expected) << row.exif_date;
  }
}

TEST(DateTextBuilder, NoDateBodyForAnUnknownDateFormat) {
  DateTextBuilder builder(Choices("", "n", "l", "1", 7, "HMS"), ":");
  EXPECT_EQ(Stamp(builder, kDate), ", 14:03:09");
  EXPECT_EQ(Stamp(builder, "2024:06:30 08:00:00"), ", 08:00:00");

  DateTextBuilder with_day(Choices("s", "n", "l", "1", 7, "no"), ":");
  EXPECT_EQ(Stamp(with_day, kDate), "Thu. ");
}

TEST(DateTextBuilder, MonthNameCarriesOverWhenTheMonthIsNotInTheList) {
  DateTextBuilder builder(Choices("", "s", "l", "0", 0, ""), ":");
  EXPECT_EQ(Stamp(builder, "2023:03:05 14:03:09"), "5 Mar 2023");
  EXPECT_EQ(Stamp(builder, "2023:+5:07 14:03:09"), "7 Mar 2023");

  DateTextBuilder first_picture(Choices("", "l", "l", "2", 0, ""), ":");
  // No month text yet, so the empty month counts as digits.
  EXPECT_EQ(Stamp(first_picture, "2023:+5:07 14:03:09"), "7//2023");
}

TEST(DateTextBuilder, FailingDateLeavesTheCarriedTextsAlone) {
  DateTextBuilder builder(Choices("", "s", "l", "0", 0, "HMS"), ":");
  EXPECT_EQ(Stamp(builder, "2023:03:05 14:03:09"), "5 Mar 2023, 14:03:09");
  EXPECT_THROW(builder.BuildDate("2023:04:31 14:03:09"), platform::ConvertError);
  EXPECT_EQ(builder.TimeText(), "");
  EXPECT_EQ(Stamp(builder, "2023:+5:07 10:00:00"), "7 Mar 2023, 10:00:00");
}

TEST(DateTextBuilder, TimeTextLastsOnePicture) {
  DateTextBuilder builder(Choices("", "n", "l", "1", 0, "HMS"), ".");
  EXPECT_EQ(builder.BuildDate(kDate), "5.1.2023");
  EXPECT_EQ(builder.TimeText(), "14.03.09");
  builder.ClearTimeText();
  EXPECT_EQ(builder.TimeText(), "");
}

TEST(DateTextBuilder, TimeIsCheckedEvenWhenNotShown) {
  DateTextBuilder builder(Choices("", "n", "l", "1", 0, "no"), ":");
  EXPECT_EQ(builder.BuildDate(kDate), "5.1.2023");
  EXPECT_EQ(builder.TimeText(), "");
  EXPECT_THROW(builder.BuildDate("2023:01:05 25:00:00"), platform::ConvertError);
}

TEST(DateTextBuilder, ErrorMessages) {
  const auto message_for = [](std::string_view date) -> std::string {
    DateTextBuilder builder(Choices("", "n", "l", "1", 0, "HMS"), ":");
    return testing_support::MessageOf<platform::ConvertError>([&] { builder.BuildDate(date); });
  };
  EXPECT_EQ(message_for("2023:xy:05 14:03:09"), "'xy' is not a valid integer value");
  EXPECT_EQ(message_for("2023:02:30 1x:03:09"), "Invalid argument to date encode");
  EXPECT_EQ(message_for("2023:02:28 14:60:09"), "Invalid argument to time encode");
}

// The builder fails exactly where the check says no.
TEST(IsConvertibleDate, AgreesWithTheBuilder) {
  const std::vector<std::pair<std::string_view, bool>> cases = {
      {kDate, true},
      {"9999:12:31 23:59:59", true},
      {"0001:01:01 00:00:00", true},
      {"0000:00:00 00:00:00", false},
      {"2023:00:05 14:03:09", false},
      {"2023:13:05 14:03:09", false},
      {"2023:01:00 14:03:09", false},
      {"2023:04:31 14:03:09", false},
      {"1900:02:29 14:03:09", false},
      {"2000:02:29 14:03:09", true},
      {"2023:02:29 14:03:09", false},
      {"2024:02:29 14:03:09", true},
      {"2023:01:05 23:59:59", true},
      {"2023:01:05 24:00:00", false},
      {"2023:01:05 25:00:00", false},
      {"2023:01:05 14:03:60", false},
      {"2023:01:05 1a:03:09", false},
      {"abcd:01:05 14:03:09", false},
      {"2023:-1:05 14:03:09", false},
      {"2023:+5:05 14:03:09", true},
      {"+999:01:05 14:03:09", true},
      {"2023:01:05 14:03:0", true},
      {"2023:01:05 14:03", false},
      {"2023:01:05", false},
      {"", false},
      {"                   ", false},
  };
  for (const auto& [date, convertible] : cases) {
    EXPECT_EQ(IsConvertibleDate(date), convertible) << date;
    DateTextBuilder builder(Choices("l", "n", "l", "1", 0, "HMS"), ":");
    if (convertible) {
      EXPECT_NO_THROW(builder.BuildDate(date)) << date;
    } else {
      EXPECT_THROW(builder.BuildDate(date), platform::ConvertError) << date;
    }
  }
}

TEST(JoinTime, AddsTheTimeOnlyWhenThereIsOne) {
  EXPECT_EQ(JoinTime("5.1.2023", "14:03"), "5.1.2023, 14:03");
  EXPECT_EQ(JoinTime("5.1.2023", ""), "5.1.2023");
  EXPECT_EQ(JoinTime("", "14:03"), ", 14:03");
}

TEST(TimeSeparatorOfFormat, Formats) {
  const std::vector<std::pair<std::string_view, std::string>> cases = {
      {"%H:%M:%S", ":"}, {"%H.%M.%S", "."},  {"%T", ":"},     {"%p %I.%M.%S", "."},
      {"%-H.%OM", "."},  {"%Hh%Mm%Ss", "h"}, {"%H%M%S", ":"}, {"%H", ":"},
      {"", ":"},         {"%", ":"},         {"%%H.%M", ":"},
  };
  for (const auto& [format, separator] : cases) {
    EXPECT_EQ(TimeSeparatorOfFormat(format), separator) << format;
  }
}

TEST(LocaleTimeSeparator, CLocaleUsesColon) {
  const std::string previous = std::setlocale(LC_TIME, nullptr);
  std::setlocale(LC_TIME, "C");
  EXPECT_EQ(LocaleTimeSeparator(), ":");
  std::setlocale(LC_TIME, previous.c_str());
}

}  // namespace vantrel
