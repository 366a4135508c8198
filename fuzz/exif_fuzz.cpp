// Feeds arbitrary bytes to the EXIF reader as a picture file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "generator/Exif.h"
#include "platform/errors.h"

namespace {

// One in-memory file for the whole run, rewritten for each input.
class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("exif_fuzz", MFD_CLOEXEC)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemoryFile() { close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(fd_, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
      const ssize_t written = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      if (written <= 0) std::abort();
      done += static_cast<std::size_t>(written);
    }
    return path_;
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MemoryFile file;
  TExif exif;
  try {
    exif.ReadFromFile(file.Write(data, size));
  } catch (const platform::InOutError&) {
    // A damaged structure is reported this way; anything else escapes and is a finding.
  }
  return 0;
}
