#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "platform/errors.h"
#include "platform/system_call.h"

namespace platform {
namespace {

// Keeps a temporary name within the file system's 255-byte name limit.
constexpr std::size_t kMaxTemporaryStem = 200;
constexpr int kNameAttempts = 100;
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kMaxLinkHops = 40;

[[noreturn]] void RaiseErrno(int error) {
  throw InOutError::FromErrno(error != 0 ? error : EIO);
}

// The folder with its trailing "/" (empty for the working folder), and the name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string suffix(8, 'x');
  for (char& letter : suffix) letter = kLetters[pick(generator)];
  return suffix;
}

bool IsEmptyRegularFile(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0;
}

// The owner and the text of the symbolic link at `path`; nothing when no link
// is there. Both come from one open of the link itself, so that a link put in
// its place meanwhile cannot lend the first one's owner to its own text.
struct LinkEntry {
  uid_t owner;
  std::string points_to;
};
std::optional<LinkEntry> ReadLinkEntry(const std::string& path) {
  const FileDescriptor entry(open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  if (!entry.valid()) return std::nullopt;
  struct stat status {};
  if (fstat(entry.get(), &status) != 0) RaiseErrno(errno);
  if (!S_ISLNK(status.st_mode)) return std::nullopt;
  std::string text(PATH_MAX, '\0');
  const ssize_t length = readlinkat(entry.get(), "", text.data(), text.size());
  if (length < 0) RaiseErrno(errno);
  if (static_cast<std::size_t>(length) == text.size()) RaiseErrno(ENAMETOOLONG);
  text.resize(static_cast<std::size_t>(length));
  return LinkEntry{status.st_uid, std::move(text)};
}

// The kernel's rule for links in sticky folders, kept in every folder: a link
// is followed only when it is ours or its folder's owner's. Anybody else's link
// could point at any file, and a save by root through it would overwrite that.
void RequireTrustedLink(const std::string& path, uid_t link_owner) {
  if (link_owner == geteuid()) return;
  const std::string folder = SplitPath(path).first;
  struct stat holder {};
  if (stat(folder.empty() ? "." : folder.c_str(), &holder) != 0) RaiseErrno(errno);
  if (holder.st_uid != link_owner) RaiseErrno(EACCES);
}

// The file that the chain of trusted symbolic links at `path` ends in (which
// need not exist yet); `path` itself when it is no link.
std::string FollowTrustedLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    const std::optional<LinkEntry> link = ReadLinkEntry(path);
    if (!link) return path;
    RequireTrustedLink(path, link->owner);
    const bool absolute = link->points_to.starts_with('/');
    path = absolute ? link->points_to : SplitPath(path).first + link->points_to;
  }
  RaiseErrno(ELOOP);
}

// A rename over a file asks only its folder: the file's own mode is checked
// here. Root passes every access check, yet a mode without any write bit is
// still the owner's wish that the file stay as it is.
void RequireWritable(const std::string& path, const struct stat& existing) {
  constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
  const uid_t user = geteuid();
  bool writable = false;
  if (user == existing.st_uid)
    writable = (existing.st_mode & S_IWUSR) != 0;
  else if (user == 0)
    writable = (existing.st_mode & kAnyWrite) != 0;
  else
    writable = faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
  if (!writable) RaiseErrno(EACCES);
}

// The new file stands in for the old one: it gets the old owner and group
// where we may set them (as root; elsewhere the file system or the kernel says
// no, and the file stays ours), and the old permission bits, but never the
// set-user-ID, set-group-ID or sticky bit, which would lend the old owner's
// rights to what we wrote. A mode that cannot be set (a FAT disk) leaves the
// mode the file was made with, which has none of those bits either.
void TakeOverOwnerAndMode(const FileDescriptor& file, const struct stat& old) {
  if (fchown(file.get(), old.st_uid, old.st_gid) != 0 && errno != EPERM && errno != EINVAL) {
    RaiseErrno(errno);
  }
  fchmod(file.get(), old.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO));
}

// The whole content of `from`, wherever its position stands, appended to `to`.
void CopyWholeFile(const FileDescriptor& from, int to) {
  char chunk[kReadChunk];
  for (std::uint64_t position = 0;;) {
    const std::size_t got = ReadAt(from, position, chunk, sizeof chunk);
    if (got == 0) return;
    WriteAll(to, std::string_view(chunk, got));
    position += got;
  }
}

}  // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    Reset();
    fd_ = other.Release();
  }
  return *this;
}

int FileDescriptor::Release() noexcept {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void FileDescriptor::Reset() noexcept {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

void FileDescriptor::Close() {
  if (fd_ < 0) return;
  // Linux frees the descriptor even when close fails or is interrupted: never
  // close it twice, and take an interruption for success.
  const int result = close(Release());
  if (result != 0 && errno != EINTR) RaiseErrno(errno);
}

FileDescriptor OpenWithoutWaiting(const std::string& path, int extra_flags) {
  FileDescriptor file(
      open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | extra_flags));
  if (!file.valid()) RaiseErrno(errno);
  return file;
}

FileDescriptor OpenRegularFile(const std::string& path, int extra_flags) {
  FileDescriptor file = OpenWithoutWaiting(path, extra_flags);
  struct stat info {};
  if (fstat(file.get(), &info) != 0) RaiseErrno(errno);
  if (!S_ISREG(info.st_mode)) RaiseErrno(EACCES);
  return file;
}

std::string ReadToEnd(const FileDescriptor& file) {
  std::string text;
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t got = RetryOnInterrupt([&] { return read(file.get(), chunk, sizeof chunk); });
    if (got < 0) RaiseErrno(errno);
    if (got == 0) return text;
    text.append(chunk, static_cast<std::size_t>(got));
  }
}

