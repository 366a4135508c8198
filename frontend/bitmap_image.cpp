#include "frontend/bitmap_image.h"

#include <cstring>

namespace quorvel {

platform::Bitmap BitmapFromImage(const QImage& image) {
  if (image.isNull()) return {};
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  platform::Bitmap bitmap(rgb.width(), rgb.height());
  // Qt pads every row to four bytes; the bitmap's rows are packed.
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(bitmap.row(y), rgb.constScanLine(y), bitmap.stride());
  }
  return bitmap;
}

QImage ImageFromBitmap(const platform::Bitmap& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0) return {};
  if (bitmap.pixels.size() < bitmap.stride() * static_cast<std::size_t>(bitmap.height)) return {};
  QImage image(bitmap.width, bitmap.height, QImage::Format_RGB888);
  for (int y = 0; y < bitmap.height; ++y) {
    std::memcpy(image.scanLine(y), bitmap.row(y), bitmap.stride());
  }
  return image;
}

}  // namespace quorvel
