#pragma once
// Between Qt's pictures and the text engine's 24-bit bitmaps: the sample is
// loaded by Qt, the stamp drawn by the engine, and the preview shown by Qt.

#include <QImage>

#include "platform/bitmap.h"

namespace quorvel {

// A copy of `image` in 24-bit colour (any alpha dropped); a null image gives
// an empty bitmap.
platform::Bitmap BitmapFromImage(const QImage& image);

// A copy of `bitmap` that owns its pixels; a null image when the bitmap holds
// fewer pixels than its size says.
QImage ImageFromBitmap(const platform::Bitmap& bitmap);

}  // namespace quorvel
