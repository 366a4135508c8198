#pragma once
// The generator a run relies on: the one of this window's common folder,
// started by the run unless it runs already, then looked at once a tick. The
// window talks to it through this interface so that tests can stand in for
// the process.

#include <QSocketNotifier>
#include <memory>
#include <optional>
#include <string>

#include "frontend/run_watch.h"
#include "platform/process_watch.h"
#include "platform/shell.h"

namespace quorvel {

class GeneratorProcess {
 public:
  virtual ~GeneratorProcess() = default;

  // Starts the program file `program` unless a process of it runs; a process
  // of a program of the same name elsewhere (another common folder) neither
  // keeps it from starting nor is relied on. True when this call started it.
  // A program that cannot be started is not reported here: the run notices it
  // when no generator works for it.
  virtual bool StartUnlessRunning(const std::string& program) = 0;

  // What the run's watch needs to know now: whether the generator the last
  // start relied on runs, and how the one we started ended once it ended.
  virtual RunTick Look() = 0;
};

// The real processes of this machine. The /proc list is read only at a start;
// a tick asks the generator's own process descriptor.
class SystemGeneratorProcess : public GeneratorProcess {
 public:
  bool StartUnlessRunning(const std::string& program) override;
  RunTick Look() override;

 private:
  bool RelyOnRunning(const std::string& program);
  bool Start(const std::string& program);
  void ReapOnExit();

  std::optional<platform::StartedProgram> started_;
  std::optional<platform::WatchedProcess> found_;  // running already when the run started
  std::unique_ptr<QSocketNotifier> exit_notifier_;
};

std::unique_ptr<GeneratorProcess> MakeSystemGeneratorProcess();

}  // namespace quorvel
