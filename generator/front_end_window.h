#pragma once
// Which front-end window the generator reports to when several copies of the
// front-end run side by side, each from a common folder of its own.

#include <optional>

#include "platform/window.h"

namespace vantrel {

// The front-end's main window (class MainWindowClass, caption exactly
// FrontEndCaption) whose program runs from the generator's own folder: the
// copy that shares our settings and picture list, and so waits for our
// reports. When no such window is found, or the owners cannot be told (no
// /proc), the first window with that class and caption.
std::optional<platform::WindowHandle> FindFrontEndWindow();

// Whether a process of ours named FrontEndExe runs. Without /proc the process
// list is unknown, and a live front-end window stands in for the process, so
// that a run in a sandbox is neither skipped whole nor kept going after its
// window closed.
bool FrontEndRuns();

}  // namespace vantrel
