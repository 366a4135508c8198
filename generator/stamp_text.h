#pragma once
// The date and time text stamped onto a picture, built from its EXIF
// "YYYY:MM:DD HH:MM:SS" date according to the user's date choices.

#include <string>
#include <string_view>

namespace vantrel {

// The date choices of one run, as the settings file holds them.
struct DateTextChoices {
  std::string YearDisplay, MonthDisplay, DayDisplay, Separated, TimeStyle;  // compared exactly
  int DateFormat = 0;
};

// Builds the stamp text from an EXIF date text. Holds what carries over from
// picture to picture of one run: the month text and the date body keep their
// last value, the time text belongs to one picture.
class DateTextBuilder {
 public:
  DateTextBuilder(DateTextChoices choices, std::string time_separator);

  // Returns the stamp text without its time (day prefix + date body) for the
  // trimmed EXIF date `exif_date` and sets TimeText(). Throws
  // platform::ConvertError when a piece is not a number or the date or time
  // does not exist (exactly when IsConvertibleDate is false); the builder is
  // then left as it was.
  std::string BuildDate(std::string_view exif_date);
  const std::string& TimeText() const { return time_text_; }
  // Called at the end of every picture.
  void ClearTimeText() { time_text_.clear(); }

 private:
  DateTextChoices choices_;
  std::string time_separator_;
  std::string month_text_;
  std::string date_body_;
  std::string time_text_;
};

// True when the year, month, day, hour, minute and second of `exif_date` are
// decimal numbers that form an existing date and time (year 1 to 9999).
bool IsConvertibleDate(std::string_view exif_date);

// "<overlay>, <time>" when `time_text` is not empty, else `overlay` unchanged.
std::string JoinTime(std::string overlay, std::string_view time_text);

// The text between the hour and the minute of a strftime time format such as
// "%H:%M:%S"; ":" when the format has none.
std::string TimeSeparatorOfFormat(std::string_view format);

// TimeSeparatorOfFormat of the current LC_TIME locale's time format.
std::string LocaleTimeSeparator();

}  // namespace vantrel
