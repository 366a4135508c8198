#pragma once
// Size and place of the stamp on the preview. The rules the preview shares
// with the generator's pictures are in shared/stamp_layout.h; its own are the
// size class by list index and the fixed vertical margin of "Large".

#include "platform/text.h"
#include "shared/stamp_layout.h"

namespace quorvel {

// List indexes of the size classes; no selection is -1.
inline constexpr int kSmallSizeIndex = 0;
inline constexpr int kLargeSizeIndex = 2;
// The vertical margin of "Large" in percent, whatever margin is chosen.
inline constexpr int kLargeMarginYPercent = 4;

// The preview's choices that decide where the text goes.
struct PreviewLayoutChoices {
  int size_index = 1;      // selected index of the size class list
  int margin_percent = 0;  // selected index of the margin list, which is the percent
  bool drop_shadow = false;
  int position_index = shared::kBottomRight;  // selected index of the position list
};

// 3 % for "Small", 7 % for "Large", 5 % for anything else (no selection too).
int PreviewStampPercent(int size_index);

// The font size in points for a preview `width` pixels wide.
int PreviewFontPoints(int width, int size_index);

// Where the text's cell goes on a `width` x `height` preview for a measured text.
shared::StampPlacement PlacePreviewText(int width, int height, platform::TextExtent text,
                                        const PreviewLayoutChoices& choices);

}  // namespace quorvel
