#pragma once
// A main window whose generator is a stand-in that starts nothing.

#include <string>
#include <vector>

#include "frontend/generator_process.h"
#include "window_fixture.h"

namespace quorvel_test {

// Stands in for the generator's process: the test says whether one runs.
class FakeGenerator : public quorvel::GeneratorProcess {
 public:
  bool running = true;
  bool start_succeeds = true;
  std::vector<std::string> started_programs;

  bool StartUnlessRunning(const std::string& program) override;
  quorvel::RunTick Look() override;
};

class RunWindowTest : public WindowTest {
 protected:
  // The window, activated, with the fake generator in place.
  quorvel::TForm1& StartWindow();
  std::string ListText() const;
  void SetList(const std::string& crlf_text);
  std::string QueueText() const;

  FakeGenerator* generator_ = nullptr;  // owned by the window
};

}  // namespace quorvel_test
