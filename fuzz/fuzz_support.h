#pragma once
// Helpers the fuzz targets share: a private scratch folder per process and a
// way to report a broken property as a finding.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace fuzz_support {

// A broken property is a crash to the fuzzer, with the reason on stderr.
[[noreturn]] inline void Fail(std::string_view what) {
  std::fprintf(stderr, "property broken: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

inline void Check(bool holds, std::string_view what) {
  if (!holds) Fail(what);
}

// A folder of this process alone, removed with everything in it when the
// process ends normally. Kept in memory when the machine offers a tmpfs, as the
// readers under test sync what they write.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/quorvel-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Fail("no scratch folder");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Replaces the file with exactly these bytes.
inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) Fail("cannot write a scratch file");
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written <= 0) Fail("cannot write a scratch file");
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  close(fd);
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::string text;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot read a scratch file");
  char chunk[64 * 1024];
  for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;) {
    text.append(chunk, static_cast<std::size_t>(got));
  }
  close(fd);
  return text;
}

// Takes `size` bytes (or what is left) off the front of `rest`.
inline std::string_view TakeFront(std::string_view& rest, std::size_t size) {
  const std::string_view part = rest.substr(0, size);
  rest.remove_prefix(part.size());
  return part;
}

}  // namespace fuzz_support
