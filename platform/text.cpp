#include "platform/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_map>

#include "platform/text_engine.h"
#include "platform/text_face.h"
#include "platform/text_fallback.h"
#include "platform/text_utf8.h"

namespace platform {
namespace {

// A cell corner this far out cannot bring any glyph onto a bitmap (whose sides
// are ints), and keeps all pen arithmetic far from overflow.
constexpr std::int64_t kFarAway = std::int64_t{1} << 60;
// FreeType reports span columns as `short`.
constexpr std::int64_t kSpanLimit = SHRT_MAX;

// A horizontal stroke: its first row relative to the baseline (positive
// below) and its thickness in rows.
struct Stroke {
  int top = 0;
  int thickness = 1;
};

struct LineMetrics {
  int ascent = 0;
  int descent = 0;
  Stroke underline;
  Stroke strikeout;
};

struct Rgb {
  std::uint8_t r, g, b;
};

int CharHeight(int height) {
  if (height == 0) return kDefaultCharHeight;
  const long magnitude = std::labs(static_cast<long>(height));
  return static_cast<int>(std::min<long>(magnitude, kMaxCharHeight));
}

int RoundToInt(double value) {
  return static_cast<int>(std::lround(value));
}

// The cell follows the Windows metrics of the OS/2 table, which fonts make
// tall enough for all their glyphs; the ascender and descender of the
// horizontal header otherwise.
void CellMetrics(FT_Face face, const TT_OS2* os2, double scale, LineMetrics& metrics) {
  double ascent = face->ascender;
  double descent = -static_cast<double>(face->descender);
  if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  }
  metrics.ascent = std::max(1, static_cast<int>(std::ceil(ascent * scale)));
  metrics.descent = std::max(0, static_cast<int>(std::ceil(descent * scale)));
}

// Underline from the post table (its position is the stroke's centre),
// strike-out from the OS/2 table (its position is the stroke's top); a font
// without them gets strokes of a fourteenth of the em, the underline halfway
// down the descent and the strike-out about half the x-height up.
void StrokeMetrics(FT_Face face, const TT_OS2* os2, double scale, int pixels,
                   LineMetrics& metrics) {
  Stroke& under = metrics.underline;
  if (face->underline_thickness > 0) {
    under.thickness = std::max(1, RoundToInt(face->underline_thickness * scale));
    under.top = RoundToInt(-face->underline_position * scale) - under.thickness / 2;
  } else {
    under.thickness = std::max(1, RoundToInt(pixels / 14.0));
    under.top = (metrics.descent + 1) / 2 - under.thickness / 2;
  }
  Stroke& strike = metrics.strikeout;
  if (os2 != nullptr && os2->yStrikeoutSize > 0) {
    strike.thickness = std::max(1, RoundToInt(os2->yStrikeoutSize * scale));
    strike.top = -RoundToInt(os2->yStrikeoutPosition * scale);
  } else {
    strike.thickness = under.thickness;
    strike.top = -RoundToInt(pixels * 0.26) - strike.thickness / 2;
  }
}

LineMetrics MetricsOf(FT_Face face, int pixels) {
  const double scale = static_cast<double>(pixels) / face->units_per_EM;
  auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version == 0xFFFF) os2 = nullptr;  // a Mac font's dummy
  LineMetrics metrics;
  CellMetrics(face, os2, scale, metrics);
  StrokeMetrics(face, os2, scale, pixels, metrics);
  return metrics;
}

std::uint8_t Blend(std::uint8_t below, std::uint8_t paint, unsigned coverage) {
  return static_cast<std::uint8_t>((below * (255u - coverage) + paint * coverage + 127u) / 255u);
}

void BlendPixel(std::uint8_t* pixel, const Rgb& colour, unsigned coverage) {
  pixel[0] = Blend(pixel[0], colour.r, coverage);
  pixel[1] = Blend(pixel[1], colour.g, coverage);
  pixel[2] = Blend(pixel[2], colour.b, coverage);
}

// Where the rasteriser's spans of one glyph go: glyph point (0, 0) is the
// pen position on the baseline, and glyph rows count upwards.
struct SpanTarget {
  Bitmap* bitmap;
  std::int64_t pen;
  std::int64_t baseline;
  Rgb colour;
};

