#include "frontend/preview_geometry.h"

#include <cstdint>

namespace quorvel {

int PreviewStampPercent(int size_index) {
  if (size_index == kSmallSizeIndex) return shared::kSmallStampPercent;
  if (size_index == kLargeSizeIndex) return shared::kLargeStampPercent;
  return shared::kMediumStampPercent;
}

int PreviewFontPoints(int width, int size_index) {
  return shared::StampPointsFor(width, PreviewStampPercent(size_index));
}

shared::StampPlacement PlacePreviewText(int width, int height, platform::TextExtent text,
                                        const PreviewLayoutChoices& choices) {
  const std::int64_t margin_x = std::int64_t{width} * choices.margin_percent / 100;
  // The vertical margin of "Large" does not follow the margin choice.
  const std::int64_t margin_y_percent =
      choices.size_index == kLargeSizeIndex ? kLargeMarginYPercent : choices.margin_percent;
  const std::int64_t margin_y = std::int64_t{height} * margin_y_percent / 100;
  return shared::PlaceTextCell(width, height, text.width, text.height, margin_x, margin_y,
                               choices.drop_shadow, choices.position_index);
}

}  // namespace quorvel
