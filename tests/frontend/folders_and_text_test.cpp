// The main window's actions that leave it: the user-text dialog behind the
// "My Text" icon, the output folder choice, and the folder and web page that
// the desktop opens.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <sstream>

#include "frontend/my_text.h"
#include "support/background_program.h"
#include "support/user_text_settings.h"
#include "window_fixture.h"

namespace {

namespace fs = std::filesystem;
using quorvel::TForm1;
using quorvel_test::ReadFile;
using quorvel_test::TempDir;
using quorvel_test::WindowTest;
using quorvel_test::WriteFile;

class FoldersAndText : public WindowTest {
 protected:
  TForm1& StartWithFolders() {
    form_ = std::make_unique<TForm1>(
        quorvel::StartOptions{.AppDir = app_dir(), .RegisterWindow = false}, dialogs_);
    form_->FormActivate();
    return *form_;
  }
};

qint64 PreviewPictureKey(const TForm1& form) {
  return form.bg->pixmap().cacheKey();
}

// The preview sets its text from the user's text when it draws it; until the
// preview drawing is part of the build, only the redraw itself can be seen.
bool PreviewDrawsUserText(TForm1& form) {
  const std::string kept = form.MyTXT;
  form.MyTXT = "probe";
  form.preview_sample();
  const bool draws = form.OverlayText == "probe";
  form.MyTXT = kept;
  return draws;
}

TEST_F(FoldersAndText, MyTextIconDisablesTheWindowAndShowsTheDialogBesideIt) {
  TForm1& form = Start();
  form.MyTXT = "Saved before";
  form.show();

  QTest::mouseClick(form.custom_icon, Qt::LeftButton);

  quorvel::Tcustom_text_form& dialog = *form.custom_text_form;
  EXPECT_FALSE(form.isEnabled());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.isEnabled()) << "a child of the disabled window would be disabled too";
  EXPECT_EQ(dialog.parentWidget(), nullptr);
  EXPECT_TRUE(dialog.isWindow());
  ASSERT_NE(dialog.windowHandle(), nullptr);
  EXPECT_EQ(dialog.windowHandle()->transientParent(), form.windowHandle())
      << "kept above the main window, not above a hidden helper window";
  EXPECT_FALSE(dialog.windowFlags() &
               (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(dialog.windowFlags() & Qt::CustomizeWindowHint) << "the window system's buttons";
  EXPECT_EQ(dialog.custom_textbox->text().toStdString(), "Saved before");
  std::vector<std::string> opened;
  form.desktop_opener = [&](const std::string& target) { opened.push_back(target); };
  QWidget* const greyed_controls[] = {form.img_help,         form.Label_Font,  form.ColorPanel,
                                      form.img_open_picture, form.disk_output, form.month_tab_grey};
  for (QWidget* greyed : greyed_controls) QTest::mouseClick(greyed, Qt::LeftButton);
  EXPECT_TRUE(opened.empty() && dialogs_.colors_offered.empty() && dialogs_.opens_offered.empty() &&
              dialogs_.folder_requests.empty() && form.month_tab->isHidden());

  dialog.close();
  EXPECT_TRUE(form.isEnabled());
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FoldersAndText, SavingTheDialogSetsTheTextWritesItAloneAndRedraws) {
  struct Case {
    const char* typed;
    const char* stored;
  };
  const Case cases[] = {{"  Hello  ", "Hello"}, {"", ""}, {" \t ", ""}};
  TForm1& form = Start();
  form.show();
  const bool preview_draws_text = PreviewDrawsUserText(form);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
    form.MyTXT = "Old";
    form.preview_sample();
    form.rec_ini();
    const std::string before = ReadFile(ini());
    const qint64 picture_before = PreviewPictureKey(form);

    QTest::mouseClick(form.custom_icon, Qt::LeftButton);
    form.custom_text_form->custom_textbox->setText(QString::fromUtf8(c.typed));
    QTest::mouseClick(form.custom_text_form->save, Qt::LeftButton);

    EXPECT_EQ(form.MyTXT, c.stored);
    EXPECT_EQ(ReadFile(ini()), before + "MyTXT=" + c.stored + "\r\n");
    EXPECT_TRUE(form.isEnabled());
    EXPECT_FALSE(form.custom_text_form->isVisible());
    EXPECT_NE(PreviewPictureKey(form), picture_before) << "preview not redrawn";
    if (preview_draws_text) {
      if (*c.stored)
        EXPECT_EQ(form.OverlayText, c.stored);
      else
        EXPECT_NE(form.OverlayText.find_first_of("0123456789"), std::string::npos)
            << "not a date: " << form.OverlayText;
    }
    fs::remove(ini());
  }
}

// The file that the generator's end-to-end test is given.
TEST_F(FoldersAndText, DialogSaveTurnsTheSharedBeforeFileIntoTheAfterFile) {
  TForm1 form(quorvel::StartOptions{.AppDir = app_dir(), .RegisterWindow = false}, dialogs_);
  const std::string output = app_dir() + "output/";
  WriteFile(ini(), testing_support::SettingsBeforeUserText(output));

  form.custom_iconClick();
  form.custom_text_form->custom_textbox->setText(QStringLiteral("  Holiday 2024 "));
  QTest::keyClick(form.custom_text_form->custom_textbox, Qt::Key_Return);

  EXPECT_EQ(ReadFile(ini()), testing_support::SettingsAfterUserText(output, "Holiday 2024"));
}

TEST_F(FoldersAndText, OutputFolderChoiceSetsShowsAndSavesTheFolder) {
  struct Case {
    const char* what;
    std::optional<std::string> answer;
    std::string expected;  // "" keeps the folder as it was
  };
  const Case cases[] = {
      {"plain folder", "/srv/photos out", "/srv/photos out/"},
      {"trailing slash", "/srv/photos/", "/srv/photos/"},
      {"doubled slashes", "/srv//photos", "/srv/photos/"},
      {"root", "/", "/"},
      {"cancel", std::nullopt, ""},
  };
  TForm1& form = StartWithFolders();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    form.OutputPath = "/old place/";
    dialogs_.folder_requests.clear();
    dialogs_.folder_answers = {c.answer};
    form.label_path_output->setText("stale");
    fs::remove(ini());

    form.disk_outputClick();

    const std::string expected = c.expected.empty() ? "/old place/" : c.expected;
    ASSERT_EQ(dialogs_.folder_requests.size(), 1u);
    EXPECT_EQ(dialogs_.folder_requests[0].title, "Select Output Path:");
    EXPECT_EQ(dialogs_.folder_requests[0].initial, "/old place/");
    EXPECT_EQ(form.OutputPath, expected);
    EXPECT_EQ(form.label_path_output->text().toStdString(), "Output path: " + expected);
    EXPECT_EQ(Value("Output Path"), expected) << "settings file not rewritten";
  }
  EXPECT_TRUE(dialogs_.errors.empty());
}

