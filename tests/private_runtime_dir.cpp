// Compiled into every test program (not through the support library, whose
// unreferenced objects the linker would drop): each test process gets a
// runtime folder of its own before any test runs. Tests run side by side, and
// a generator started by one test sends its reports to whichever front-end
// window it finds in the registry; with one folder per process, windows and
// fonts registered by one test are never met by another. Programs a test
// starts inherit the folder.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/shared_block.h"

namespace {

class PrivateRuntimeDir {
 public:
  PrivateRuntimeDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;  // the tests then share the user's folder
    path_ = pattern;
    setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
  }
  ~PrivateRuntimeDir() {
    try {
      // Programs that a test killed cannot remove their blocks' shared memory.
      if (!path_.empty()) {
        setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
        platform::RemoveAbandonedSharedBlocks();
      }
    } catch (...) {
    }
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
  PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;

 private:
  std::string path_;
};

const PrivateRuntimeDir private_runtime_dir;

}  // namespace
