#include "frontend/folder_browser.h"

namespace quorvel {

std::string browse_for_folder(Dialogs& dialogs, const std::string& title,
                              const std::string& initial) {
  return dialogs.ChooseFolder(title, initial).value_or(std::string());
}

}  // namespace quorvel
