#include "platform/process_watch.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/process_list.h"
#include "platform/system_call.h"

namespace platform {

FileDescriptor OpenProcessDescriptor(pid_t pid) {
  if (pid <= 0) return FileDescriptor();
  return FileDescriptor(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
}

bool WatchedProcess::Runs() const {
  if (!descriptor_.valid()) return ProcessRuns(pid_);
  pollfd ready{descriptor_.get(), POLLIN, 0};
  const int result = RetryOnInterrupt([&] { return poll(&ready, 1, 0); });
  return result == 0;
}

}  // namespace platform
