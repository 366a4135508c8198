#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct ProgramResult {
  int exit_code = -1;  // -1 when the program did not end normally
  std::string standard_error;
};

// Runs `program` without arguments in `working_dir`, standard input from
// /dev/null, and waits for it (killing it after `timeout_seconds`).
ProgramResult RunProgram(const std::filesystem::path& program,
                         const std::filesystem::path& working_dir, int timeout_seconds = 60);

// The same with `arguments` after the program name.
ProgramResult RunProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& working_dir, int timeout_seconds = 60);

// Copies the built generator into `folder`, so that `folder` is its common folder.
std::filesystem::path InstallGenerator(const std::filesystem::path& folder);

}  // namespace testing_support
