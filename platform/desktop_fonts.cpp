#include "platform/desktop_fonts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "platform/errors.h"
#include "platform/runtime_dir.h"
#include "platform/text_engine.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRegistryName = "fonts";
constexpr const char* kLockName = "fonts.lock";

// Serialises read-change-write cycles of all our processes; readers need no
// lock because a new list replaces the old one in a single rename.
class RegistryLock {
 public:
  explicit RegistryLock(const fs::path& dir) {
    fd_ = open((dir / kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) throw InOutError::FromErrno(errno);
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        const int error = errno;
        close(fd_);
        throw InOutError::FromErrno(error);
      }
    }
  }
  ~RegistryLock() { close(fd_); }
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;

 private:
  int fd_ = -1;
};

std::vector<std::string> ReadList(const fs::path& file) {
  std::vector<std::string> files;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) files.push_back(line);
  }
  return files;
}

void WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t written = write(fd, data.data() + done, data.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw InOutError::FromErrno(written < 0 ? errno : EIO);
    done += static_cast<std::size_t>(written);
  }
}

// A reader sees either the old list or the new one, never a part.
void WriteListAtomically(const fs::path& dir, const std::vector<std::string>& files) {
  std::string data;
  for (const std::string& file : files) data += file + "\n";
  std::string temp = (dir / (std::string(kRegistryName) + ".XXXXXX")).string();
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) throw InOutError::FromErrno(errno);
  try {
    WriteAll(fd, data);
    if (close(fd) != 0) throw InOutError::FromErrno(errno);
  } catch (...) {
    unlink(temp.c_str());
    throw;
  }
  if (rename(temp.c_str(), (dir / kRegistryName).c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    throw InOutError::FromErrno(error);
  }
}

// Registry entries are absolute, so that every process finds the same file
// whatever its working folder. A line break would split the entry.
std::string RegistryEntry(const std::string& path) {
  if (path.empty() || path.find('\n') != std::string::npos) return {};
  return fs::absolute(path).lexically_normal().string();
}

// Applies `change` to the list under the lock; writes only when it says so.
template <typename Change>
bool UpdateList(Change change) {
  const fs::path dir = UserRuntimeDir();
  RegistryLock lock(dir);
  std::vector<std::string> files = ReadList(dir / kRegistryName);
  if (!change(files)) return false;
  WriteListAtomically(dir, files);
  return true;
}

}  // namespace

int AddDesktopFont(const std::string& path) {
  try {
    const std::string entry = RegistryEntry(path);
    if (entry.empty()) return 0;
    const int faces = CountFontFaces(entry);
    if (faces == 0) return 0;
    UpdateList([&entry](std::vector<std::string>& files) {
      if (std::find(files.begin(), files.end(), entry) != files.end()) return false;
      files.push_back(entry);
      return true;
    });
    return faces;
  } catch (const Error&) {
    return 0;
  } catch (const fs::filesystem_error&) {
    return 0;
  }
}

bool RemoveDesktopFont(const std::string& path) {
  try {
    const std::string entry = RegistryEntry(path);
    if (entry.empty()) return false;
    return UpdateList([&entry](std::vector<std::string>& files) {
      const auto found = std::find(files.begin(), files.end(), entry);
      if (found == files.end()) return false;
      files.erase(found);
      return true;
    });
  } catch (const Error&) {
    return false;
  } catch (const fs::filesystem_error&) {
    return false;
  }
}

std::vector<std::string> DesktopFontFiles() {
  try {
    return ReadList(UserRuntimeDir() / kRegistryName);
  } catch (const Error&) {
    return {};
  }
}

std::vector<std::string> InstalledFontFamilies() {
  return ListFontFamilies();
}

}  // namespace platform
