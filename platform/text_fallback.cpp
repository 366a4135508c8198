#include "platform/text_fallback.h"

#include <utility>

namespace platform {

FallbackFaces::FallbackFaces(std::string family, int pixels, bool bold, bool italic,
                             const SizedFace& chosen)
    : family_(std::move(family)),
      pixels_(pixels),
      bold_(bold),
      italic_(italic),
      chosen_file_(chosen.file),
      chosen_index_(chosen.index) {}

std::optional<CachedGlyph> FallbackFaces::GlyphFor(char32_t code) {
  if (!ranking_) ranking_ = std::make_unique<FontRanking>(family_, bold_, italic_);
  for (std::size_t rank = 0; rank < ranking_->size(); ++rank) {
    if (!ranking_->Claims(rank, code)) continue;
    const SizedFace* face = FaceAt(rank);
    if (face == nullptr) continue;
    const FT_UInt index = face->GlyphIndex(code);
    if (index == 0) continue;
    if (std::optional<CachedGlyph> glyph = face->LoadGlyph(index)) return glyph;
  }
  return std::nullopt;
}

// The chosen face is never its own fallback: it has already said no.
const SizedFace* FallbackFaces::FaceAt(std::size_t rank) {
  auto [place, added] = faces_.try_emplace(rank);
  if (!added) return place->second.get();
  const FontChoice& choice = ranking_->choice(rank);
  if (choice.file == chosen_file_ && choice.index == chosen_index_) return nullptr;
  auto face = std::make_unique<SizedFace>();
  if (face->Open(choice, pixels_, bold_, italic_)) place->second = std::move(face);
  return place->second.get();
}

}  // namespace platform
