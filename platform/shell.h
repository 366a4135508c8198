#pragma once
// Stands in for ShellExecuteA "open": starting a program of ours detached, and
// opening a folder or web address in the desktop's own program.

#include <sys/types.h>

#include <optional>
#include <string>

#include "platform/process_watch.h"

namespace platform {

// How a program ended: its exit status, or the number of the signal that ended it.
struct ProcessExit {
  bool signalled = false;
  int code = 0;
};

// A program started detached from us. It is our child until it is reaped: the
// owner polls it (for instance from a timer) until Poll() reports its end, and
// only then is no zombie left behind. Dropping the object neither waits for
// the program nor stops it.
class StartedProgram {
 public:
  explicit StartedProgram(pid_t pid) : pid_(pid), exit_descriptor_(OpenProcessDescriptor(pid)) {}

  pid_t pid() const { return pid_; }
  // Turns readable once the program has ended, so that an event loop can reap
  // it at once; -1 where the system gives no process descriptors.
  int exit_fd() const { return exit_descriptor_.get(); }
  // Empty while the program runs; its end once it has ended, then reaped,
  // without waiting. Asking again gives the same end. A program reaped
  // elsewhere (SIGCHLD ignored) ends with code -1.
  std::optional<ProcessExit> Poll();

 private:
  pid_t pid_;
  FileDescriptor exit_descriptor_;
  std::optional<ProcessExit> exit_;
};

// Starts the program file `program` (no arguments, the caller's working folder,
// standard input from /dev/null, its standard error appended to `stderr_file`
// when that is non-empty, in a session of its own so that terminal signals
// meant for us do not reach it, none of our descriptors but 0 to 2). Never
// through a shell command line: a path with blanks or quotes is one argument.
// Throws SystemError with the reason when it cannot be started (a missing or
// not executable program, a log file that cannot be opened).
StartedProgram StartProgram(const std::string& program, const std::string& stderr_file);

// Opens a folder or web address with xdg-open, detached; nothing is reported
// when xdg-open is missing or fails, and no zombie is left behind.
void OpenWithDesktop(const std::string& target);

}  // namespace platform
