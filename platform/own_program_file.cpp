#include "platform/own_program_file.h"

#include <errno.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

#include "platform/errors.h"
#include "platform/process_list.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

bool IsProgram(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

// PATH as a shell reads it; unset, the system's default search path.
std::string SearchPath() {
  if (const char* path = std::getenv("PATH")) return path;
  std::string fallback(confstr(_CS_PATH, nullptr, 0), '\0');
  if (fallback.empty()) return {};
  confstr(_CS_PATH, fallback.data(), fallback.size());
  fallback.pop_back();  // the terminating zero
  return fallback;
}

std::optional<fs::path> FindOnSearchPath(std::string_view name) {
  const std::string path = SearchPath();
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    // An empty entry stands for the working folder.
    const fs::path folder =
        end == start ? fs::path(".") : fs::path(path.substr(start, end - start));
    if (IsProgram(folder / name)) return folder / name;
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<fs::path> FindStartedFile(std::string_view start_name) {
  if (start_name.empty()) return std::nullopt;
  if (IsProgram(start_name)) return fs::path(start_name);
  if (start_name.find('/') != std::string_view::npos) return std::nullopt;
  return FindOnSearchPath(start_name);
}

}  // namespace

fs::path ProgramFileStartedAs(std::string_view start_name) {
  if (const auto file = FindStartedFile(start_name)) {
    std::error_code error;
    auto resolved = fs::canonical(*file, error);
    if (!error) return resolved;
  }
  throw OwnFolderNotFoundError(std::string(start_name));
}

fs::path OwnProgramFile() {
  try {
    return RunningProgramFile();
  } catch (const SystemError&) {
    // Set by the C library from argv[0] before main; none when a program was
    // started with no arguments at all. Looked up once: a later change of the
    // working folder or PATH does not move the running program.
    static const fs::path started_as =
        ProgramFileStartedAs(program_invocation_name != nullptr ? program_invocation_name : "");
    return started_as;
  }
}

std::string OwnProgramFolder() {
  const std::string folder = OwnProgramFile().parent_path().string();
  return folder.ends_with('/') ? folder : folder + "/";
}

}  // namespace platform
