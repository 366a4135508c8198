#include "frontend/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>

#include "support/fake_frontend.h"
#include "support/temp_dir.h"

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

void CancelWhenUp() {
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
  });
}

TEST(QtDialogs, ColourAndFileDialogsWriteNoConfigurationOfQtsOwn) {
  const testing_support::TempDir home;
  const testing_support::ScopedEnv home_env("HOME", home.path().string());
  const testing_support::ScopedEnv config_env("XDG_CONFIG_HOME", home.slash() + ".config");
  {
    quorvel::QtDialogs dialogs;
    quorvel::ColorChoice choice{0x4080FF, {}};
    choice.Slots[0] = 0x123456;
    CancelWhenUp();
    EXPECT_FALSE(dialogs.ChooseColor(choice));
    CancelWhenUp();
    EXPECT_TRUE(dialogs.OpenFiles({"Add Pictures", "JPEG (*.JPG)|*.JPG"}).empty());
  }
  EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}

}  // namespace
