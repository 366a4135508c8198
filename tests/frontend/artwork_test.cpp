// The window finds its pictures by resource path alone, so a missing or
// mis-sized picture would only show as a blank or squeezed control.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <cmath>
#include <ostream>
#include <string>

#include "frontend/artwork.h"

namespace {

struct ArtworkCase {
  const char* name;
  int width;
  int height;
};

void PrintTo(const ArtworkCase& art, std::ostream* out) {
  *out << art.name;
}

QImage LoadArtwork(const char* name) {
  quorvel::InitArtwork();
  return QImage(quorvel::ArtworkPath(name));
}

class ArtworkSize : public testing::TestWithParam<ArtworkCase> {};

TEST_P(ArtworkSize, LoadsAtTheSizeItsControlHas) {
  const ArtworkCase& art = GetParam();
  const QImage image = LoadArtwork(art.name);
  ASSERT_FALSE(image.isNull()) << art.name;
  EXPECT_EQ(image.width(), art.width) << art.name;
  EXPECT_EQ(image.height(), art.height) << art.name;
}

INSTANTIATE_TEST_SUITE_P(
    Artwork, ArtworkSize,
    testing::Values(ArtworkCase{"app_icon.png", 48, 48}, ArtworkCase{"add_new.png", 32, 32},
                    ArtworkCase{"reset_list.png", 32, 32}, ArtworkCase{"help.png", 32, 32},
                    ArtworkCase{"my_text.png", 32, 32}, ArtworkCase{"output_disk.png", 48, 48},
                    ArtworkCase{"my_text_decoration.png", 64, 64},
                    ArtworkCase{"sample.png", 518, 345}, ArtworkCase{"tab_day.png", 45, 17},
                    ArtworkCase{"tab_month.png", 45, 17}, ArtworkCase{"tab_year.png", 45, 17},
                    ArtworkCase{"tab_time.png", 45, 17}, ArtworkCase{"tab_day_grey.png", 45, 17},
                    ArtworkCase{"tab_month_grey.png", 45, 17},
                    ArtworkCase{"tab_year_grey.png", 45, 17},
                    ArtworkCase{"tab_time_grey.png", 45, 17}),
    [](const testing::TestParamInfo<ArtworkCase>& param_info) {
      std::string name = param_info.param.name;
      return name.substr(0, name.find('.'));
    });

// The mean colour of the tab's middle row, where ground and label meet.
QColor MiddleRowMean(const QImage& image) {
  const int row = image.height() / 2;
  long red = 0;
  long green = 0;
  long blue = 0;
  for (int x = 0; x < image.width(); ++x) {
    const QColor pixel = image.pixelColor(x, row);
    red += pixel.red();
    green += pixel.green();
    blue += pixel.blue();
  }
  const long count = image.width();
  return {static_cast<int>(red / count), static_cast<int>(green / count),
          static_cast<int>(blue / count)};
}

TEST(ArtworkTabs, HighlightedTabsAreBlueAndTheOthersGrey) {
  for (const char* tab : {"day", "month", "year", "time"}) {
    const QColor highlighted =
        MiddleRowMean(LoadArtwork(QString("tab_%1.png").arg(tab).toUtf8().constData()));
    const QColor grey =
        MiddleRowMean(LoadArtwork(QString("tab_%1_grey.png").arg(tab).toUtf8().constData()));
    EXPECT_GT(highlighted.blue(), highlighted.red() + 60) << tab;
    EXPECT_LT(std::abs(grey.blue() - grey.red()), 12) << tab;
    EXPECT_LT(std::abs(grey.green() - grey.red()), 12) << tab;
  }
}

TEST(ArtworkSample, IsOpaqueAndDetailedWhereTheStampUsuallyLands) {
  const QImage sample = LoadArtwork("sample.png");
  ASSERT_FALSE(sample.isNull());
  EXPECT_FALSE(sample.hasAlphaChannel());

  const QImage corner = sample.copy(sample.width() / 2, sample.height() * 3 / 4, sample.width() / 2,
                                    sample.height() / 4);
  double sum = 0;
  double sumOfSquares = 0;
  for (int y = 0; y < corner.height(); ++y) {
    for (int x = 0; x < corner.width(); ++x) {
      const double lightness = corner.pixelColor(x, y).lightnessF();
      sum += lightness;
      sumOfSquares += lightness * lightness;
    }
  }
  const double count = corner.width() * corner.height();
  const double mean = sum / count;
  const double deviation = std::sqrt(sumOfSquares / count - mean * mean);
  EXPECT_LT(mean, 0.9) << "the corner is nearly white";
  EXPECT_GT(deviation, 0.03) << "the corner is flat";
}

}  // namespace