void BlendSpans(int y, int count, const FT_Span* spans, void* user) {
  const auto& target = *static_cast<const SpanTarget*>(user);
  Bitmap& bitmap = *target.bitmap;
  const std::int64_t row = target.baseline - 1 - y;
  if (row < 0 || row >= bitmap.height) return;
  std::uint8_t* line = bitmap.row(static_cast<int>(row));
  for (int i = 0; i < count; ++i) {
    const std::int64_t start = std::max<std::int64_t>(target.pen + spans[i].x, 0);
    const std::int64_t end =
        std::min<std::int64_t>(target.pen + spans[i].x + spans[i].len, bitmap.width);
    for (std::int64_t column = start; column < end; ++column) {
      BlendPixel(line + column * 3, target.colour, spans[i].coverage);
    }
  }
}

// Paints rows [top, bottom) and columns [left, right), as far as they lie on
// the bitmap.
void FillRect(Bitmap& bitmap, std::int64_t left, std::int64_t top, std::int64_t right,
              std::int64_t bottom, const Rgb& colour) {
  left = std::max<std::int64_t>(left, 0);
  top = std::max<std::int64_t>(top, 0);
  right = std::min<std::int64_t>(right, bitmap.width);
  bottom = std::min<std::int64_t>(bottom, bitmap.height);
  for (std::int64_t row = top; row < bottom; ++row) {
    std::uint8_t* line = bitmap.row(static_cast<int>(row));
    for (std::int64_t column = left; column < right; ++column)
      BlendPixel(line + column * 3, colour, 255);
  }
}

}  // namespace

FontError::FontError(const std::string& face)
    : Error("No usable font found for face \"" + face + "\"") {}

struct Font::Impl {
  SizedFace chosen;
  int pixels = kDefaultCharHeight;
  bool underline = false;
  bool strikeout = false;
  LineMetrics metrics;
  std::unique_ptr<FallbackFaces> fallback;
  mutable std::unordered_map<char32_t, CachedGlyph> glyphs;

  CachedGlyph LoadGlyph(char32_t code) const;
  const CachedGlyph& GlyphFor(char32_t code) const;
  std::int64_t AdvanceSum(const std::u32string& codes) const;
  void DrawGlyph(Bitmap& target, const CachedGlyph& glyph, std::int64_t pen, std::int64_t baseline,
                 const Rgb& colour) const;
  void DrawStrokes(Bitmap& target, std::int64_t x, std::int64_t y, std::int64_t width,
                   const Rgb& colour) const;
};

// A character no font can draw is drawn as the chosen face's missing-glyph
// symbol.
CachedGlyph Font::Impl::LoadGlyph(char32_t code) const {
  const FT_UInt index = chosen.GlyphIndex(code);
  if (index == 0) {
    if (std::optional<CachedGlyph> borrowed = fallback->GlyphFor(code)) return std::move(*borrowed);
  }
  if (std::optional<CachedGlyph> own = chosen.LoadGlyph(index)) return std::move(*own);
  if (index == 0) return {};
  std::optional<CachedGlyph> missing = chosen.LoadGlyph(0);
  return missing ? std::move(*missing) : CachedGlyph{};
}

const CachedGlyph& Font::Impl::GlyphFor(char32_t code) const {
  const auto found = glyphs.find(code);
  if (found != glyphs.end()) return found->second;
  return glyphs.emplace(code, LoadGlyph(code)).first->second;
}

std::int64_t Font::Impl::AdvanceSum(const std::u32string& codes) const {
  std::int64_t sum = 0;
  for (const char32_t code : codes) sum += GlyphFor(code).advance;
  return sum;
}

// The rasteriser paints straight into the bitmap, clipped to the part of the
// bitmap that the glyph covers: no glyph image is made, whatever the size.
void Font::Impl::DrawGlyph(Bitmap& target, const CachedGlyph& glyph, std::int64_t pen,
                           std::int64_t baseline, const Rgb& colour) const {
  if (!glyph.glyph) return;
  const FT_BBox& box = glyph.box;
  FT_BBox clip;
  clip.xMin = std::max<std::int64_t>({box.xMin, -pen, -kSpanLimit});
  clip.xMax = std::min<std::int64_t>({box.xMax, target.width - pen, kSpanLimit});
  clip.yMin = std::max<std::int64_t>(box.yMin, baseline - target.height);
  clip.yMax = std::min<std::int64_t>(box.yMax, baseline);
  if (clip.xMin >= clip.xMax || clip.yMin >= clip.yMax) return;
  SpanTarget span_target{&target, pen, baseline, colour};
  FT_Raster_Params params{};
  FT_Outline& outline = reinterpret_cast<FT_OutlineGlyph>(glyph.glyph.get())->outline;
  params.source = &outline;
  params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
  params.gray_spans = BlendSpans;
  params.user = &span_target;
  params.clip_box = clip;
  RenderOutline(outline, params);
}

