#pragma once
// The controls of the main window as its design lists them: one row each.

#include <string_view>
#include <vector>

#include "frontend/dock_layout.h"

class QWidget;

namespace quorvel {

enum class ControlKind {
  Panel,
  Label,
  Image,
  GroupBox,
  Radio,
  Check,
  List,
  Memo,
  Button,
  Progress
};

enum class FontKind {
  Window,       // the window's default font
  Verdana,      // "Verdana", 11 pixels
  VerdanaBold,  // the same, bold
  Memo,         // "MS Sans Serif", 13 pixels
  Status,       // "MS Sans Serif", 11 pixels, bold
  StyleBold,    // the style boxes: "MS Sans Serif", 11 pixels, bold plus their own style
  StyleItalic,
  StyleUnderline,
  StyleStrikeOut,
};

enum ControlFlag : unsigned {
  kHidden = 1u << 0,
  kChecked = 1u << 1,
  kHandCursor = 1u << 2,
  kStretch = 1u << 3,  // an image stretched to its size
  kBorder = 1u << 4,   // a single line border
  kReadOnly = 1u << 5,
  kNoBorder = 1u << 6,  // a memo without its frame
  kElide = 1u << 7,     // a label that elides a long text in the middle
};

// Colours are COLORREF values (red in the low byte); kNoColour leaves the default.
inline constexpr unsigned kNoColour = 0xFFFFFFFFu;
inline constexpr unsigned kSilver = 0xC0C0C0u;
inline constexpr unsigned kGrey = 0x808080u;
inline constexpr unsigned kWhite = 0xFFFFFFu;
inline constexpr unsigned kStatusBlue = 0xFF8000u;
inline constexpr unsigned kDefaultTextColour = 0x4080FFu;

struct ControlRow {
  std::string_view name;
  ControlKind kind;
  std::string_view parent;  // "" for the window itself
  // width/height 0: the control's natural size. Labels whose text changes
  // while the program runs get room for it, as they do not grow by themselves.
  int left, top, width, height;
  Dock dock;
  std::string_view caption;  // text, or a picture's name in frontend/artwork
  std::string_view hint;
  unsigned flags;
  FontKind font;
  unsigned colour;  // panel ground, label text
};

struct ListRow {
  std::string_view name;
  std::vector<std::string_view> items;
  int selected;  // -1: none
};

const std::vector<ControlRow>& MainWindowControls();
const std::vector<ListRow>& MainWindowLists();

// Creates every control of the tables as a child of `form`, named as in the rows.
void BuildMainWindowControls(QWidget* form);

}  // namespace quorvel
