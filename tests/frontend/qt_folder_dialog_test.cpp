// The folder browser as the user meets it: Qt's own dialog, answered here by
// a timer that looks at it and then cancels or accepts it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "frontend/folder_browser.h"
#include "frontend/qt_dialogs.h"
#include "window_fixture.h"

namespace {

namespace fs = std::filesystem;

// Runs `look` on the modal folder dialog as soon as it is up.
void WhenTheDialogIsUp(std::function<void(QFileDialog&)> look) {
  QTimer::singleShot(0, [look] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    look(*dialog);
  });
}

TEST(QtFolderDialog, OpensOnTheInitialFolderOffersNoNewFolderAndReturnsTheChoice) {
  quorvel_test::TempDir root;
  fs::create_directory(root.path() / "start here");
  fs::create_directory(root.path() / "start here" / "inner");
  const std::string initial = root.slash() + "start here/";
  quorvel::QtDialogs dialogs;

  QString shown_folder, title;
  bool new_folder_offered = true;  // shown, even greyed out
  WhenTheDialogIsUp([&](QFileDialog& dialog) {
    shown_folder = dialog.directory().absolutePath();
    title = dialog.windowTitle();
    const auto* button = dialog.findChild<QToolButton*>(QStringLiteral("newFolderButton"));
    new_folder_offered = button != nullptr && button->isVisibleTo(&dialog);
    dialog.reject();
  });
  EXPECT_EQ(quorvel::browse_for_folder(dialogs, "Select Output Path:", initial), "");
  EXPECT_EQ(shown_folder.toStdString(), root.slash() + "start here");
  EXPECT_EQ(title.toStdString(), "Select Output Path:");
  EXPECT_FALSE(new_folder_offered);

  WhenTheDialogIsUp([&](QFileDialog& dialog) {
    dialog.selectFile(QString::fromStdString(root.slash() + "start here/inner"));
    static_cast<QDialog&>(dialog).accept();  // as the OK button does
  });
  EXPECT_EQ(quorvel::browse_for_folder(dialogs, "Select Output Path:", initial),
            root.slash() + "start here/inner");
}

}  // namespace
