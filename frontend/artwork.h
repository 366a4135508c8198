#pragma once

#include <QString>

namespace quorvel {

// Registers the pictures of frontend/artwork.qrc. They live in a static
// library, whose resource object the linker keeps only when something refers
// to it; call this once before the first picture is loaded. Calling it again
// does no harm.
void initArtwork();

// The resource path of one picture, e.g. artworkPath("sample.png") is
// ":/artwork/sample.png".
QString artworkPath(const char* fileName);

}  // namespace quorvel
