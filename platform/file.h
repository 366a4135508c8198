#pragma once
// The one way our programs open, write and replace files. Every failure is
// raised as InOutError with the runtime's message for its errno value, so that
// a caller that names the file only has to add the name.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Owns one open descriptor and closes it when it goes.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Gives the descriptor up to a new owner (a stdio stream, say).
  int Release() noexcept;
  // Closes now; a failing close can be the last word of a failed write, so it
  // is raised. The descriptor is gone either way.
  void Close();

 private:
  void Reset() noexcept;

  int fd_ = -1;
};

// Opens `path` for reading without waiting, so that a pipe in the file's place
// cannot hold the caller in the open. `extra_flags` are added (O_NOFOLLOW).
FileDescriptor OpenWithoutWaiting(const std::string& path, int extra_flags = 0);

// As OpenWithoutWaiting, but anything other than a regular file (a folder, a
// pipe, a device that could give bytes forever) is refused as access denied.
FileDescriptor OpenRegularFile(const std::string& path, int extra_flags = 0);

// Reads from the current position to the end of the file.
std::string ReadToEnd(const FileDescriptor& file);

// One read of up to `size` bytes from the current position, going on after
// interruptions; 0 at the end of the file.
std::size_t ReadChunk(const FileDescriptor& file, void* target, std::size_t size);

// Reads `size` bytes at `position`, leaving the file position alone; fewer only
// where the file ends.
std::size_t ReadAt(const FileDescriptor& file, std::uint64_t position, void* target,
                   std::size_t size);

// Writes every byte, going on after interruptions and short writes.
void WriteAll(int fd, std::string_view bytes);

// A new file under a hidden temporary name in the folder of `target`
// (".<name>.tmp-<random>"), so that whoever waits for `target` never sees a
// part of it. Removed again when it goes, unless it was moved to `target`.
class TemporarySibling {
 public:
  // The new file gets `mode` less the umask.
  explicit TemporarySibling(std::string target, mode_t mode = 0666);
  ~TemporarySibling();
  TemporarySibling(const TemporarySibling&) = delete;
  TemporarySibling& operator=(const TemporarySibling&) = delete;

  const std::string& path() const { return path_; }
  FileDescriptor& descriptor() { return file_; }

  // Makes the content durable before the file takes the target's name.
  void SyncAndClose();
  // Renames it over the target, replacing whatever stood there.
  void ReplaceTarget();
  // Moves it to the target unless a file that holds data is there: then
  // returns false and the target is left untouched. An empty regular file at
  // the target (a name kept free for this file) is replaced.
  bool MoveToTargetUnlessTaken();

 private:
  int MoveWithoutReplacing();

  std::string target_;
  std::string path_;
  FileDescriptor file_;
  bool moved_ = false;
};

// A new file in the folder of `target` that has no name at all until it is
// linked to `target` (O_TMPFILE), so that nobody sees a part of it and a writer
// killed in the middle leaves nothing behind. Where the file system cannot make
// such a file, it is a TemporarySibling instead; where it cannot be linked
// (the link goes through /proc, which a sandbox may lack), its content is
// copied into a TemporarySibling that takes the name in its place.
class UnnamedNewFile {
 public:
  // The new file gets `mode` less the umask.
  explicit UnnamedNewFile(std::string target, mode_t mode = 0666);
  ~UnnamedNewFile();
  UnnamedNewFile(const UnnamedNewFile&) = delete;
  UnnamedNewFile& operator=(const UnnamedNewFile&) = delete;

  // Must stay open until the file is linked: closing it drops an unnamed file.
  FileDescriptor& descriptor();
  // Gives the file the target's name unless a file that holds data has it:
  // then returns false and the target is left untouched. An empty regular file
  // at the target (a name kept free for this file) is replaced.
  bool LinkToTargetUnlessTaken();

 private:
  int LinkWithoutReplacing() const;
  bool MoveCopyToTargetUnlessTaken();

  std::string target_;
  mode_t mode_;
  FileDescriptor file_;
  std::unique_ptr<TemporarySibling> named_fallback_;
};

// What a replacement takes over from the file it replaces. Only the caller
// knows whose file it is: the user's own settings, which they may have shared
// with a group or another user on purpose, or a file that only our programs
// write, where another user's owner or mode would let them change what a run
// of ours reads next.
enum class ReplacedFile {
  kKeepsOwnerAndMode,  // the owner and group where we may set them, and the permission bits
  kBecomesOurs,        // the running user's, with the mode a new file gets
};

// Replaces the file at `path` by `bytes` as one step: a reader sees the old
// content or the new, never a part, and a failure (or a writer killed in the
// middle) leaves the old file whole. With kKeepsOwnerAndMode an existing file
// keeps its owner and group where we may set them (as root) and its permission
// bits, less the set-user-ID, set-group-ID and sticky bits; a new file, and
// every file with kBecomesOurs, is ours with `new_file_mode` less the umask. A
// file whose mode denies us writing is refused (access denied), also for root.
// A symbolic link that is ours, or that belongs to the owner of its folder, is
// written through to the file it points to and stays a link; anybody else's
// link is refused (access denied) and nothing is written.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes, ReplacedFile kind,
                           mode_t new_file_mode = 0666);

}  // namespace platform
