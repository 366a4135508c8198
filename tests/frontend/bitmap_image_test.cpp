#include "frontend/bitmap_image.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(BitmapImage, RoundTripKeepsEveryPixelWhateverTheRowPadding) {
  // 5 pixels make 15 bytes a row, which Qt pads to 16.
  for (const QImage::Format format :
       {QImage::Format_RGB888, QImage::Format_RGB32, QImage::Format_ARGB32}) {
    QImage image(5, 3, format);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(x * 50, y * 100, 7 + x + y));
    }
    const platform::Bitmap bitmap = BitmapFromImage(image);
    ASSERT_EQ(bitmap.width, 5);
    ASSERT_EQ(bitmap.height, 3);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        const std::uint8_t* pixel = bitmap.row(y) + x * 3;
        EXPECT_EQ(pixel[0], x * 50) << format;
        EXPECT_EQ(pixel[1], y * 100) << format;
        EXPECT_EQ(pixel[2], 7 + x + y) << format;
      }
    }
    const QImage back = ImageFromBitmap(bitmap);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) EXPECT_EQ(back.pixel(x, y), image.pixel(x, y) | 0xFF000000u);
    }
  }
}

TEST(BitmapImage, EmptyOrShortPicturesGiveNothing) {
  EXPECT_TRUE(BitmapFromImage(QImage()).pixels.empty());
  EXPECT_TRUE(ImageFromBitmap(platform::Bitmap()).isNull());
  platform::Bitmap short_of_pixels(4, 4);
  short_of_pixels.pixels.resize(10);
  EXPECT_TRUE(ImageFromBitmap(short_of_pixels).isNull());
}

}  // namespace
}  // namespace quorvel
