#pragma once

#include <QString>
#include <string_view>

namespace quorvel {

// Registers the pictures of frontend/artwork.qrc. They live in a static
// library, whose resource object the linker keeps only when something refers
// to it; call this once before the first picture is loaded. Calling it again
// does no harm.
void InitArtwork();

// The resource path of one picture, e.g. ArtworkPath("sample.png") is
// ":/artwork/sample.png".
QString ArtworkPath(std::string_view file_name);

}  // namespace quorvel
