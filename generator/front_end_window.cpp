#include "generator/front_end_window.h"

#include <algorithm>
#include <string>

#include "generator/app_dir.h"
#include "platform/process_list.h"
#include "shared/names.h"

namespace vantrel {
namespace {

bool RunsFrom(const platform::FoundWindow& window, const std::string& folder) {
  const auto program = platform::ProgramFileOf(window.owner);
  return program && program->parent_path().string() + "/" == folder;
}

// Such a copy waits for its own generator's reports: one of ours would settle
// its pictures with outputs made for another folder.
bool IsAnotherFoldersFrontEnd(const platform::FoundWindow& window, const std::string& folder) {
  const auto program = platform::ProgramFileOf(window.owner);
  return program && program->filename() == shared::FrontEndExe &&
         program->parent_path().string() + "/" != folder;
}

}  // namespace

std::optional<FrontEndWindow> FindFrontEndWindow() {
  const auto windows =
      platform::FindWindowsByClassAndCaption(shared::MainWindowClass, shared::FrontEndCaption);
  if (windows.empty()) return std::nullopt;
  const std::string own_folder = ProgramFolder();
  auto found = std::find_if(windows.begin(), windows.end(),
                            [&](const auto& window) { return RunsFrom(window, own_folder); });
  if (found != windows.end()) return FrontEndWindow{found->handle, true};
  found = std::find_if(windows.begin(), windows.end(), [&](const auto& window) {
    return !IsAnotherFoldersFrontEnd(window, own_folder);
  });
  if (found == windows.end()) return std::nullopt;
  return FrontEndWindow{found->handle, false};
}

bool FrontEndWatch::Runs(const std::string& folder) {
  if (!platform::CanListProcesses()) {
    return platform::FindWindowByClassAndCaption(shared::MainWindowClass, shared::FrontEndCaption)
        .has_value();
  }
  if (front_end_ && front_end_->Runs()) return true;
  return FindRunning(folder);
}

bool FrontEndWatch::FindRunning(const std::string& folder) {
  for (const pid_t pid : platform::ProcessesRunning(folder + std::string(shared::FrontEndExe))) {
    front_end_.emplace(pid);
    if (front_end_->Runs()) return true;
  }
  front_end_.reset();
  return false;
}

}  // namespace vantrel
