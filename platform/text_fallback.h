#pragma once
// The fonts that draw the characters a text's chosen face has no glyph for.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/text_engine.h"
#include "platform/text_face.h"

namespace platform {

// For each character, the first font in fontconfig's order for the chosen
// face name and style that really has its glyph, at the same size and with
// the same bold and italic. The order is looked up at the first character the
// chosen face lacks, and each font is opened once, when first needed, so text
// the chosen face covers costs nothing more.
class FallbackFaces {
 public:
  FallbackFaces(std::string family, int pixels, bool bold, bool italic, const SizedFace& chosen);

  // Nothing when no usable font has a glyph for `code`.
  std::optional<CachedGlyph> GlyphFor(char32_t code);

 private:
  const SizedFace* FaceAt(std::size_t rank);

  std::string family_;
  int pixels_;
  bool bold_, italic_;
  std::string chosen_file_;
  int chosen_index_;
  std::unique_ptr<FontRanking> ranking_;
  std::unordered_map<std::size_t, std::unique_ptr<SizedFace>> faces_;  // null: cannot be used
};

}  // namespace platform
