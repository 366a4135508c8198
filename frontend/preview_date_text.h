#pragma once
// The date and time text that the preview shows while the user has no text of
// their own: the current local time written with the date choices of the main
// window, so that the user sees the stamp as a picture would get it.

#include <ctime>
#include <string>

namespace quorvel {

// A local date and time as the clock gives it.
struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;   // 0 to 23
  int minute = 0;
  int second = 0;
  int iso_weekday = 0;  // Monday 1 to Sunday 7
};

// Which radio button of the time group is checked.
enum class TimeChoice { kHourMinuteSecond, kHourMinute, kNotShow, kNone };

// The time group's choice from its three buttons: "Not show" wins, then
// "Hour : Minute : Sec", then "Hour : Minute".
TimeChoice TimeChoiceOf(bool show_seconds, bool hide_seconds, bool not_show_time);

// The date choices of the main window as one build reads them.
struct DateTextChoices {
  std::string DayStyle;    // "s" short name, "l" long name, else no day name
  std::string MonthStyle;  // "s" short name, "l" long name, "n" the number, else nothing
  std::string YearStyle;   // "s" two digits, else four
  bool numeric_month = false;
  int separated_txt = 0;  // selected index of the separator list; counts for a numeric month only
  TimeChoice time = TimeChoice::kHourMinuteSecond;
  int date_format = 0;  // selected index of the date order list; -1 when none
};

// Day prefix, date part and time part, in that order. The hour has no leading
// zero and the time separator is always ":", whatever the system's locale says.
std::string BuildPreviewDateText(const DateTextChoices& choices, const LocalDateTime& now);

// The local date and time of `seconds` since the epoch, in the time zone of the
// process.
LocalDateTime LocalDateTimeOf(std::time_t seconds);

// Where the preview takes the time from, so that tests can set it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

// The machine's local time.
class SystemClock : public Clock {
 public:
  LocalDateTime Now() const override;
};

// A clock that shows whatever it was last set to.
class FixedClock : public Clock {
 public:
  explicit FixedClock(const LocalDateTime& time) : time_(time) {}
  void Set(const LocalDateTime& time) { time_ = time; }
  LocalDateTime Now() const override { return time_; }

 private:
  LocalDateTime time_;
};

}  // namespace quorvel