// Strokes span the text's advance and stay inside its cell.
void Font::Impl::DrawStrokes(Bitmap& target, std::int64_t x, std::int64_t y, std::int64_t width,
                             const Rgb& colour) const {
  const std::int64_t baseline = y + metrics.ascent;
  const std::int64_t cell_bottom = baseline + metrics.descent;
  for (const auto& [wanted, stroke] :
       {std::pair{underline, metrics.underline}, std::pair{strikeout, metrics.strikeout}}) {
    if (!wanted) continue;
    const std::int64_t top = std::max(baseline + stroke.top, y);
    const std::int64_t bottom = std::min(baseline + stroke.top + stroke.thickness, cell_bottom);
    FillRect(target, x, top, x + width, bottom, colour);
  }
}

Font::Font(const FontSpec& spec) : impl_(std::make_unique<Impl>()) {
  const std::string face = CutFaceName(spec.face, kMaxFaceNameBytes);
  impl_->pixels = CharHeight(spec.height);
  impl_->underline = spec.underline;
  impl_->strikeout = spec.strikeout;
  // The best match first; the whole ranked list only when it cannot be used.
  for (const bool all : {false, true}) {
    for (const FontChoice& choice : MatchFonts(face, spec.bold, spec.italic, all)) {
      if (!impl_->chosen.Open(choice, impl_->pixels, spec.bold, spec.italic)) continue;
      impl_->metrics = MetricsOf(impl_->chosen.face.get(), impl_->pixels);
      impl_->fallback = std::make_unique<FallbackFaces>(face, impl_->pixels, spec.bold, spec.italic,
                                                        impl_->chosen);
      return;
    }
  }
  throw FontError(face);
}

Font::~Font() = default;
Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;

TextExtent Font::Measure(std::string_view text) const {
  const std::int64_t width = impl_->AdvanceSum(DecodeTextBytes(text));
  return TextExtent{static_cast<int>(std::clamp<std::int64_t>(width, 0, INT_MAX)),
                    impl_->metrics.ascent + impl_->metrics.descent};
}

void Font::Draw(Bitmap& target, std::int64_t x, std::int64_t y, std::string_view text,
                ColorRef colour) const {
  if (text.empty() || target.width <= 0 || target.height <= 0) return;
  // A bitmap whose pixels do not match its size gets nothing rather than a
  // write past its end.
  if (target.pixels.size() < target.stride() * static_cast<std::size_t>(target.height)) return;
  if (x <= -kFarAway || x >= kFarAway || y <= -kFarAway || y >= kFarAway) return;
  const Rgb rgb{RedOf(colour), GreenOf(colour), BlueOf(colour)};
  const std::u32string codes = DecodeTextBytes(text);
  const std::int64_t baseline = y + impl_->metrics.ascent;
  // No glyph inks further left of its pen than this, so once the pen is this
  // far beyond the right edge nothing more can show.
  const std::int64_t reach = 4 * std::int64_t{impl_->pixels} + 64;
  std::int64_t pen = x;
  for (const char32_t code : codes) {
    if (pen - reach >= target.width) break;
    const CachedGlyph& glyph = impl_->GlyphFor(code);
    impl_->DrawGlyph(target, glyph, pen, baseline, rgb);
    pen += glyph.advance;
  }
  if (impl_->underline || impl_->strikeout) {
    impl_->DrawStrokes(target, x, y, impl_->AdvanceSum(codes), rgb);
  }
}

const std::string& Font::file() const {
  return impl_->chosen.file;
}
int Font::ascent() const {
  return impl_->metrics.ascent;
}
int Font::descent() const {
  return impl_->metrics.descent;
}

}  // namespace platform

namespace platform {

TextEngineWarmUp::TextEngineWarmUp() : thread_(StartTextEngine) {}

TextEngineWarmUp::~TextEngineWarmUp() {
  thread_.join();
}

}  // namespace platform
