#include "frontend/preview_date_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_frontend.h"

namespace quorvel {
namespace {

// Monday 5 January 2009, 8:03:04.
constexpr LocalDateTime kMonday{2009, 1, 5, 8, 3, 4, 1};

LocalDateTime At(int hour, int minute, int second) {
  LocalDateTime time = kMonday;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  return time;
}

// What the main window shows before any choice.
DateTextChoices Defaults() {
  return {"s", "s", "", false, 0, TimeChoice::kHourMinuteSecond, 0};
}

template <typename Change>
DateTextChoices DefaultsWith(Change change) {
  DateTextChoices choices = Defaults();
  change(choices);
  return choices;
}

struct DateTextCase {
  const char* name;
  DateTextChoices choices;
  LocalDateTime time;
  const char* expected;
};

TEST(PreviewDateText, BuildsTheTextOfEveryChoice) {
  const std::vector<DateTextCase> cases = {
      {"defaults", Defaults(), kMonday, "Mon. 5 Jan 2009, 8:03:04"},
      {"long names, two-digit year, year month date, hour minute",
       {"l", "l", "s", false, 0, TimeChoice::kHourMinute, 2},
       kMonday,
       "Monday. 09 January 5, 8:03"},
      {"numeric month with slashes, month date year",
       {"s", "n", "", true, 2, TimeChoice::kHourMinuteSecond, 1},
       kMonday,
       "Mon. 1/5/2009, 8:03:04"},
      {"numeric month with blanks, no time",
       {"s", "n", "", true, 0, TimeChoice::kNotShow, 0},
       kMonday,
       "Mon. 5 1 2009"},
      {"hyphen chosen for a month name", DefaultsWith([](auto& c) { c.separated_txt = 3; }),
       kMonday, "Mon. 5 Jan 2009, 8:03:04"},
      {"no day name", DefaultsWith([](auto& c) { c.DayStyle = ""; }), kMonday,
       "5 Jan 2009, 8:03:04"},
      {"midnight", Defaults(), At(0, 0, 0), "Mon. 5 Jan 2009, 0:00:00"},
      {"two-digit minute and second", Defaults(), At(9, 10, 5), "Mon. 5 Jan 2009, 9:10:05"},
      {"no date order selected", DefaultsWith([](auto& c) { c.date_format = -1; }), kMonday,
       "Mon. , 8:03:04"},
      {"date order beyond the list", DefaultsWith([](auto& c) { c.date_format = 4; }), kMonday,
       "Mon. , 8:03:04"},
      {"numeric month with dots, year date month",
       {"", "n", "l", true, 1, TimeChoice::kHourMinute, 3},
       kMonday,
       "2009.5.1, 8:03"},
      {"numeric month with hyphens",
       {"", "n", "s", true, 3, TimeChoice::kNotShow, 2},
       kMonday,
       "09-1-5"},
      {"no time button checked", DefaultsWith([](auto& c) { c.time = TimeChoice::kNone; }), kMonday,
       "Mon. 5 Jan 2009"},
      {"unknown month style leaves the month out",
       DefaultsWith([](auto& c) { c.MonthStyle = "x"; }), kMonday, "Mon. 5  2009, 8:03:04"},
      {"last day and month of the tables, last second",
       {"l", "l", "s", false, 0, TimeChoice::kHourMinuteSecond, 0},
       {2023, 12, 31, 23, 59, 59, 7},
       "Sunday. 31 December 23, 23:59:59"},
      {"year 2000 in two digits",
       {"s", "s", "s", false, 0, TimeChoice::kHourMinute, 0},
       {2000, 2, 29, 10, 0, 0, 2},
       "Tue. 29 Feb 00, 10:00"},
      {"a year of three digits has no fourth character",
       DefaultsWith([](auto& c) { c.YearStyle = "s"; }),
       {999, 1, 5, 8, 3, 4, 1},
       "Mon. 5 Jan 9, 8:03:04"},
      {"a weekday outside the week gives no day name",
       Defaults(),
       {2009, 1, 5, 8, 3, 4, 8},
       "5 Jan 2009, 8:03:04"},
      {"a month outside the year gives no month name",
       Defaults(),
       {2009, 13, 5, 8, 3, 4, 1},
       "Mon. 5  2009, 8:03:04"},
  };
  for (const DateTextCase& c : cases) {
    EXPECT_EQ(BuildPreviewDateText(c.choices, c.time), c.expected) << c.name;
  }
}

TEST(PreviewDateText, TimeButtonsInOrderOfPrecedence) {
  struct Case {
    bool show_seconds, hide_seconds, not_show;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {true, false, false, "Mon. 5 Jan 2009, 8:03:04"},
      {false, true, false, "Mon. 5 Jan 2009, 8:03"},
      {false, false, true, "Mon. 5 Jan 2009"},
      {false, false, false, "Mon. 5 Jan 2009"},
      {true, true, false, "Mon. 5 Jan 2009, 8:03:04"},
      {true, true, true, "Mon. 5 Jan 2009"},
  };
  for (const Case& c : cases) {
    const DateTextChoices choices = DefaultsWith(
        [&c](auto& d) { d.time = TimeChoiceOf(c.show_seconds, c.hide_seconds, c.not_show); });
    EXPECT_EQ(BuildPreviewDateText(choices, kMonday), c.expected)
        << c.show_seconds << c.hide_seconds << c.not_show;
  }
}

// Runs the test in a fixed time zone and puts the process's own back after.
class InTimeZone {
 public:
  explicit InTimeZone(const char* zone) : zone_(std::in_place, "TZ", zone) { tzset(); }
  ~InTimeZone() {
    zone_.reset();
    tzset();
  }

 private:
  std::optional<testing_support::ScopedEnv> zone_;
};

TEST(PreviewClock, LocalTimeCountsTheWeekFromMonday) {
  const InTimeZone utc("UTC");
  struct Case {
    std::time_t seconds;
    LocalDateTime expected;
  };
  const std::vector<Case> cases = {
      {1231142584, {2009, 1, 5, 8, 3, 4, 1}},
      {1704067199, {2023, 12, 31, 23, 59, 59, 7}},
  };
  for (const Case& c : cases) {
    const LocalDateTime got = LocalDateTimeOf(c.seconds);
    EXPECT_EQ(got.year, c.expected.year) << c.seconds;
    EXPECT_EQ(got.month, c.expected.month) << c.seconds;
    EXPECT_EQ(got.day, c.expected.day) << c.seconds;
    EXPECT_EQ(got.hour, c.expected.hour) << c.seconds;
    EXPECT_EQ(got.minute, c.expected.minute) << c.seconds;
    EXPECT_EQ(got.second, c.expected.second) << c.seconds;
    EXPECT_EQ(got.iso_weekday, c.expected.iso_weekday) << c.seconds;
  }
}

}  // namespace
}  // namespace quorvel
