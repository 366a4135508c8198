#include "frontend/folder_browser.h"

namespace quorvel {

namespace {

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string browse_for_folder(Dialogs& dialogs, const std::string& title,
                              const std::string& initial, bool allow_new_folder) {
  (void)allow_new_folder;
  const std::optional<std::string> chosen = dialogs.ChooseFolder(title, initial);
  if (!chosen) return {};
  return WithoutTrailingSlashes(*chosen);
}

}  // namespace quorvel
