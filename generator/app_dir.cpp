#include "generator/app_dir.h"

#include <filesystem>

namespace vantrel {

std::string ProgramFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  return exe.parent_path().string() + "/";
}

}  // namespace vantrel
