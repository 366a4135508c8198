#pragma once
// The generator a run relies on: started by the run unless one runs already,
// then looked at once a tick. The window talks to it through this interface
// so that tests can stand in for the process.

#include <memory>
#include <optional>
#include <string>

#include "frontend/run_watch.h"
#include "platform/shell.h"

namespace quorvel {

class GeneratorProcess {
 public:
  virtual ~GeneratorProcess() = default;

  // Starts `program` unless a process named `name` runs. True when this call
  // started it. A program that cannot be started is not reported here: the
  // run notices it when no generator works for it.
  virtual bool StartUnlessRunning(const std::string& program, const std::string& name) = 0;

  // What the run's watch needs to know now: whether a process named `name`
  // runs, and how the one we started ended once it ended.
  virtual RunTick Look(const std::string& name) = 0;
};

// The real processes of this machine.
class SystemGeneratorProcess : public GeneratorProcess {
 public:
  bool StartUnlessRunning(const std::string& program, const std::string& name) override;
  RunTick Look(const std::string& name) override;

 private:
  std::optional<platform::StartedProgram> started_;
};

std::unique_ptr<GeneratorProcess> MakeSystemGeneratorProcess();

}  // namespace quorvel
