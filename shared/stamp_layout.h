#pragma once
// The stamp's size, place and drawing where the generator's pictures and the
// front-end's preview follow the same rules, so that the preview shows what
// the output will show. Each program keeps its own choice of size class and
// margins; everything is computed in 64 bits so that hostile settings (a huge
// border margin) cannot overflow.

#include <cstdint>
#include <string_view>

#include "platform/bitmap.h"
#include "platform/text.h"

namespace shared {

// Share of the picture's width that a size class gives the font, in percent.
inline constexpr int kSmallStampPercent = 3;
inline constexpr int kMediumStampPercent = 5;
inline constexpr int kLargeStampPercent = 7;

// The nine places of the text, in the order the front-end lists them. Any
// other index is the last one, bottom right.
inline constexpr int kTopLeft = 0;
inline constexpr int kBottomRight = 8;

// 0.12 % of the width, exact halves rounded down.
int ShadowOffsetFor(int picture_width);

// The font size in points for `percent` of the width, less 30 % of that.
int StampPointsFor(int picture_width, int percent);

// The character height in pixels of a font of `points` on a 96 dpi display.
int CharHeightForPoints(int points);

struct StampPlacement {
  std::int64_t margin_x, margin_y, box_width, box_height, stamp_x, stamp_y;
  int shadow_offset;
  bool drop_shadow;
};

// Where the text's cell goes (stamp_x, stamp_y: its top-left corner) for a
// measured text of `text_width` x `text_height` at `position` (0 to 8). The
// result may lie partly or wholly outside the picture.
StampPlacement PlaceTextCell(int picture_width, int picture_height, int text_width, int text_height,
                             std::int64_t margin_x, std::int64_t margin_y, bool drop_shadow,
                             int position);

struct StampColours {
  platform::ColorRef text;
  platform::ColorRef shadow;
};

// The shadow (when the placement has one) at the cell corner moved by the
// shadow offset, then the text at the corner itself, so that the text lies on
// top.
void DrawStamp(platform::Bitmap& picture, const platform::Font& font, std::string_view text,
               const StampPlacement& place, StampColours colours);

}  // namespace shared
