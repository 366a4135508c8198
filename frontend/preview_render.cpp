#include "frontend/preview_render.h"

#include "shared/stamp_layout.h"

namespace quorvel {

platform::FontSpec PreviewFontSpec(const PreviewInputs& inputs, int width) {
  const int points = PreviewFontPoints(width, inputs.size_index);
  return {inputs.face,      shared::CharHeightForPoints(points),
          inputs.bold,      inputs.italic,
          inputs.underline, inputs.strikeout};
}

PreviewRendering RenderPreview(const platform::Bitmap& sample, const PreviewInputs& inputs) {
  const int width = sample.width;
  const int height = sample.height;
  const platform::Font font(PreviewFontSpec(inputs, width));

  PreviewRendering rendering;
  rendering.font_points = PreviewFontPoints(width, inputs.size_index);
  rendering.extent = font.Measure(inputs.text);
  const PreviewLayoutChoices layout{inputs.size_index, inputs.margin_index, inputs.drop_shadow,
                                    inputs.position_index};
  rendering.placement = PlacePreviewText(width, height, rendering.extent, layout);

  rendering.picture = sample;
  shared::DrawStamp(rendering.picture, font, inputs.text, rendering.placement,
                    {inputs.text_colour, inputs.shadow_colour});
  return rendering;
}

}  // namespace quorvel
