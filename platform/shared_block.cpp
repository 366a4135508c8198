#include "platform/shared_block.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <thread>
#include <utility>
#include <variant>

#include "platform/errors.h"
#include "platform/runtime_dir.h"
#include "platform/shared_object.h"
#include "platform/system_call.h"

namespace platform {
namespace {

constexpr std::size_t kHashDigits = 16;
constexpr std::size_t kMaxObjectNameLength = 255;
constexpr int kFallbackAttempts = 8;
constexpr std::size_t kFallbackDigits = 8;
constexpr const char* kHexDigits = "0123456789abcdef";

// Readable and one-to-one: "/" becomes "_", so "_" and the escape "%" are
// written as "%5F" and "%25".
std::string Escape(std::string_view name) {
  std::string escaped;
  escaped.reserve(name.size());
  for (const char c : name) {
    if (c == '%') {
      escaped += "%25";
    } else if (c == '_') {
      escaped += "%5F";
    } else if (c == '/') {
      escaped += '_';
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string Hex(std::uint64_t value, std::size_t digits) {
  std::string text(digits, '0');
  for (std::size_t i = digits; i-- > 0; value >>= 4) text[i] = kHexDigits[value & 0xF];
  return text;
}

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

constexpr std::string_view kFilePrefix = "block-";
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kHoldersSuffix = ".holders";

std::filesystem::path BlockFile(const std::filesystem::path& folder, const std::string& key,
                                std::string_view suffix) {
  return folder / (std::string(kFilePrefix) + key + std::string(suffix));
}

// A file of our runtime folder, never a link or something another user put there.
FileDescriptor OpenPrivateFile(const std::filesystem::path& path) {
  FileDescriptor fd(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (fd.get() < 0) throw SystemError(errno);
  struct stat info {};
  if (fstat(fd.get(), &info) != 0) throw SystemError(errno);
  if (!S_ISREG(info.st_mode) || info.st_uid != getuid()) throw SystemError(EACCES);
  return fd;
}

int Flock(int fd, int operation) {
  return RetryOnInterrupt([&] { return flock(fd, operation); });
}

// Built by appending: GCC 12 warns (-Wrestrict) falsely on "/" + std::string.
std::string ObjectPrefix(const std::string& key) {
  std::string prefix = "/";
  prefix.append(std::to_string(getuid())).append("-").append(key);
  return prefix;
}

// The object name the holders file records, when it is one of ours for this key.
std::optional<std::string> ReadRecordedName(int holders, const std::string& key) {
  std::array<char, kMaxObjectNameLength + 1> buffer{};
  const ssize_t got = pread(holders, buffer.data(), buffer.size(), 0);
  if (got <= 0 || static_cast<std::size_t>(got) > kMaxObjectNameLength) return std::nullopt;
  const std::string name(buffer.data(), static_cast<std::size_t>(got));
  const std::string prefix = ObjectPrefix(key);
  if (name == prefix) return name;
  const bool fallback = name.size() == prefix.size() + 1 + kFallbackDigits &&
                        name.compare(0, prefix.size() + 1, prefix + "-") == 0 &&
                        name.find_first_not_of(kHexDigits, prefix.size() + 1) == std::string::npos;
  if (!fallback) return std::nullopt;
  return name;
}

void RecordName(int holders, const std::string& name) {
  if (ftruncate(holders, 0) != 0) throw SystemError(errno);
  const ssize_t written = pwrite(holders, name.data(), name.size(), 0);
  if (written < 0) throw SystemError(errno);
  if (static_cast<std::size_t>(written) != name.size()) throw SystemError(EIO);
}

// The object of block `key` when no holder's lock remains; never waits.
void RemoveIfAbandoned(const std::filesystem::path& folder, const std::string& key) {
  const FileDescriptor lock = OpenPrivateFile(BlockFile(folder, key, kLockSuffix));
  if (Flock(lock.get(), LOCK_EX | LOCK_NB) != 0) return;
  const FileDescriptor holders = OpenPrivateFile(BlockFile(folder, key, kHoldersSuffix));
  if (Flock(holders.get(), LOCK_EX | LOCK_NB) != 0) return;
  const auto recorded = ReadRecordedName(holders.get(), key);
  if (recorded) RemoveObjectIfUnheld(*recorded);
}

// Waits for the lock in short steps, as flock itself has no deadline.
void LockBefore(int fd, std::chrono::steady_clock::time_point deadline) {
  constexpr std::chrono::milliseconds kStep{5};
  while (Flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) throw SystemError(errno);
    if (std::chrono::steady_clock::now() >= deadline) throw SharedBlockBusyError(ETIMEDOUT);
    std::this_thread::sleep_for(kStep);
  }
}

void RemoveAbandonedBlocksIn(const std::filesystem::path& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kFilePrefix) || !name.ends_with(kHoldersSuffix)) continue;
    const std::string key =
        name.substr(kFilePrefix.size(), name.size() - kFilePrefix.size() - kHoldersSuffix.size());
    try {
      RemoveIfAbandoned(folder, key);
    } catch (const SystemError&) {
      // Not one of ours (a link, another user's file): left alone.
    }
  }
}

}  // namespace

void RemoveAbandonedSharedBlocks() {
  RemoveAbandonedBlocksIn(UserRuntimeDir());
}

std::string SharedBlockKey(std::string_view name) {
  std::string key = Escape(name);
  if (key.size() <= kMaxBlockKeyLength) return key;
  key.resize(kMaxBlockKeyLength - kHashDigits - 1);
  return key + "~" + Hex(Fnv1a(name), kHashDigits);
}

SharedBlockLock::SharedBlockLock(std::string_view name,
                                 std::chrono::steady_clock::time_point deadline)
    : key_(SharedBlockKey(name)), folder_(UserRuntimeDir()) {
  fd_ = OpenPrivateFile(BlockFile(folder_, key_, kLockSuffix));
  LockBefore(fd_.get(), deadline);
}

SharedBlock::SharedBlock(const SharedBlockLock& lock) : key_(lock.key()), folder_(lock.folder()) {
  holders_ = OpenPrivateFile(BlockFile(folder_, key_, kHoldersSuffix));
  if (Flock(holders_.get(), LOCK_EX | LOCK_NB) == 0) {
    Create();
    return;
  }
  if (errno != EWOULDBLOCK) throw SystemError(errno);
  existed_ = true;
  // Every holder takes its shared lock under the block's lock, which we hold.
  if (Flock(holders_.get(), LOCK_SH | LOCK_NB) != 0) throw SharedBlockOpenError(errno);
  OpenExisting();
}

SharedBlock::~SharedBlock() {
  if (view_ != nullptr) munmap(view_, kSize);
  try {
    RemoveIfLast();
  } catch (const Error&) {
    // What is left behind is removed by the next creator.
  }
}

void SharedBlock::Create() {
  // Objects left by holders that all died go first, those of other blocks
  // too; an object that a live copy has made under a recorded name since stays.
  if (const auto previous = ReadRecordedName(holders_.get(), key_)) RemoveObjectIfUnheld(*previous);
  RemoveAbandonedBlocksIn(folder_);
  auto [name, object] = CreateUnderFreeName();
  try {
    RecordName(holders_.get(), name);
  } catch (const SystemError&) {
    shm_unlink(name.c_str());
    throw;
  }
  object_name_ = std::move(name);
  if (Flock(holders_.get(), LOCK_SH | LOCK_NB) != 0) throw SystemError(errno);
  MapObject(std::move(object));
}

std::pair<std::string, FileDescriptor> SharedBlock::CreateUnderFreeName() const {
  const std::string base = ObjectPrefix(key_);
  auto made = CreateHeldObject(base, kSize);
  // Held by a live copy that records its block in another runtime folder
  // (XDG_RUNTIME_DIR set for one start, unset for the other): the block exists.
  if (const auto* use = std::get_if<ObjectNameUse>(&made); use && *use == ObjectNameUse::kHeld) {
    throw SharedBlockOpenError(EBUSY);
  }
  std::string name = base;
  std::random_device random;
  for (int attempt = 0;
       !std::holds_alternative<FileDescriptor>(made) && attempt < kFallbackAttempts; ++attempt) {
    name = base + "-" + Hex(random(), kFallbackDigits);
    made = CreateHeldObject(name, kSize);
  }
  if (!std::holds_alternative<FileDescriptor>(made)) throw SystemError(EEXIST);
  return {std::move(name), std::move(std::get<FileDescriptor>(made))};
}

void SharedBlock::OpenExisting() {
  const auto name = ReadRecordedName(holders_.get(), key_);
  if (!name) throw SharedBlockOpenError(EINVAL);
  FileDescriptor object;
  try {
    object = OpenHeldObject(*name, kSize);
  } catch (const SystemError& error) {
    throw SharedBlockOpenError(error.code());
  }
  object_name_ = *name;
  MapObject(std::move(object));
}

void SharedBlock::MapObject(FileDescriptor object) {
  void* view = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, object.get(), 0);
  if (view == MAP_FAILED) throw SystemError(errno);
  view_ = static_cast<std::byte*>(view);
  // Kept open: its hold tells every runtime folder that the object is in use.
  object_ = std::move(object);
}

void SharedBlock::RemoveIfLast() {
  if (!object_.valid()) return;
  // Without the lock a starting copy could be opening the object right now.
  const FileDescriptor lock = OpenPrivateFile(BlockFile(folder_, key_, kLockSuffix));
  if (Flock(lock.get(), LOCK_EX | LOCK_NB) != 0) return;
  if (Flock(holders_.get(), LOCK_EX | LOCK_NB) == 0)
    RemoveObjectIfLastHolder(object_, object_name_);
}

}  // namespace platform
