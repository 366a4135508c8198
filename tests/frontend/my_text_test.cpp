// The user-text dialog: what Save, Cancel, Enter, Escape and the close box do
// to the text, the settings file and the main window.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "frontend/my_text.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class FakeOwner : public quorvel::MyTextOwner {
 public:
  explicit FakeOwner(std::string ini) : ini_(std::move(ini)) {}
  std::string& my_text() override { return text; }
  const std::string& ini_path() const override { return ini_; }
  void preview_sample() override { ++redraws; }
  void set_main_window_enabled(bool enabled) override { main_enabled = enabled; }
  void report_error(const std::string& message) override { errors += message; }

  std::string text;
  int redraws = 0;
  bool main_enabled = false;  // the main window disables itself before showing the dialog
  std::string errors;

 private:
  std::string ini_;
};

class MyTextDialog : public testing::Test {
 protected:
  void WriteIni(const std::string& text) { testing_support::WriteFile(ini_, text); }
  void Open(quorvel::Tcustom_text_form& form) {
    form.show();
    ASSERT_EQ(form.custom_textbox->text().toStdString(), owner_->text);
  }
  void Type(quorvel::Tcustom_text_form& form, const QString& text) {
    form.custom_textbox->setText(text);
  }

  testing_support::TempDir folder_;
  fs::path ini_ = folder_ / "sysconfig.ini";
  std::unique_ptr<FakeOwner> owner_;
};

const char kOtherKeys[] =
    "[LastConfig]\r\nr_font_color=255\r\nOutput Path=/x y/\r\nborder_margin=3\r\n";

TEST_F(MyTextDialog, SaveStoresTheTrimmedTextAloneAndCloses) {
  WriteIni(kOtherKeys);
  owner_ = std::make_unique<FakeOwner>(ini_.string());
  quorvel::Tcustom_text_form form(*owner_);
  Open(form);
  Type(form, QStringLiteral("  Hello \t"));
  QTest::mouseClick(form.save, Qt::LeftButton);

  EXPECT_EQ(owner_->text, "Hello");
  EXPECT_EQ(testing_support::ReadFile(ini_), std::string(kOtherKeys) + "MyTXT=Hello\r\n");
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(owner_->main_enabled);
  EXPECT_EQ(owner_->redraws, 1);
}

TEST_F(MyTextDialog, EmptySaveWritesAnEmptyTextSoTheDateComesBack) {
  WriteIni(std::string(kOtherKeys) + "MyTXT=Old\r\n");
  owner_ = std::make_unique<FakeOwner>(ini_.string());
  owner_->text = "Old";
  quorvel::Tcustom_text_form form(*owner_);
  Open(form);
  Type(form, QStringLiteral("   "));
  QTest::keyClick(form.custom_textbox, Qt::Key_Return);

  EXPECT_EQ(owner_->text, "");
  EXPECT_EQ(testing_support::ReadFile(ini_), std::string(kOtherKeys) + "MyTXT=\r\n");
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MyTextDialog, EveryWayOfLeavingWithoutSaveKeepsTextAndFile) {
  struct Case {
    const char* name;
    void (*leave)(quorvel::Tcustom_text_form&);
  };
  const Case cases[] = {
      {"Cancel",
       [](quorvel::Tcustom_text_form& f) { QTest::mouseClick(f.Button1, Qt::LeftButton); }},
      {"Escape",
       [](quorvel::Tcustom_text_form& f) { QTest::keyClick(f.custom_textbox, Qt::Key_Escape); }},
      {"close box", [](quorvel::Tcustom_text_form& f) { f.close(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni(std::string(kOtherKeys) + "MyTXT=Saved\r\n");
    owner_ = std::make_unique<FakeOwner>(ini_.string());
    owner_->text = "Saved";
    quorvel::Tcustom_text_form form(*owner_);
    Open(form);
    Type(form, QStringLiteral("typed but not saved"));
    c.leave(form);

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(owner_->main_enabled);
    EXPECT_EQ(owner_->redraws, 1);
    EXPECT_EQ(owner_->text, "Saved");
    EXPECT_EQ(testing_support::ReadFile(ini_), std::string(kOtherKeys) + "MyTXT=Saved\r\n");
    // Opening again shows the saved text, not what was typed.
    Open(form);
  }
}

TEST_F(MyTextDialog, TextIsLimitedTo300Characters) {
  owner_ = std::make_unique<FakeOwner>(ini_.string());
  quorvel::Tcustom_text_form form(*owner_);
  Open(form);
  form.custom_textbox->setFocus();
  QTest::keyClicks(form.custom_textbox, QString(301, QLatin1Char('x')));
  EXPECT_EQ(form.custom_textbox->text().size(), 300);
}

TEST_F(MyTextDialog, UnicodeTextReachesTheFileAsUtf8) {
  owner_ = std::make_unique<FakeOwner>(ini_.string());
  quorvel::Tcustom_text_form form(*owner_);
  Open(form);
  Type(form, QString::fromUtf8("Grüße 東京"));
  QTest::mouseClick(form.save, Qt::LeftButton);
  EXPECT_EQ(testing_support::ReadFile(ini_), "[LastConfig]\r\nMyTXT=Grüße 東京\r\n");
}

TEST_F(MyTextDialog, FailingSaveKeepsTheDialogOpenWithTheTypedText) {
  owner_ = std::make_unique<FakeOwner>((folder_ / "missing" / "sysconfig.ini").string());
  quorvel::Tcustom_text_form form(*owner_);
  Open(form);
  Type(form, QStringLiteral("Hello"));
  QTest::mouseClick(form.save, Qt::LeftButton);

  EXPECT_NE(owner_->errors.find("Unable to write to"), std::string::npos);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.custom_textbox->text(), QStringLiteral("Hello"));
  EXPECT_FALSE(owner_->main_enabled);
  // Closing it by any means gives the main window back.
  form.close();
  EXPECT_TRUE(owner_->main_enabled);
}

}  // namespace
