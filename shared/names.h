#pragma once
// Names both programs share: the window rendezvous, the program files and the
// fixed English name tables of the date text.

#include <array>
#include <string_view>

namespace shared {

// The caption of the front-end's main window; the generator looks for exactly this.
inline constexpr std::string_view FrontEndCaption = "Quorvel : www.quorvel.example";
inline constexpr std::string_view FrontEndExe = "Quorvel";
inline constexpr std::string_view GeneratorExe = "vantrel";
inline constexpr std::string_view MainWindowClass = "TForm1";

inline constexpr std::array<std::string_view, 7> ShortDayNames = {"Mon", "Tue", "Wed", "Thu",
                                                                  "Fri", "Sat", "Sun"};
inline constexpr std::array<std::string_view, 7> LongDayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
inline constexpr std::array<std::string_view, 12> ShortMonthNames = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
inline constexpr std::array<std::string_view, 12> LongMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
inline constexpr std::array<std::string_view, 12> MonthNumbers = {"1", "2", "3", "4",  "5",  "6",
                                                                  "7", "8", "9", "10", "11", "12"};

}  // namespace shared
