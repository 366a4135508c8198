#include "generator/stamp_geometry.h"

#include <algorithm>

#include "shared/sysconfig.h"

namespace vantrel {

namespace {

// Where the text sits along one axis of the picture.
enum class Edge { kNear, kCenter, kFar };

struct Anchor {
  Edge x, y;
};

// The positions in the order the front-end lists them; anything unknown is
// the last one, bottom right.
Anchor AnchorFor(const std::string& txt_position) {
  if (txt_position == SysConfig::TopLeft) return {Edge::kNear, Edge::kNear};
  if (txt_position == SysConfig::TopCenter) return {Edge::kCenter, Edge::kNear};
  if (txt_position == SysConfig::TopRight) return {Edge::kFar, Edge::kNear};
  if (txt_position == SysConfig::MiddleLeft) return {Edge::kNear, Edge::kCenter};
  if (txt_position == SysConfig::Center) return {Edge::kCenter, Edge::kCenter};
  if (txt_position == SysConfig::MiddleRight) return {Edge::kFar, Edge::kCenter};
  if (txt_position == SysConfig::BottomLeft) return {Edge::kNear, Edge::kFar};
  if (txt_position == SysConfig::BottomCenter) return {Edge::kCenter, Edge::kFar};
  return {Edge::kFar, Edge::kFar};
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

int StampFontSizeFor(int picture_width, const std::string& stamp_size) {
  std::int64_t percent = 5;
  if (stamp_size == SysConfig::SmallStamp) percent = 3;
  if (stamp_size == SysConfig::LargeStamp) percent = 7;
  const std::int64_t size = std::int64_t{picture_width} * percent / 100;
  return static_cast<int>(size - size * 30 / 100);
}

int CharHeightForPoints(int points) {
  const std::int64_t scaled = std::int64_t{points} * 96;
  const std::int64_t rounded = scaled >= 0 ? (scaled + 36) / 72 : (scaled - 36) / 72;
  return static_cast<int>(std::clamp<std::int64_t>(rounded, INT32_MIN, INT32_MAX));
}

StampPlacement PlaceStamp(int picture_width, int picture_height, int text_width, int text_height,
                          int border_margin, bool drop_shadow, const std::string& txt_position) {
  StampPlacement p{};
  p.shadow_offset = ShadowOffsetFor(picture_width);
  p.margin_x = std::int64_t{picture_width} * border_margin / 100;
  p.margin_y = std::int64_t{picture_height} * border_margin / 100;
  const std::int64_t shadow = drop_shadow ? p.shadow_offset : 0;
  p.box_width = text_width + p.margin_x + shadow;
  p.box_height = text_height + p.margin_y + shadow;
  const Anchor anchor = AnchorFor(txt_position);
  p.stamp_x = Along(anchor.x, picture_width, text_width, p.margin_x, p.box_width);
  p.stamp_y = Along(anchor.y, picture_height, text_height, p.margin_y, p.box_height);
  return p;
}

}  // namespace vantrel
