#pragma once
// Size and place of the stamp on a picture. Everything is computed in 64 bits
// so that hostile settings (a huge border margin) cannot overflow.

#include <cstdint>
#include <string>

namespace vantrel {

// 0.12 % of the width, exact halves rounded down.
int ShadowOffsetFor(int picture_width);

// The font size in points: 3 % ("0"), 7 % ("2") or else 5 % of the width,
// less 30 % of that.
int StampFontSizeFor(int picture_width, const std::string& stamp_size);

// The character height in pixels of a font of `points` on a 96 dpi display.
int CharHeightForPoints(int points);

struct StampPlacement {
  std::int64_t margin_x, margin_y, box_width, box_height, stamp_x, stamp_y;
  int shadow_offset;
};

// Where the text's cell goes (stamp_x, stamp_y: its top-left corner) for a
// measured text of `text_width` x `text_height`. The result may lie partly or
// wholly outside the picture.
StampPlacement PlaceStamp(int picture_width, int picture_height, int text_width, int text_height,
                          int border_margin, bool drop_shadow, const std::string& txt_position);

}  // namespace vantrel
