#include "frontend/output_folder.h"

namespace quorvel {

std::string OutputFolderFromChoice(const std::string& chosen, const std::string& old) {
  // Tested before the slash is added: the root "/" would otherwise look like
  // the bare "/" of a cancel.
  if (chosen.empty()) return old;
  std::string folder = chosen + "/";
  std::string collapsed;
  collapsed.reserve(folder.size());
  for (char c : folder) {
    if (c == '/' && !collapsed.empty() && collapsed.back() == '/') continue;
    collapsed += c;
  }
  return collapsed;
}

}  // namespace quorvel
