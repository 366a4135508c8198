#include "generator/stamp_geometry.h"

#include <cstdint>

#include "shared/sysconfig.h"

namespace vantrel {

namespace {

// The positions are stored as their list index in text; only the exact
// digits name one, anything else is bottom right.
int PositionIndexOf(const std::string& txt_position) {
  if (txt_position.size() == 1 && txt_position[0] >= '0' && txt_position[0] <= '8') {
    return txt_position[0] - '0';
  }
  return shared::kBottomRight;
}

}  // namespace

int StampFontSizeFor(int picture_width, const std::string& stamp_size) {
  int percent = shared::kMediumStampPercent;
  if (stamp_size == shared::SysConfig::SmallStamp) percent = shared::kSmallStampPercent;
  if (stamp_size == shared::SysConfig::LargeStamp) percent = shared::kLargeStampPercent;
  return shared::StampPointsFor(picture_width, percent);
}

shared::StampPlacement PlaceStamp(int picture_width, int picture_height, int text_width,
                                  int text_height, int border_margin, bool drop_shadow,
                                  const std::string& txt_position) {
  const std::int64_t margin_x = std::int64_t{picture_width} * border_margin / 100;
  const std::int64_t margin_y = std::int64_t{picture_height} * border_margin / 100;
  return shared::PlaceTextCell(picture_width, picture_height, text_width, text_height, margin_x,
                               margin_y, drop_shadow, PositionIndexOf(txt_position));
}

}  // namespace vantrel
