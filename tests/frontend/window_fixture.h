#pragma once
// A main window in a temporary common folder, with dialogs that a script answers.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/Unit1.h"
#include "frontend/dialogs.h"

namespace quorvel_test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string slash() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

std::string ReadText(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);

// Answers each dialog from its queue; a dialog with nothing queued is cancelled.
class ScriptedDialogs : public quorvel::Dialogs {
 public:
  std::deque<std::optional<quorvel::ColorChoice>> color_answers;
  std::vector<quorvel::ColorChoice> colors_offered;
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::deque<bool> confirm_answers;

  std::optional<quorvel::ColorChoice> ChooseColor(const quorvel::ColorChoice& initial) override;
  std::vector<std::string> OpenFiles(const quorvel::FileDialogSpec&) override { return {}; }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool Confirm(const std::string&, const std::string&) override;
  void ShowError(const std::string& text) override { errors.push_back(text); }
};

// The settings file as key=value lines in file order, section header left out.
std::vector<std::string> SettingsLines(const std::filesystem::path& ini);
// The value of `key` in the settings file; nullopt when absent.
std::optional<std::string> SettingValue(const std::filesystem::path& ini, std::string_view key);

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // Makes the window and runs its first activation.
  quorvel::TForm1& Start();
  std::filesystem::path ini() const { return app_.path() / "sysconfig.ini"; }
  std::string app_dir() const { return app_.slash(); }
  std::optional<std::string> Value(std::string_view key) const { return SettingValue(ini(), key); }

  TempFolder runtime_;
  TempFolder app_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<quorvel::TForm1> form_;

 private:
  std::optional<std::string> old_runtime_dir_;
};

}  // namespace quorvel_test
