// Feeds arbitrary bytes to the EXIF reader as a picture file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "generator/Exif.h"
#include "platform/errors.h"
#include "platform/file.h"

namespace {

// One in-memory file for the whole run, rewritten for each input.
class MemoryFile {
 public:
  MemoryFile() : file_(memfd_create("exif_fuzz", MFD_CLOEXEC)) {
    if (!file_.valid()) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(file_.get());
  }

  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(file_.get(), 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
      const ssize_t written =
          pwrite(file_.get(), data + done, size - done, static_cast<off_t>(done));
      if (written <= 0) std::abort();
      done += static_cast<std::size_t>(written);
    }
    return path_;
  }

 private:
  platform::FileDescriptor file_;
  std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MemoryFile file;
  vantrel::TExif exif;
  try {
    exif.ReadFromFile(file.Write(data, size));
  } catch (const platform::InOutError&) {
    // A damaged structure is reported this way; anything else escapes and is a finding.
  }
  return 0;
}
