#include "generator/stamp_text.h"

#include <langinfo.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/errors.h"
#include "shared/helpers.h"
#include "shared/names.h"
#include "shared/sysconfig.h"

namespace vantrel {

namespace SysConfig = shared::SysConfig;

namespace {

// The runtime's error for a date or time that does not exist. It is a
// conversion error like a piece that is not a number, but with its own text.
class EncodeError : public platform::ConvertError {
 public:
  explicit EncodeError(std::string message)
      : platform::ConvertError(message), message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

struct DateParts {
  std::string year4, year_text, month, day, hour, minute, second;
};

struct DateTimeValue {
  int year, month, day, hour, minute, second;
};

// The substring at 1-based `start` with `length` characters, cut short at the
// end of `text`, trimmed.
std::string Cut(std::string_view text, std::size_t start, std::size_t length) {
  if (start > text.size()) return "";
  return shared::Trim(text.substr(start - 1, length));
}

// Month and day are shown without a leading zero, but "00" is kept as it is.
std::string WithoutLeadingZero(std::string piece) {
  if (piece != "00" && !piece.empty() && piece.front() == '0') {
    std::erase(piece, '0');
  }
  return piece;
}

DateParts CutDateParts(std::string_view text, bool short_year) {
  DateParts parts;
  parts.year4 = Cut(text, 1, 4);
  parts.year_text = short_year ? Cut(text, 3, 2) : Cut(text, 1, 4);
  parts.month = WithoutLeadingZero(Cut(text, 6, 2));
  parts.day = WithoutLeadingZero(Cut(text, 9, 2));
  parts.hour = Cut(text, 12, 2);
  parts.minute = Cut(text, 15, 2);
  parts.second = Cut(text, 18, 2);
  return parts;
}

// Decimal text to integer: optional leading blanks, an optional sign, then
// digits only, within the range of int.
std::optional<int> ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{1} << 31) return std::nullopt;
  }
  value = negative ? -value : value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int>(value);
}

int IntegerOrThrow(const std::string& text) {
  const std::optional<int> value = ParseInteger(text);
  if (!value) throw platform::ConvertError(text);
  return *value;
}

std::chrono::year_month_day CalendarDate(int year, int month, int day) {
  return std::chrono::year_month_day{std::chrono::year{year},
                                     std::chrono::month{static_cast<unsigned>(month)},
                                     std::chrono::day{static_cast<unsigned>(day)}};
}

bool IsExistingDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  return CalendarDate(year, month, day).ok();
}

bool IsExistingTime(int hour, int minute, int second) {
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

// Converts in the order the runtime would, so the first failing piece is the
// one reported.
DateTimeValue ToDateTime(const DateParts& parts) {
  DateTimeValue value{};
  value.year = IntegerOrThrow(parts.year4);
  value.month = IntegerOrThrow(parts.month);
  value.day = IntegerOrThrow(parts.day);
  if (!IsExistingDate(value.year, value.month, value.day)) {
    throw EncodeError("Invalid argument to date encode");
  }
  value.hour = IntegerOrThrow(parts.hour);
  value.minute = IntegerOrThrow(parts.minute);
  value.second = IntegerOrThrow(parts.second);
  if (!IsExistingTime(value.hour, value.minute, value.second)) {
    throw EncodeError("Invalid argument to time encode");
  }
  return value;
}

// Monday 1 to Sunday 7, on the proleptic Gregorian calendar.
unsigned IsoWeekday(const DateTimeValue& value) {
  const std::chrono::sys_days days{CalendarDate(value.year, value.month, value.day)};
  return std::chrono::weekday{days}.iso_encoding();
}

std::string TwoDigits(int number) {
  return {static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10)};
}

// The month as written; a style or month it cannot write keeps `previous`.
std::string MonthTextFor(const std::string& style, const std::string& month,
                         const std::string& previous) {
  if (style == SysConfig::MonthNumber) return month;
  const int index = shared::IndexOfTextInList(month, shared::MonthNumbers);
  if (index < 0) return previous;
  const auto i = static_cast<std::size_t>(index);
  if (style == SysConfig::ShortName) return std::string(shared::ShortMonthNames[i]);
  if (style == SysConfig::LongName) return std::string(shared::LongMonthNames[i]);
  return previous;
}

std::string DayPrefixFor(const std::string& style, const DateTimeValue& value) {
  const std::size_t i = IsoWeekday(value) - 1;
  if (style == SysConfig::ShortName) return std::string(shared::ShortDayNames[i]) + ". ";
  if (style == SysConfig::LongName) return std::string(shared::LongDayNames[i]) + ". ";
  return "";
}

