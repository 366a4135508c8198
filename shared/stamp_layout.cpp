#include "shared/stamp_layout.h"

#include <algorithm>
#include <climits>

namespace shared {

namespace {

// Where the text sits along one axis of the picture.
enum class Edge { kNear, kCenter, kFar };

struct Anchor {
  Edge x, y;
};

Anchor AnchorFor(int position) {
  constexpr Edge kColumns[] = {Edge::kNear, Edge::kCenter, Edge::kFar};
  if (position < kTopLeft || position > kBottomRight) position = kBottomRight;
  return {kColumns[position % 3], kColumns[position / 3]};
}

// The margin applies on the near and far edges only; on the far edge the box
// (text, margin and shadow) ends at the picture's edge. Centring halves each
// operand on its own, so both remainders are dropped.
std::int64_t Along(Edge edge, std::int64_t picture, std::int64_t text, std::int64_t margin,
                   std::int64_t box) {
  switch (edge) {
    case Edge::kNear:
      return margin;
    case Edge::kCenter:
      return picture / 2 - text / 2;
    case Edge::kFar:
      break;
  }
  return picture - box;
}

}  // namespace

int ShadowOffsetFor(int picture_width) {
  return static_cast<int>((std::int64_t{picture_width} * 12 + 4999) / 10000);
}

int StampPointsFor(int picture_width, int percent) {
  const std::int64_t size = std::int64_t{picture_width} * percent / 100;
  return static_cast<int>(std::clamp<std::int64_t>(size - size * 30 / 100, INT32_MIN, INT32_MAX));
}

int CharHeightForPoints(int points) {
  const std::int64_t scaled = std::int64_t{points} * 96;
  const std::int64_t rounded = scaled >= 0 ? (scaled + 36) / 72 : (scaled - 36) / 72;
  return static_cast<int>(std::clamp<std::int64_t>(rounded, INT32_MIN, INT32_MAX));
}

StampPlacement PlaceTextCell(int picture_width, int picture_height, int text_width, int text_height,
                             std::int64_t margin_x, std::int64_t margin_y, bool drop_shadow,
                             int position) {
  StampPlacement p{};
  p.shadow_offset = ShadowOffsetFor(picture_width);
  p.drop_shadow = drop_shadow;
  p.margin_x = margin_x;
  p.margin_y = margin_y;
  const std::int64_t shadow = drop_shadow ? p.shadow_offset : 0;
  p.box_width = text_width + margin_x + shadow;
  p.box_height = text_height + margin_y + shadow;
  const Anchor anchor = AnchorFor(position);
  p.stamp_x = Along(anchor.x, picture_width, text_width, margin_x, p.box_width);
  p.stamp_y = Along(anchor.y, picture_height, text_height, margin_y, p.box_height);
  return p;
}

void DrawStamp(platform::Bitmap& picture, const platform::Font& font, std::string_view text,
               const StampPlacement& place, StampColours colours) {
  if (place.drop_shadow) {
    font.Draw(picture, place.stamp_x + place.shadow_offset, place.stamp_y + place.shadow_offset,
              text, colours.shadow);
  }
  font.Draw(picture, place.stamp_x, place.stamp_y, text, colours.text);
}

}  // namespace shared