std::size_t ReadChunk(const FileDescriptor& file, void* target, std::size_t size) {
  const ssize_t got = RetryOnInterrupt([&] { return read(file.get(), target, size); });
  if (got < 0) RaiseErrno(errno);
  return static_cast<std::size_t>(got);
}

std::size_t ReadAt(const FileDescriptor& file, std::uint64_t position, void* target,
                   std::size_t size) {
  auto* bytes = static_cast<char*>(target);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = RetryOnInterrupt([&] {
      return pread(file.get(), bytes + done, size - done, static_cast<off_t>(position + done));
    });
    if (got < 0) RaiseErrno(errno);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = RetryOnInterrupt([&] { return write(fd, bytes.data(), bytes.size()); });
    if (written < 0) RaiseErrno(errno);
    if (written == 0) RaiseErrno(EIO);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

TemporarySibling::TemporarySibling(std::string target, mode_t mode) : target_(std::move(target)) {
  const auto [folder, name] = SplitPath(target_);
  const std::string stem = folder + "." + name.substr(0, kMaxTemporaryStem) + ".tmp-";
  for (int attempt = 0;; ++attempt) {
    path_ = stem + RandomSuffix();
    file_ = FileDescriptor(open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (file_.valid()) return;
    if (errno != EEXIST || attempt == kNameAttempts) {
      const int error = errno;
      path_.clear();
      RaiseErrno(error);
    }
  }
}

TemporarySibling::~TemporarySibling() {
  file_ = FileDescriptor();
  if (!moved_ && !path_.empty()) unlink(path_.c_str());
}

void TemporarySibling::SyncAndClose() {
  if (fsync(file_.get()) != 0) RaiseErrno(errno);
  file_.Close();
}

void TemporarySibling::ReplaceTarget() {
  if (rename(path_.c_str(), target_.c_str()) != 0) RaiseErrno(errno);
  moved_ = true;
}

bool TemporarySibling::MoveToTargetUnlessTaken() {
  int error = MoveWithoutReplacing();
  if (error == EEXIST && IsEmptyRegularFile(target_)) {
    error = rename(path_.c_str(), target_.c_str()) == 0 ? 0 : errno;
  }
  if (error == EEXIST) return false;
  if (error != 0) RaiseErrno(error);
  moved_ = true;
  return true;
}

int TemporarySibling::MoveWithoutReplacing() {
  if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // File systems without that rename: a hard link never replaces either.
  if (link(path_.c_str(), target_.c_str()) != 0) return errno;
  unlink(path_.c_str());
  path_.clear();
  return 0;
}

UnnamedNewFile::UnnamedNewFile(std::string target, mode_t mode)
    : target_(std::move(target)), mode_(mode) {
  const std::string folder = SplitPath(target_).first;
  // Readable too: should the link fail, the content is copied out of it.
  file_ = FileDescriptor(
      open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
  if (file_.valid()) return;
  // EISDIR: a kernel that does not know O_TMPFILE takes it for a folder's open.
  if (errno != EOPNOTSUPP && errno != EISDIR) RaiseErrno(errno);
  named_fallback_ = std::make_unique<TemporarySibling>(target_, mode_);
}

UnnamedNewFile::~UnnamedNewFile() = default;

FileDescriptor& UnnamedNewFile::descriptor() {
  return named_fallback_ ? named_fallback_->descriptor() : file_;
}

bool UnnamedNewFile::LinkToTargetUnlessTaken() {
  if (named_fallback_) return named_fallback_->MoveToTargetUnlessTaken();
  int error = LinkWithoutReplacing();
  if (error == EEXIST && IsEmptyRegularFile(target_)) {
    // A link cannot replace: the empty file gives way first. Should a writer
    // fill that name meanwhile, the second link finds it taken.
    if (unlink(target_.c_str()) != 0 && errno != ENOENT) RaiseErrno(errno);
    error = LinkWithoutReplacing();
  }
  if (error == EEXIST) return false;
  // The link goes through /proc, which a sandbox or a chroot may lack: the
  // content takes the named way then, and a real failure (a full disk) fails
  // there again.
  if (error != 0) return MoveCopyToTargetUnlessTaken();
  return true;
}

bool UnnamedNewFile::MoveCopyToTargetUnlessTaken() {
  named_fallback_ = std::make_unique<TemporarySibling>(target_, mode_);
  FileDescriptor& copy = named_fallback_->descriptor();
  CopyWholeFile(file_, copy.get());
  copy.Close();
  file_.Close();
  return named_fallback_->MoveToTargetUnlessTaken();
}

int UnnamedNewFile::LinkWithoutReplacing() const {
  const std::string self = "/proc/self/fd/" + std::to_string(file_.get());
  return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                           : errno;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes, ReplacedFile kind,
                           mode_t new_file_mode) {
  // A link stays a link: the file it points to takes the new content.
  const std::string target = FollowTrustedLinks(path);
  struct stat existing {};
  const bool exists = lstat(target.c_str(), &existing) == 0;
  if (exists) RequireWritable(target, existing);
  TemporarySibling temporary(target, new_file_mode);
  if (exists && kind == ReplacedFile::kKeepsOwnerAndMode) {
    TakeOverOwnerAndMode(temporary.descriptor(), existing);
  }
  WriteAll(temporary.descriptor().get(), bytes);
  temporary.SyncAndClose();
  // The folder is not synced: a rename lost to a power cut brings back the
  // previous whole file, and the sync would double the time of a save.
  temporary.ReplaceTarget();
}

}  // namespace platform
