#pragma once
// The process-wide font machinery behind `text` and `desktop_fonts`: one
// FreeType library and one fontconfig configuration, made at first use and
// kept until the process ends, and the font files added through the per-user
// font registry.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_IMAGE_H

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// Makes the FreeType library and loads the fontconfig configuration, if that
// has not happened yet. Safe from any thread; a caller that comes while
// another thread does it waits for it.
void StartTextEngine();

// What font matching chose for a face name and style.
struct FontChoice {
  std::string file;
  int index = 0;          // face index in the file, as FT_New_Face takes it
  bool embolden = false;  // bold asked for, the face is lighter
  bool slant = false;     // italic asked for, the face is upright
};

// Closes a face under the library's lock.
struct FaceCloser {
  void operator()(FT_Face face) const;
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceCloser>;

// The font fontconfig picks for `family` (empty: the default face) in the
// style asked for: a family that is not installed gets fontconfig's
// substitute, a family without that style its nearest face. With `all`, every
// candidate follows in order of preference, for when the best cannot be used.
// Fonts of the registry win a tie with installed ones, so that a registered
// copy of an installed font is the one used.
std::vector<FontChoice> MatchFonts(const std::string& family, bool bold, bool italic, bool all);

// The fonts MatchFonts ranks with `all`, each with the characters its map
// claims, for finding the first one that can draw a character the chosen face
// lacks. Colour fonts are left out: their glyphs are pictures, not outlines.
class FontRanking {
 public:
  FontRanking(const std::string& family, bool bold, bool italic);
  ~FontRanking();
  FontRanking(const FontRanking&) = delete;
  FontRanking& operator=(const FontRanking&) = delete;

  std::size_t size() const;
  const FontChoice& choice(std::size_t rank) const;
  // A font file may claim what it cannot draw: the claim is only a hint.
  bool Claims(std::size_t rank, char32_t code) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Opens face `index` of `file`; null when FreeType cannot read it. A face of
// that file closed lately may be handed out again (idle_faces.h): its size is
// then whatever it was last set to.
FacePtr OpenFace(const std::string& file, int index);

// FT_Outline_Render on the shared library.
void RenderOutline(FT_Outline& outline, FT_Raster_Params& params);

// The number of faces in a font file; 0 when it is no font FreeType can read.
int CountFontFaces(const std::string& file);

// Family names of every installed and registered font, sorted without regard
// to ASCII case, each once.
std::vector<std::string> ListFontFamilies();

}  // namespace platform
