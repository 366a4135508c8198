#pragma once
// A main window in a temporary common folder, with dialogs that a script answers.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frontend/Unit1.h"
#include "frontend/dialogs.h"
#include "support/fake_frontend.h"
#include "support/settings_file.h"
#include "support/temp_dir.h"

namespace quorvel_test {

using testing_support::FirstSaveFile;
using testing_support::ReadFile;
using testing_support::SettingsLines;
using testing_support::SettingValue;
using testing_support::TempDir;
using testing_support::WriteFile;

struct FolderRequest {
  std::string title;
  std::string initial;
};

// Answers each dialog from its queue (a dialog with nothing queued is
// cancelled) and keeps what each was asked.
class ScriptedDialogs : public quorvel::Dialogs {
 public:
  std::deque<std::optional<quorvel::ColorChoice>> color_answers;
  std::vector<quorvel::ColorChoice> colors_offered;
  std::deque<std::vector<std::string>> open_answers;
  std::vector<quorvel::FileDialogSpec> opens_offered;
  std::deque<std::optional<std::string>> folder_answers;
  std::vector<FolderRequest> folder_requests;
  std::deque<bool> confirm_answers;
  std::vector<std::pair<std::string, std::string>> questions;
  std::vector<std::string> messages;
  std::vector<std::string> errors;

  std::optional<quorvel::ColorChoice> ChooseColor(const quorvel::ColorChoice& initial) override;
  std::vector<std::string> OpenFiles(const quorvel::FileDialogSpec& spec) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initial) override;
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool Confirm(const std::string& title, const std::string& text) override;
  void ShowError(const std::string& text) override { errors.push_back(text); }
};

// As a mouse choice in the open list: the choice, then the close-up.
void PickWithMouse(quorvel::ListBox* list, int index);

class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // Makes the window and runs its first activation.
  quorvel::TForm1& Start();
  std::filesystem::path ini() const { return app_.path() / "sysconfig.ini"; }
  std::string app_dir() const { return app_.slash(); }
  std::optional<std::string> Value(std::string_view key) const { return SettingValue(ini(), key); }

  testing_support::ScopedRuntimeDir runtime_;
  TempDir app_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<quorvel::TForm1> form_;
};

}  // namespace quorvel_test
