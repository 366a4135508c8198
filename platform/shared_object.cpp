#include "platform/shared_object.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/system_call.h"

namespace platform {
namespace {

// Each round either makes the object or removes an unheld one in its way; more
// are needed only while other processes keep making and removing it.
constexpr int kCreateRounds = 4;

enum class RemovalOutcome { kGone, kHeld, kForeign };

int Flock(int fd, int operation) {
  return RetryOnInterrupt([&] { return flock(fd, operation); });
}

struct stat Status(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) throw SystemError(errno);
  return info;
}

bool IsOurs(const struct stat& info) {
  return S_ISREG(info.st_mode) && info.st_uid == getuid();
}

// False when a removal holds the object, or has already unlinked it: removals
// unlink only under an exclusive lock, so a held object that still has its
// name keeps it.
bool Hold(int fd) {
  if (Flock(fd, LOCK_SH | LOCK_NB) != 0) return false;
  return Status(fd).st_nlink > 0;
}

RemovalOutcome RemoveUnheld(const std::string& name) {
  const FileDescriptor fd(shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0));
  if (!fd.valid()) return errno == ENOENT ? RemovalOutcome::kGone : RemovalOutcome::kForeign;
  if (!IsOurs(Status(fd.get()))) return RemovalOutcome::kForeign;
  if (Flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return RemovalOutcome::kHeld;
  // Opened before another removal unlinked it: the name may be a new object's by now.
  if (Status(fd.get()).st_nlink == 0) return RemovalOutcome::kGone;
  shm_unlink(name.c_str());
  return RemovalOutcome::kGone;
}

void Shape(const FileDescriptor& fd, const std::string& name, std::size_t size) {
  if (fchmod(fd.get(), 0600) == 0 && ftruncate(fd.get(), static_cast<off_t>(size)) == 0) return;
  const int error = errno;
  shm_unlink(name.c_str());
  throw SystemError(error);
}

}  // namespace

std::variant<FileDescriptor, ObjectNameUse> CreateHeldObject(const std::string& name,
                                                             std::size_t size) {
  for (int round = 0; round < kCreateRounds; ++round) {
    FileDescriptor fd(shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.valid()) {
      // Unlinked by a removal before the hold was taken: the name is free again.
      if (!Hold(fd.get())) continue;
      Shape(fd, name, size);
      return fd;
    }
    if (errno != EEXIST) throw SystemError(errno);
    switch (RemoveUnheld(name)) {
      case RemovalOutcome::kHeld:
        return ObjectNameUse::kHeld;
      case RemovalOutcome::kForeign:
        return ObjectNameUse::kForeign;
      case RemovalOutcome::kGone:
        break;
    }
  }
  throw SystemError(EEXIST);
}

FileDescriptor OpenHeldObject(const std::string& name, std::size_t size) {
  FileDescriptor fd(shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0));
  if (!fd.valid()) throw SystemError(errno);
  const struct stat info = Status(fd.get());
  if (!IsOurs(info) || static_cast<std::size_t>(info.st_size) != size) throw SystemError(EACCES);
  if (!Hold(fd.get())) throw SystemError(ENOENT);
  return fd;
}

void RemoveObjectIfUnheld(const std::string& name) {
  RemoveUnheld(name);
}

void RemoveObjectIfLastHolder(const FileDescriptor& object, const std::string& name) {
  if (Flock(object.get(), LOCK_EX | LOCK_NB) == 0) shm_unlink(name.c_str());
}

}  // namespace platform
