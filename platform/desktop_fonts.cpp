#include "platform/desktop_fonts.h"

#include <fcntl.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/errors.h"
#include "platform/file.h"
#include "platform/runtime_dir.h"
#include "platform/system_call.h"
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
  explicit RegistryLock(const fs::path& dir)
      : file_(open((dir / kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (!file_.valid()) throw InOutError::FromErrno(errno);
    if (RetryOnInterrupt([&] { return flock(file_.get(), LOCK_EX); }) != 0) {
      throw InOutError::FromErrno(errno);
    }
  }

 private:
  FileDescriptor file_;
};

// A missing or unreadable list is an empty one.
std::vector<std::string> ReadList(const fs::path& file) {
  std::string text;
  try {
    text = ReadToEnd(OpenRegularFile(file.string()));
  } catch (const InOutError&) {
    return {};
  }
  std::vector<std::string> files;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t end = std::min(text.find('\n', begin), text.size());
    if (end > begin) files.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return files;
}

// A reader sees either the old list or the new one, never a part.
void WriteList(const fs::path& dir, const std::vector<std::string>& files) {
  std::string data;
  for (const std::string& file : files) data += file + "\n";
  ReplaceFileAtomically((dir / kRegistryName).string(), data, ReplacedFile::kBecomesOurs, 0600);
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
  WriteList(dir, files);
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
