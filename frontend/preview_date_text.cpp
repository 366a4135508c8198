#include "frontend/preview_date_text.h"

#include <array>
#include <ctime>
#include <span>
#include <string_view>

#include "shared/helpers.h"
#include "shared/names.h"
#include "shared/sysconfig.h"

namespace quorvel {

namespace SysConfig = shared::SysConfig;

namespace {

constexpr std::string_view kDayNameEnd = ". ";
constexpr std::string_view kTimeLead = ", ";
constexpr std::string_view kTimeSeparator = ":";

// The characters from 1-based `start` on, at most `count`, cut short at the
// end of the text.
std::string Copy(const std::string& text, std::size_t start, std::size_t count) {
  if (start < 1 || start > text.size()) return {};
  return text.substr(start - 1, count);
}

template <std::size_t N>
std::string NameAt(const std::array<std::string_view, N>& names, int index) {
  if (index < 0 || index >= static_cast<int>(N)) return {};
  return std::string(names[static_cast<std::size_t>(index)]);
}

std::string SeparatorFor(const DateTextChoices& choices) {
  if (!choices.numeric_month) return " ";
  switch (choices.separated_txt) {
    case 1:
      return ".";
    case 2:
      return "/";
    case 3:
      return "-";
    default:
      return " ";
  }
}

std::string DayPrefixFor(const std::string& day_style, int iso_weekday) {
  std::string name;
  if (day_style == SysConfig::ShortName) name = NameAt(shared::ShortDayNames, iso_weekday - 1);
  if (day_style == SysConfig::LongName) name = NameAt(shared::LongDayNames, iso_weekday - 1);
  if (name.empty()) return {};
  return name + std::string(kDayNameEnd);
}

std::string MonthTextFor(const std::string& month_style, const std::string& month) {
  const int index = shared::IndexOfTextInList(month, shared::MonthNumbers);
  if (month_style == SysConfig::ShortName) return NameAt(shared::ShortMonthNames, index);
  if (month_style == SysConfig::LongName) return NameAt(shared::LongMonthNames, index);
  if (month_style == SysConfig::MonthNumber) return month;
  return {};
}

std::string YearTextFor(const std::string& year_style, const std::string& year) {
  if (year_style == SysConfig::ShortName) return Copy(year, 3, 2);
  return Copy(year, 1, 4);
}

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  if (text.size() == 1) text.insert(0, "0");
  return text;
}

std::string TimePartFor(TimeChoice choice, const LocalDateTime& now) {
  if (choice != TimeChoice::kHourMinuteSecond && choice != TimeChoice::kHourMinute) return {};
  std::string text = std::string(kTimeLead) + std::to_string(now.hour) +
                     std::string(kTimeSeparator) + TwoDigits(now.minute);
  if (choice == TimeChoice::kHourMinuteSecond) {
    text += std::string(kTimeSeparator) + TwoDigits(now.second);
  }
  return text;
}

std::string DatePartFor(int date_format, const std::string& day, const std::string& month,
                        const std::string& year, const std::string& separator) {
  const auto join = [&separator](const std::string& a, const std::string& b, const std::string& c) {
    return a + separator + b + separator + c;
  };
  switch (date_format) {
    case 0:
      return join(day, month, year);
    case 1:
      return join(month, day, year);
    case 2:
      return join(year, month, day);
    case 3:
      return join(year, day, month);
    default:
      return {};
  }
}

}  // namespace

TimeChoice TimeChoiceOf(bool show_seconds, bool hide_seconds, bool not_show_time) {
  if (not_show_time) return TimeChoice::kNotShow;
  if (show_seconds) return TimeChoice::kHourMinuteSecond;
  if (hide_seconds) return TimeChoice::kHourMinute;
  return TimeChoice::kNone;
}

std::string BuildPreviewDateText(const DateTextChoices& choices, const LocalDateTime& now) {
  const std::string day = std::to_string(now.day);
  const std::string month = MonthTextFor(choices.MonthStyle, std::to_string(now.month));
  const std::string year = YearTextFor(choices.YearStyle, std::to_string(now.year));
  return DayPrefixFor(choices.DayStyle, now.iso_weekday) +
         DatePartFor(choices.date_format, day, month, year, SeparatorFor(choices)) +
         TimePartFor(choices.time, now);
}

LocalDateTime LocalDateTimeOf(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return {local.tm_year + 1900,
          local.tm_mon + 1,
          local.tm_mday,
          local.tm_hour,
          local.tm_min,
          local.tm_sec,
          local.tm_wday == 0 ? 7 : local.tm_wday};
}

LocalDateTime SystemClock::Now() const {
  return LocalDateTimeOf(std::time(nullptr));
}

}  // namespace quorvel
