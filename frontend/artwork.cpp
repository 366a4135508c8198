#include "artwork.h"

#include <QtCore/qglobal.h>

#include "frontend/qt_convert.h"

// The registration macro declares a function of the global namespace, so it
// cannot be used inside ours.
static void RegisterArtworkResource() {
  Q_INIT_RESOURCE(artwork);
}

namespace quorvel {

void InitArtwork() {
  RegisterArtworkResource();
}

QString ArtworkPath(std::string_view file_name) {
  return QStringLiteral(":/artwork/") + ToQString(file_name);
}

}  // namespace quorvel
