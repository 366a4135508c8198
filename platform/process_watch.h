#pragma once
// Follows one process of ours, started by us or found running, through its
// process descriptor (pidfd): the descriptor turns readable when the process
// ends and never names another process that takes the number later, so
// neither a whole /proc scan nor a timer is needed to see the end.

#include <sys/types.h>

#include "platform/file.h"

namespace platform {

// A descriptor of process `pid` that turns readable once it ends; invalid
// where the system gives none (a kernel before 5.3, a sandbox that forbids it)
// or the process is gone.
FileDescriptor OpenProcessDescriptor(pid_t pid);

class WatchedProcess {
 public:
  explicit WatchedProcess(pid_t pid) : pid_(pid), descriptor_(OpenProcessDescriptor(pid)) {}

  pid_t pid() const { return pid_; }
  // False once the process has ended, a zombie not yet reaped included.
  // Without a descriptor it asks /proc about this one process.
  bool Runs() const;

 private:
  pid_t pid_;
  FileDescriptor descriptor_;
};

}  // namespace platform
