#pragma once
// Helpers for tests of failing writes and of descriptors that must not leak.

#include <sys/resource.h>

namespace testing_support {

// The number of descriptors this process holds open.
int OpenDescriptorCount();

// While it lives, a write that would grow a file beyond `bytes` fails with
// EFBIG instead of stopping the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*saved_handler_)(int) = nullptr;
};

}  // namespace testing_support
