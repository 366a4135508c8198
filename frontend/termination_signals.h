#pragma once
// The end of a desktop session (SIGTERM, SIGHUP) or Ctrl+C (SIGINT) closes the
// main window as its close box would, so that the shipped font is withdrawn
// and the single-instance slot given back; the default action of these
// signals would end the program without either. The program then ends
// whatever message box or dialog is open; the close opens none of its own.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quorvel {

// One per program. The signal handler only writes a byte to a pipe; `close`
// runs later on the window's thread, from the event loop, and then every
// event loop of the program ends.
class TerminationSignals : public QObject {
 public:
  explicit TerminationSignals(std::function<void()> close, QObject* parent = nullptr);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  void Drain();

  std::function<void()> close_;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quorvel
