#pragma once
// Draws the preview: the stamp on a fresh copy of the sample picture, with the
// same text engine, face lookup and drawing step as the generator's pictures.

#include <string>

#include "frontend/preview_geometry.h"
#include "platform/bitmap.h"
#include "platform/text.h"

namespace quorvel {

// The size of the sample picture, and so of the preview.
inline constexpr int kPreviewWidth = 518;
inline constexpr int kPreviewHeight = 345;

// Everything a rendering reads from the main window.
struct PreviewInputs {
  std::string text;  // the user's text, or the date text
  std::string face;  // the selected face name, passed on unchanged
  int size_index = 1;
  bool bold = false, italic = false, underline = false, strikeout = false;
  platform::ColorRef text_colour = 0;
  platform::ColorRef shadow_colour = 0;
  bool drop_shadow = false;
  int margin_index = 0;  // the margin in percent
  int position_index = shared::kBottomRight;
};

struct PreviewRendering {
  platform::Bitmap picture;  // the sample with the stamp drawn on it
  platform::TextExtent extent;
  int font_points = 0;
  shared::StampPlacement placement{};
};

// The font the preview draws with for a preview `width` pixels wide.
platform::FontSpec PreviewFontSpec(const PreviewInputs& inputs, int width);

// The stamp on a copy of `sample`; `sample` itself is never drawn on. The
// preview's size is the sample's. Throws platform::FontError when no font at
// all can be used.
PreviewRendering RenderPreview(const platform::Bitmap& sample, const PreviewInputs& inputs);

}  // namespace quorvel
