#pragma once
// Size and place of the stamp on a picture, from the settings as the
// generator reads them. The rules it shares with the preview are in
// shared/stamp_layout.h.

#include <string>

#include "shared/stamp_layout.h"

namespace vantrel {

// The font size in points: 3 % ("0"), 7 % ("2") or else 5 % of the width,
// less 30 % of that.
int StampFontSizeFor(int picture_width, const std::string& stamp_size);

// Where the text's cell goes (stamp_x, stamp_y: its top-left corner) for a
// measured text of `text_width` x `text_height`. The result may lie partly or
// wholly outside the picture.
shared::StampPlacement PlaceStamp(int picture_width, int picture_height, int text_width,
                                  int text_height, int border_margin, bool drop_shadow,
                                  const std::string& txt_position);

}  // namespace vantrel
