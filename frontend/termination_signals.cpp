#include "frontend/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>

#include "platform/errors.h"

namespace quorvel {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Written by the handler, which may do nothing but async-signal-safe calls.
volatile sig_atomic_t signal_pipe_write_end = -1;

extern "C" void WakeEventLoop(int) {
  const int saved_errno = errno;
  const char byte = 1;
  if (signal_pipe_write_end >= 0) {
    [[maybe_unused]] const ssize_t ignored = write(signal_pipe_write_end, &byte, 1);
  }
  errno = saved_errno;
}

void SetHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : kSignals) sigaction(signal_number, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close)) {
  if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw platform::SystemError(errno);
  signal_pipe_write_end = pipe_[1];
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  SetHandler(WakeEventLoop);
}

TerminationSignals::~TerminationSignals() {
  SetHandler(SIG_DFL);
  signal_pipe_write_end = -1;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void TerminationSignals::Drain() {
  char bytes[16];
  while (read(pipe_[0], bytes, sizeof bytes) > 0) {
  }
  if (close_) close_();
  // An open message box or dialog runs an event loop of its own and keeps the
  // program alive once the window is closed; exit() ends every running loop
  // (the box answers as if cancelled) and any loop started after it at once.
  QCoreApplication::exit(0);
}

}  // namespace quorvel
