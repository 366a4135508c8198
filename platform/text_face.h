#pragma once
// One font face opened at the text's pixel size, with the bold and italic it
// must synthesise, and the glyph outlines it gives for drawing.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <memory>
#include <optional>
#include <string>

#include "platform/text_engine.h"

namespace platform {

struct GlyphDeleter {
  void operator()(FT_Glyph glyph) const { FT_Done_Glyph(glyph); }
};
using GlyphPtr = std::unique_ptr<FT_GlyphRec_, GlyphDeleter>;

struct CachedGlyph {
  GlyphPtr glyph;   // an outline glyph; null when there is nothing to draw
  int advance = 0;  // whole pixels
  FT_BBox box{};    // whole pixels enclosing the outline, y upwards
};

struct SizedFace {
  FacePtr face;
  std::string file;
  int index = 0;
  bool embolden = false;
  bool slant = false;
  bool symbol_map = false;

  // False when FreeType cannot use the file at `pixels`.
  bool Open(const FontChoice& choice, int pixels, bool bold, bool italic);
  // 0 when the face has no glyph for `code`.
  FT_UInt GlyphIndex(char32_t code) const;
  // Nothing when FreeType cannot load glyph `index`.
  std::optional<CachedGlyph> LoadGlyph(FT_UInt index) const;

 private:
  void Synthesise(FT_Outline& outline, FT_Pos& advance) const;
};

}  // namespace platform
