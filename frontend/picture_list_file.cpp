#include "frontend/picture_list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "frontend/memo_text.h"
#include "platform/errors.h"
#include "shared/helpers.h"

namespace quorvel {
namespace {

// Closes the descriptor and, unless kept, removes the temporary file.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string pattern) : path_(std::move(pattern)) {
    descriptor_ = mkstemp(path_.data());
    if (descriptor_ < 0) throw platform::InOutError::FromErrno(errno);
  }
  ~TemporaryFile() {
    if (descriptor_ >= 0) close(descriptor_);
    if (!kept_) unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t written = write(descriptor_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) Fail();
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
  }
  // Readable like a file made with the usual creation mode.
  void Finish() {
    if (fchmod(descriptor_, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH) != 0) Fail();
    if (fsync(descriptor_) != 0) Fail();
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (close(descriptor) != 0) Fail();
  }
  void MoveTo(const std::string& path) {
    if (rename(path_.c_str(), path.c_str()) != 0) Fail();
    kept_ = true;
  }

 private:
  [[noreturn]] static void Fail() { throw platform::InOutError::FromErrno(errno); }

  std::string path_;
  int descriptor_ = -1;
  bool kept_ = false;
};

// A file system that loses power right after the rename must not come back
// without the file; failing that is no reason to report the write as failed.
void SyncFolderOf(const std::string& path) {
  const auto folder = std::filesystem::path(path).parent_path();
  const int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

// to be replaced by platform/file
void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const auto target = std::filesystem::path(path);
  TemporaryFile temporary(
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string());
  temporary.WriteAll(bytes);
  temporary.Finish();
  temporary.MoveTo(path);
  SyncFolderOf(path);
}

}  // namespace

std::string PictureListFileContent(std::string_view list_text) {
  return JoinLines(SplitLines(Trim(list_text)));
}

void WritePictureListFile(const std::string& path, std::string_view list_text) {
  ReplaceFileAtomically(path, PictureListFileContent(list_text));
}

}  // namespace quorvel
