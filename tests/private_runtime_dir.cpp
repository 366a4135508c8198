// Compiled into every test program (not through the support library, whose
// unreferenced objects the linker would drop).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "support/fake_frontend.h"

namespace {

// Gives the test process a runtime folder (XDG_RUNTIME_DIR) of its own before
// any test runs, and removes it after the last. Tests run side by side, and a
// generator started by one test sends its reports to whichever front-end
// window it finds in the registry; with one folder per process, windows and
// fonts registered by one test are never met by another. Programs a test
// starts inherit the folder.
class PrivateRuntimeDir : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;  // the tests then share the user's folder
    path_ = pattern;
    setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
  }
  void TearDown() override {
    try {
      // Programs that a test killed cannot remove their blocks' shared memory.
      if (!path_.empty()) testing_support::RemoveBlocksOfKilledPrograms();
    } catch (...) {
    }
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::string path_;
};

// gtest owns the environment and sets it up in RUN_ALL_TESTS, whichever main runs.
[[maybe_unused]] ::testing::Environment* const private_runtime_dir =
    ::testing::AddGlobalTestEnvironment(new PrivateRuntimeDir);

}  // namespace
