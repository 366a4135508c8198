#include "artwork.h"

#include <QtCore/qglobal.h>

// The registration macro declares a function of the global namespace, so it
// cannot be used inside ours.
static void registerArtworkResource() {
  Q_INIT_RESOURCE(artwork);
}

namespace quorvel {

void initArtwork() {
  registerArtworkResource();
}

QString artworkPath(const char* fileName) {
  return QStringLiteral(":/artwork/") + QString::fromUtf8(fileName);
}

}  // namespace quorvel
