#include "platform/text_face.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

namespace platform {
namespace {

// Shear of a synthesised italic, tan 12 degrees in 16.16, as FreeType's own.
constexpr FT_Fixed kObliqueShear = 0x0366A;

// Whether the face is bold or italic by itself, from its own tables rather
// than from fontconfig, whose configuration may already have marked a face
// for synthesis.
bool FaceIsBold(FT_Face face) {
  auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass != 0) {
    return os2->usWeightClass >= 600;
  }
  return (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
}

bool FaceIsItalic(FT_Face face) {
  return (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
}

}  // namespace

bool SizedFace::Open(const FontChoice& choice, int pixels, bool bold, bool italic) {
  FacePtr candidate = OpenFace(choice.file, choice.index);
  if (!candidate || !FT_IS_SCALABLE(candidate.get()) || candidate->units_per_EM == 0 ||
      FT_Set_Pixel_Sizes(candidate.get(), 0, static_cast<FT_UInt>(pixels)) != 0) {
    return false;
  }
  // Symbol fonts map their characters at U+F000 and up only. A face opened
  // before keeps the map chosen then.
  if (candidate->charmap == nullptr) FT_Select_Charmap(candidate.get(), FT_ENCODING_MS_SYMBOL);
  symbol_map =
      candidate->charmap != nullptr && candidate->charmap->encoding == FT_ENCODING_MS_SYMBOL;
  face = std::move(candidate);
  file = choice.file;
  index = choice.index;
  embolden = bold && !FaceIsBold(face.get());
  slant = italic && !FaceIsItalic(face.get());
  return true;
}

FT_UInt SizedFace::GlyphIndex(char32_t code) const {
  FT_UInt glyph = FT_Get_Char_Index(face.get(), code);
  if (glyph == 0 && symbol_map && code < 0x100)
    glyph = FT_Get_Char_Index(face.get(), 0xF000 + code);
  return glyph;
}

void SizedFace::Synthesise(FT_Outline& outline, FT_Pos& advance) const {
  if (slant) {
    FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
    FT_Outline_Transform(&outline, &shear);
  }
  if (embolden) {
    // FreeType's strength; the outline grows by it in both directions, half
    // of the growth in height going below the original.
    const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
    FT_Outline_EmboldenXY(&outline, strength, strength);
    FT_Outline_Translate(&outline, 0, -strength / 2);
    advance += strength;
  }
}

std::optional<CachedGlyph> SizedFace::LoadGlyph(FT_UInt glyph_index) const {
  if (FT_Load_Glyph(face.get(), glyph_index, FT_LOAD_NO_BITMAP) != 0) return std::nullopt;
  CachedGlyph cached;
  FT_GlyphSlot slot = face->glyph;
  FT_Pos advance = slot->advance.x;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    Synthesise(slot->outline, advance);
    FT_Glyph glyph = nullptr;
    if (FT_Get_Glyph(slot, &glyph) == 0) {
      cached.glyph.reset(glyph);
      FT_Outline_Get_CBox(&slot->outline, &cached.box);
      cached.box.xMin = cached.box.xMin >> 6;  // floor
      cached.box.yMin = cached.box.yMin >> 6;
      cached.box.xMax = (cached.box.xMax + 63) >> 6;  // ceiling
      cached.box.yMax = (cached.box.yMax + 63) >> 6;
    }
  }
  cached.advance = static_cast<int>((advance + 32) >> 6);
  return cached;
}

}  // namespace platform