// A month written as a name always stands between blanks.
std::string DateSeparatorFor(const std::string& separated, const std::string& month_text) {
  if (shared::IsAllDigits(month_text)) {
    if (separated == SysConfig::SeparatedByDot) return ".";
    if (separated == SysConfig::SeparatedBySlash) return "/";
    if (separated == SysConfig::SeparatedByHyphen) return "-";
  }
  return " ";
}

// Nothing for an unknown order, which keeps the previous body.
std::optional<std::string> DateBodyFor(int date_format, const DateParts& parts,
                                       const std::string& month, const std::string& sep) {
  const std::string& day = parts.day;
  const std::string& year = parts.year_text;
  switch (date_format) {
    case 0:
      return day + sep + month + sep + year;
    case 1:
      return month + sep + day + sep + year;
    case 2:
      return year + sep + month + sep + day;
    case 3:
      return year + sep + day + sep + month;
    default:
      return std::nullopt;
  }
}

std::string TimeTextFor(const std::string& style, const DateTimeValue& value,
                        const std::string& sep) {
  const std::string hour_minute = TwoDigits(value.hour) + sep + TwoDigits(value.minute);
  if (style == SysConfig::HourMinuteSecond) return hour_minute + sep + TwoDigits(value.second);
  if (style == SysConfig::HourMinute) return hour_minute;
  return "";
}

bool IsHourConversion(char c) {
  return c == 'H' || c == 'I' || c == 'k' || c == 'l';
}

// Conversions that stand for a whole time with ":" between hour and minute.
bool IsColonTimeConversion(char c) {
  return c == 'T' || c == 'R' || c == 'r';
}

// Skips "%", flags, width and the E/O modifier; returns the index of the
// conversion character (text.size() when the format ends early).
std::size_t ConversionCharAt(std::string_view format, std::size_t percent) {
  std::size_t i = percent + 1;
  while (i < format.size() && std::string_view("-_0^#").find(format[i]) != std::string_view::npos) {
    ++i;
  }
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
  if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) ++i;
  return i;
}

}  // namespace

DateTextBuilder::DateTextBuilder(DateTextChoices choices, std::string time_separator)
    : choices_(std::move(choices)), time_separator_(std::move(time_separator)) {}

std::string DateTextBuilder::BuildDate(std::string_view exif_date) {
  const DateParts parts = CutDateParts(exif_date, choices_.YearDisplay == SysConfig::ShortName);
  std::string month_text = MonthTextFor(choices_.MonthDisplay, parts.month, month_text_);
  // Converted before anything is kept, so a failing date leaves the run's
  // carried-over texts as the previous picture left them.
  const DateTimeValue value = ToDateTime(parts);
  const std::string separator = DateSeparatorFor(choices_.Separated, month_text);
  std::string date_body =
      DateBodyFor(choices_.DateFormat, parts, month_text, separator).value_or(date_body_);

  month_text_ = std::move(month_text);
  date_body_ = std::move(date_body);
  time_text_ = TimeTextFor(choices_.TimeStyle, value, time_separator_);
  return DayPrefixFor(choices_.DayDisplay, value) + date_body_;
}

bool IsConvertibleDate(std::string_view exif_date) {
  const DateParts parts = CutDateParts(exif_date, false);
  const auto year = ParseInteger(parts.year4);
  const auto month = ParseInteger(parts.month);
  const auto day = ParseInteger(parts.day);
  const auto hour = ParseInteger(parts.hour);
  const auto minute = ParseInteger(parts.minute);
  const auto second = ParseInteger(parts.second);
  return year && month && day && hour && minute && second && IsExistingDate(*year, *month, *day) &&
         IsExistingTime(*hour, *minute, *second);
}

std::string JoinTime(std::string overlay, std::string_view time_text) {
  if (!time_text.empty()) {
    overlay += ", ";
    overlay += time_text;
  }
  return overlay;
}

std::string TimeSeparatorOfFormat(std::string_view format) {
  std::size_t i = format.find('%');
  while (i != std::string_view::npos) {
    const std::size_t conversion = ConversionCharAt(format, i);
    if (conversion >= format.size()) break;
    if (IsColonTimeConversion(format[conversion])) return ":";
    if (IsHourConversion(format[conversion])) {
      const std::size_t next = format.find('%', conversion + 1);
      if (next == std::string_view::npos || next == conversion + 1) break;
      const std::size_t minute = ConversionCharAt(format, next);
      if (minute >= format.size() || format[minute] != 'M') break;
      return std::string(format.substr(conversion + 1, next - conversion - 1));
    }
    i = format.find('%', conversion + 1);
  }
  return ":";
}

std::string LocaleTimeSeparator() {
  const char* format = nl_langinfo(T_FMT);
  return TimeSeparatorOfFormat(format != nullptr ? format : "");
}

}  // namespace vantrel
