#pragma once
// A main window whose open dialog and confirmation box a script answers, and
// whose generator is a stand-in that starts nothing.

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "frontend/generator_process.h"
#include "window_fixture.h"

namespace quorvel_test {

class ListDialogs : public ScriptedDialogs {
 public:
  std::deque<std::vector<std::string>> open_answers;
  std::vector<quorvel::FileDialogSpec> opens_offered;
  std::vector<std::pair<std::string, std::string>> questions;

  std::vector<std::string> OpenFiles(const quorvel::FileDialogSpec& spec) override;
  bool Confirm(const std::string& title, const std::string& text) override;
};

// Stands in for the generator's process: the test says whether one runs.
class FakeGenerator : public quorvel::GeneratorProcess {
 public:
  bool running = true;
  bool start_succeeds = true;
  std::vector<std::string> started_programs;

  bool StartUnlessRunning(const std::string& program, const std::string& name) override;
  quorvel::RunTick Look(const std::string& name) override;
};

class RunWindowTest : public WindowTest {
 protected:
  ~RunWindowTest() override;

  // The window, activated, with the fake generator in place.
  quorvel::TForm1& StartWindow();
  std::string ListText() const;
  void SetList(const std::string& crlf_text);
  std::string QueueText() const;

  ListDialogs list_dialogs_;
  FakeGenerator* generator_ = nullptr;  // owned by the window
};

}  // namespace quorvel_test
