#include "frontend/main_window_layout.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "frontend/control_events.h"

namespace quorvel {

namespace {

using K = ControlKind;
using F = FontKind;
constexpr unsigned N = kNoColour;

}  // namespace

const std::vector<ControlRow>& MainWindowControls() {
  static const std::vector<ControlRow> rows = {
      // Areas, in the order they take their room.
      {"main_menu", K::Panel, "", 0, 0, 796, 65, Dock::Top, "", "", 0, F::Window, kSilver},
      {"top_line", K::Panel, "", 0, 65, 796, 1, Dock::Top, "", "", 0, F::Window, kGrey},
      {"advance_panel", K::Panel, "", 0, 66, 273, 496, Dock::Left, "", "", 0, F::Window, kSilver},
      {"line_split", K::Panel, "", 273, 66, 1, 496, Dock::Left, "", "", 0, F::Window, kGrey},
      {"MainPanel", K::Panel, "", 274, 66, 522, 496, Dock::Rest, "", "", 0, F::Window, kSilver},
      // Tool strip.
      {"img_open_picture", K::Image, "main_menu", 29, 10, 32, 32, Dock::None, "add_new.png", "",
       kHandCursor, F::Window, N},
      {"open_picture_txt", K::Label, "main_menu", 20, 45, 0, 0, Dock::None, "Add new", "", 0,
       F::Verdana, N},
      {"img_reset", K::Image, "main_menu", 113, 10, 32, 32, Dock::None, "reset_list.png", "",
       kHandCursor, F::Window, N},
      {"Label1", K::Label, "main_menu", 100, 45, 0, 0, Dock::None, "Reset List", "", 0, F::Verdana,
       N},
      {"img_help", K::Image, "main_menu", 190, 10, 32, 32, Dock::None, "help.png", "", kHandCursor,
       F::Window, N},
      {"Label2", K::Label, "main_menu", 193, 45, 0, 0, Dock::None, "Help", "", 0, F::Verdana, N},
      {"custom_icon", K::Image, "main_menu", 265, 10, 32, 32, Dock::None, "my_text.png", "",
       kHandCursor, F::Window, N},
      {"custom_txt", K::Label, "main_menu", 259, 45, 0, 0, Dock::None, "My Text", "", 0, F::Verdana,
       N},
      {"sample_pic", K::Image, "main_menu", 536, 8, 50, 50, Dock::None, "sample.png", "",
       kHidden | kStretch, F::Window, N},
      {"Memo2", K::Memo, "main_menu", 440, 16, 33, 33, Dock::None, "", "", kHidden, F::Window, N},
      {"tmp_list", K::Memo, "main_menu", 480, 16, 33, 33, Dock::None, "", "", kHidden, F::Window,
       N},
      // Date settings and picture list.
      {"Label12", K::Label, "advance_panel", 16, 5, 0, 0, Dock::None, "Date format:", "", 0,
       F::Verdana, N},
      {"date_format", K::List, "advance_panel", 16, 20, 129, 0, Dock::None, "", "", 0, F::Window,
       N},
      {"Label3", K::Label, "advance_panel", 168, 5, 0, 0, Dock::None, "Border margin:", "", 0,
       F::Verdana, N},
      {"border_margin", K::List, "advance_panel", 168, 20, 65, 0, Dock::None, "", "", 0, F::Window,
       N},
      {"Tab_button_Panel", K::Panel, "advance_panel", 60, 60, 200, 20, Dock::None, "", "", 0,
       F::Window, kSilver},
      {"day_tab", K::Image, "Tab_button_Panel", 6, 3, 45, 17, Dock::None, "tab_day.png", "", 0,
       F::Window, N},
      {"day_tab_grey", K::Image, "Tab_button_Panel", 6, 3, 45, 17, Dock::None, "tab_day_grey.png",
       "", kHidden | kHandCursor, F::Window, N},
      {"month_tab", K::Image, "Tab_button_Panel", 53, 3, 45, 17, Dock::None, "tab_month.png", "",
       kHidden, F::Window, N},
      {"month_tab_grey", K::Image, "Tab_button_Panel", 53, 3, 45, 17, Dock::None,
       "tab_month_grey.png", "", kHandCursor, F::Window, N},
      {"year_tab", K::Image, "Tab_button_Panel", 100, 3, 45, 17, Dock::None, "tab_year.png", "",
       kHidden, F::Window, N},
      {"year_tab_grey", K::Image, "Tab_button_Panel", 100, 3, 45, 17, Dock::None,
       "tab_year_grey.png", "", kHandCursor, F::Window, N},
      {"time_tab", K::Image, "Tab_button_Panel", 147, 3, 45, 17, Dock::None, "tab_time.png", "",
       kHidden, F::Window, N},
      {"time_tab_grey", K::Image, "Tab_button_Panel", 147, 3, 45, 17, Dock::None,
       "tab_time_grey.png", "", kHandCursor, F::Window, N},
      {"Day_GroupBox", K::GroupBox, "advance_panel", 16, 75, 241, 121, Dock::None, " Day ", "", 0,
       F::Verdana, N},
      {"short_day", K::Radio, "Day_GroupBox", 24, 24, 0, 0, Dock::None, "Short day (eg. Sun)", "",
       kChecked, F::Verdana, N},
      {"long_day", K::Radio, "Day_GroupBox", 24, 56, 0, 0, Dock::None, "Long day (eg. Sunday)", "",
       0, F::Verdana, N},
      {"day_notshow", K::Radio, "Day_GroupBox", 24, 88, 0, 0, Dock::None, "Not show", "", 0,
       F::Verdana, N},
      {"Month_GroupBox", K::GroupBox, "advance_panel", 16, 75, 241, 121, Dock::None, " Month ", "",
       kHidden, F::Window, N},
      {"short_month", K::Radio, "Month_GroupBox", 24, 24, 0, 0, Dock::None,
       "Abbreviated month (eg. Jan)", "", kChecked, F::Window, N},
      {"long_month", K::Radio, "Month_GroupBox", 24, 56, 0, 0, Dock::None,
       "Month name (eg. January)", "", 0, F::Window, N},
      {"numeric_month", K::Radio, "Month_GroupBox", 24, 88, 0, 0, Dock::None, "Numeric (eg. 1)", "",
       0, F::Window, N},
      {"separated_txt", K::List, "Month_GroupBox", 143, 86, 90, 0, Dock::None, "",
       "Separated Symbol", kHidden, F::Window, N},
      {"Year_GroupBox", K::GroupBox, "advance_panel", 16, 75, 241, 89, Dock::None, " Year ", "",
       kHidden, F::Window, N},
      {"short_year", K::Radio, "Year_GroupBox", 24, 24, 0, 0, Dock::None,
       "Year without century (eg. 99)", "", 0, F::Window, N},
      {"long_year", K::Radio, "Year_GroupBox", 24, 56, 0, 0, Dock::None, "Year (eg. 1999)", "",
       kChecked, F::Window, N},
      {"Time_GroupBox", K::GroupBox, "advance_panel", 16, 75, 241, 121, Dock::None, " Time ", "",
       kHidden, F::Window, N},
      {"NotShowSec", K::Radio, "Time_GroupBox", 24, 24, 0, 0, Dock::None, "Hour : Minute", "", 0,
       F::Window, N},
      {"ShowSec", K::Radio, "Time_GroupBox", 24, 56, 0, 0, Dock::None, "Hour : Minute : Sec", "",
       kChecked, F::Window, N},
      {"NotShowTime", K::Radio, "Time_GroupBox", 24, 88, 0, 0, Dock::None, "Not show", "", 0,
       F::Window, N},
      {"total_file", K::Label, "advance_panel", 5, 213, 263, 16, Dock::None, "", "", 0, F::Window,
       N},
      {"Memo1", K::Memo, "advance_panel", 0, 231, 273, 265, Dock::Bottom, "", "Image files list",
       kReadOnly | kNoBorder, F::Memo, N},
      {"font_preview", K::Label, "advance_panel", -10, -10, 0, 0, Dock::None, "abc ABC 123", "", 0,
       F::Window, N},
      // Font settings, preview and status.
      {"ColorPanel", K::Panel, "MainPanel", 16, 18, 25, 25, Dock::None, "", "Text color",
       kBorder | kHandCursor, F::Window, kDefaultTextColour},
      {"DropShadowPanel", K::Panel, "MainPanel", 58, 18, 25, 25, Dock::None, "",
       "Drop shadow color", kBorder | kHandCursor, F::Window, 0x000000u},
      {"Label_Font", K::Label, "MainPanel", 104, 5, 0, 0, Dock::None,
       "Font Style:", "Open system fonts folder", kHandCursor, F::Verdana, N},
      {"ComboBox1", K::List, "MainPanel", 104, 20, 193, 0, Dock::None, "", "", 0, F::Window, N},
      {"Label_Size", K::Label, "MainPanel", 312, 5, 0, 0, Dock::None, "Font Size:", "", 0,
       F::Verdana, N},
      {"fs_list", K::List, "MainPanel", 312, 20, 73, 0, Dock::None, "", "", 0, F::Window, N},
      {"Label_TXTPosition", K::Label, "MainPanel", 400, 5, 0, 0, Dock::None,
       "Imprint Position:", "", 0, F::Verdana, N},
      {"txt_position", K::List, "MainPanel", 400, 20, 105, 0, Dock::None, "", "Imprint Position", 0,
       F::Window, N},
      {"drop_shadow_chk", K::Check, "MainPanel", 16, 53, 97, 0, Dock::None, "drop shadow", "",
       kChecked, F::Window, N},
      {"txt_bold", K::Check, "MainPanel", 128, 53, 0, 0, Dock::None, "Bold", "", 0, F::StyleBold,
       N},
      {"txt_italic", K::Check, "MainPanel", 192, 53, 0, 0, Dock::None, "Italic", "", 0,
       F::StyleItalic, N},
      {"txt_underline", K::Check, "MainPanel", 264, 53, 0, 0, Dock::None, "Underline", "", 0,
       F::StyleUnderline, N},
      {"txt_strikeout", K::Check, "MainPanel", 360, 53, 0, 0, Dock::None, "StrikeOut", "", 0,
       F::StyleStrikeOut, N},
      {"Panel_Sample_Preview", K::Panel, "MainPanel", 2, 80, 518, 345, Dock::None, "", "", 0,
       F::Window, kWhite},
      {"bg", K::Image, "Panel_Sample_Preview", 0, 0, 518, 345, Dock::None, "", "Preview", kStretch,
       F::Window, N},
      {"Panel_Bottom", K::Panel, "MainPanel", 0, 433, 522, 63, Dock::Bottom, "", "", 0, F::Window,
       kSilver},
      {"ProgressBar1", K::Progress, "MainPanel", 0, 425, 522, 8, Dock::Bottom, "", "", kHidden,
       F::Window, N},
      {"disk_output", K::Image, "Panel_Bottom", 14, 5, 48, 48, Dock::None, "output_disk.png",
       "Output path", kHandCursor, F::Window, N},
      // Both labels end just before "Imprint".
      {"label_process", K::Label, "Panel_Bottom", 75, 12, 337, 16, Dock::None, "Status:", "",
       kElide, F::Status, kStatusBlue},
      {"label_path_output", K::Label, "Panel_Bottom", 75, 34, 337, 16, Dock::None, "",
       "Open folder", kHandCursor | kElide, F::Window, N},
      {"Start_Imprint", K::Button, "Panel_Bottom", 416, 14, 87, 32, Dock::None, "Imprint", "", 0,
       F::VerdanaBold, N},
  };
  return rows;
}

const std::vector<ListRow>& MainWindowLists() {
  static const std::vector<ListRow> lists = {
      {"date_format",
       {"Date Month Year", "Month Date Year", "Year Month Date", "Year Date Month"},
       0},
      {"border_margin", {"0%", "1%", "2%", "3%", "4%", "5%", "6%", "7%", "8%", "9%", "10%"}, 3},
      {"separated_txt", {" Space", " . (Dot)", " / (Slash)", " - (Hyphen)"}, 0},
      {"ComboBox1", {}, -1},
      {"fs_list", {"Small", "Medium", "Large"}, -1},
      {"txt_position",
       {"Top Left", "Top Center", "Top Right", "Middle Left", "Center", "Middle Right",
        "Bottom Left", "Bottom Center", "Bottom Right"},
       -1},
  };
  return lists;
}

}  // namespace quorvel
