#pragma once
// Stands in for GDI's font and text output (LOGFONT, CreateFontIndirectA,
// GetTextExtentPoint32A, SetBkMode TRANSPARENT, ExtTextOutA): one-line text
// measured and drawn onto a 24-bit bitmap, the same way for the generator's
// pictures and the front-end's preview.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "platform/bitmap.h"
#include "platform/errors.h"

namespace platform {

// A face name is cut to this many bytes, as the face field of a LOGFONT.
inline constexpr std::size_t kMaxFaceNameBytes = 31;
// The character height that a height of 0 stands for.
inline constexpr int kDefaultCharHeight = 16;
// Heights beyond this are drawn at this height. The largest picture JPEG can
// hold asks for about half of it.
inline constexpr int kMaxCharHeight = 8192;

struct FontSpec {
  std::string face;  // cut to kMaxFaceNameBytes; empty: the default face
  int height = 0;    // em size in pixels; 0: kDefaultCharHeight; negative: its magnitude
  bool bold = false, italic = false, underline = false, strikeout = false;
};

struct TextExtent {
  int width = 0;
  int height = 0;
};

// Not a single font file on the system could be used.
class FontError : public Error {
 public:
  explicit FontError(const std::string& face);
};

// A font made from a FontSpec. The face is found by name through fontconfig,
// looking also at the fonts of the per-user registry (desktop_fonts.h); a face
// that is not there is replaced by fontconfig's choice, and bold or italic that
// the family lacks is synthesised. A character the face has no glyph for is
// drawn from another installed font that has one (text_fallback.h); the cell,
// underline and strike-out stay the face's own. One Font must not be used by
// two threads at once; different Fonts may.
class Font {
 public:
  explicit Font(const FontSpec& spec);  // throws FontError
  ~Font();
  Font(Font&&) noexcept;
  Font& operator=(Font&&) noexcept;
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // The sum of the characters' advances (no kerning) and the cell height,
  // ascent plus descent. Text bytes are UTF-8; a byte that is not part of a
  // well-formed sequence is taken as a Latin-1 character.
  TextExtent Measure(std::string_view text) const;

  // Draws `text` in one line with its cell's top-left corner at (x, y), the
  // baseline at y + ascent(). Only the glyphs (and underline, strike-out) are
  // painted, blended by their anti-aliased coverage; the rest of the bitmap is
  // left as it is. Whatever falls outside the bitmap is cut off.
  void Draw(Bitmap& target, std::int64_t x, std::int64_t y, std::string_view text,
            ColorRef colour) const;

  const std::string& file() const;  // the font file in use
  int ascent() const;
  int descent() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Loads the font configuration on another thread while the caller goes on
// (decoding a picture, say), so that the first Font made later need not wait
// the several milliseconds that takes. The destructor waits for that thread.
class TextEngineWarmUp {
 public:
  TextEngineWarmUp();
  ~TextEngineWarmUp();
  TextEngineWarmUp(const TextEngineWarmUp&) = delete;
  TextEngineWarmUp& operator=(const TextEngineWarmUp&) = delete;

 private:
  std::thread thread_;
};

}  // namespace platform
