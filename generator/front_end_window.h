#pragma once
// Which front-end window the generator reports to when several copies of the
// front-end run side by side, each from a common folder of its own.

#include <optional>
#include <string>

#include "platform/process_watch.h"
#include "platform/window.h"

namespace vantrel {

struct FrontEndWindow {
  platform::WindowHandle handle{};
  bool ours = false;  // its program runs from the generator's own folder
};

// The front-end's main window (class MainWindowClass, caption exactly
// FrontEndCaption) whose program runs from the generator's own folder: the
// copy that shares our settings and picture list, and so waits for our
// reports. When no such window is found, or the owners cannot be told (no
// /proc), the first window with that class and caption that is not a
// front-end's of another folder.
std::optional<FrontEndWindow> FindFrontEndWindow();

// Whether the front-end of a common folder runs: a process of ours whose
// program file is that folder's FrontEndExe, so that a copy open from another
// folder keeps no run of ours going. A process whose program file cannot be
// read counts when it is named FrontEndExe. Without /proc the process list is
// unknown, and a live front-end window stands in for the process, so that a
// run in a sandbox is neither skipped whole nor kept going after its window
// closed. The front-end found is then followed through its process descriptor:
// /proc is read again only once it has ended.
class FrontEndWatch {
 public:
  // `folder` with its trailing "/".
  bool Runs(const std::string& folder);

 private:
  bool FindRunning(const std::string& folder);

  std::optional<platform::WatchedProcess> front_end_;
};

}  // namespace vantrel
