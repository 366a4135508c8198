#include "frontend/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

TEST(QtNameFilter, PatternsOfTheFilterMatchAnyLetterCase) {
  const QString filter = quorvel::QtNameFilter("JPEG (*.JPG;*.JPEG;*.JPE)|*.JPG;*.JPEG;*.JPE");
  EXPECT_EQ(filter, "JPEG (*.JPG;*.JPEG;*.JPE) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG] *.[jJ][pP][eE])");
  struct Case {
    const char* name;
    bool listed;
  };
  const Case cases[] = {{"a.jpg", true},  {"b.JPG", true},   {"c.Jpeg", true}, {"d.jpe", true},
                        {"e.png", false}, {"f.jpgx", false}, {"jpg", false}};
  const QStringList patterns = filter.section('(', 2).chopped(1).split(' ');
  for (const auto& c : cases) {
    bool matched = false;
    for (const QString& pattern : patterns)
      matched |= QRegularExpression::fromWildcard(pattern).match(c.name).hasMatch();
    EXPECT_EQ(matched, c.listed) << c.name;
  }
}

}  // namespace
