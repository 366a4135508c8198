#pragma once
// One settings file seen from both programs: the front-end's tests check that
// its user-text dialog turns the "before" file into exactly the "after" file,
// and the end-to-end tests give the "after" file to the real generator. Header
// only, so that the front-end's tests need none of the support library.

#include <string>

namespace testing_support {

// A settings file as the front-end's saves leave it before any text of the
// user's own was saved; `output_folder` ends with "/".
inline std::string SettingsBeforeUserText(const std::string& output_folder) {
  std::string text =
      "[LastConfig]\r\nr_font_color=255\r\ng_font_color=255\r\nb_font_color=255\r\n"
      "font_select=0\r\nfont_select_name=DejaVu Sans\r\n";
  for (char slot = 'A'; slot <= 'P'; ++slot) text += std::string("Color") + slot + "=\r\n";
  text += "r_DropShadow_color=0\r\ng_DropShadow_color=0\r\nb_DropShadow_color=0\r\n";
  for (char slot = 'A'; slot <= 'P'; ++slot) text += std::string("ShadowColor") + slot + "=\r\n";
  return text +
         "DropShadow=no\r\nTextBold=no\r\nTextItalic=no\r\nTextUnderline=no\r\n"
         "TextStrikeout=no\r\nTxtPosition=8\r\nStampSize=2\r\nDateFormat=0\r\nDayDisplay=s\r\n"
         "DayNotShow=no\r\nSeparated=0\r\nMonthDisplay=s\r\nYearDisplay=l\r\nTimeStyle=HMS\r\n"
         "Output Path=" +
         output_folder + "\r\nborder_margin=3\r\n";
}

// The same file once the dialog saved `saved_text` (as stored: trimmed).
inline std::string SettingsAfterUserText(const std::string& output_folder,
                                         const std::string& saved_text) {
  return SettingsBeforeUserText(output_folder) + "MyTXT=" + saved_text + "\r\n";
}

}  // namespace testing_support