// Stands in for xdg-open first on PATH: writes its arguments, one a line,
// to a file, whole once it is there.
class StandInOpener {
 public:
  StandInOpener() {
    const fs::path script = folder_.path() / "xdg-open";
    WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record_.string() +
                          ".part\"\nmv \"" + record_.string() + ".part\" \"" + record_.string() +
                          "\"\n");
    chmod(script.c_str(), 0755);
  }

  // The arguments of the one call since the last Take(); empty when none came in time.
  std::vector<std::string> Take() {
    testing_support::WaitUntil([&] { return fs::exists(record_); });
    std::vector<std::string> arguments;
    std::istringstream lines(ReadFile(record_));
    for (std::string line; std::getline(lines, line);) arguments.push_back(line);
    fs::remove(record_);
    return arguments;
  }

 private:
  TempDir folder_;
  fs::path record_ = folder_.path() / "arguments";
  const char* const old_path_ = std::getenv("PATH");
  testing_support::ScopedEnv path_{"PATH",
                                   folder_.path().string() + ":" + (old_path_ ? old_path_ : "")};
};

TEST_F(FoldersAndText, OpenActionsHandTheDesktopOneArgumentEach) {
  TForm1& form = Start();
  form.show();
  StandInOpener opener;
  const std::string hostile = app_dir() + "a b; touch \"" + app_dir() + "pwned\" $(id)/";
  struct Case {
    const char* what;
    QWidget* clicked;
    std::function<void()> before;
    std::string expected;
  };
  const Case cases[] = {
      {"output folder", form.label_path_output, [] {}, app_dir() + "output/"},
      {"output folder with shell characters", form.label_path_output,
       [&] { form.OutputPath = hostile; }, hostile},
      {"fonts folder", form.Label_Font, [] {}, form.WinFontsDir},
      {"help page", form.img_help, [] {}, "https://www.quorvel.example/software/?i=Quorvel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.before();
    QTest::mouseClick(c.clicked, Qt::LeftButton);
    EXPECT_EQ(opener.Take(), std::vector<std::string>{c.expected});
  }
  EXPECT_FALSE(fs::exists(app_dir() + "pwned"));
  EXPECT_EQ(form.HelpSiteAddress + "software/?i=Quorvel", cases[3].expected);
  EXPECT_TRUE(dialogs_.errors.empty());
}

}  // namespace
