#pragma once
// Stands in for a named block of shared memory (CreateFileMappingA /
// OpenFileMappingA / MapViewOfFile) of 8 bytes.
//
// The block "name" of user U is the POSIX shared memory object
// "/" U "-" <name>, mode 0600 (a "/" inside the name is written "_", a "_"
// "%5F" and a "%" "%25"; a name too long for the system is cut and completed
// by a hash of the whole name). Two files of the user's runtime folder (UserRuntimeDir(), mode
// 0700) go with it:
//   block-<name>.lock     exclusive flock while a process opens, creates,
//                         reads or changes the block (SharedBlockLock);
//   block-<name>.holders  every process that holds the block keeps a shared
//                         flock on it; it holds the object's name.
// The block exists while a process holds it: when no holder's lock remains
// (all holders ended, or died by a crash or kill -9, whose locks the kernel
// drops), the next opener counts it as new and starts it from 8 zero bytes.
// Holders lock the object too (shared_object.h), so a record whose holders
// died removes its object only when no live process holds that object: not
// one that a holder with another runtime folder has made since under the
// same name. Such a holder's block counts as existing but cannot be opened
// from here. An object of that name that is another user's is never used or
// removed: the block then lives under the name followed by "-" and a random
// number, which the holders file records. Another user can therefore neither
// read ours nor keep ours from being made.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/errors.h"
#include "platform/file.h"

namespace platform {

// The part of the block's file and object names that comes from `name`:
// without "/", at most kMaxBlockKeyLength bytes, and different for different names.
std::string SharedBlockKey(std::string_view name);
inline constexpr std::size_t kMaxBlockKeyLength = 160;

// Removes the objects of every block of the runtime folder that no live
// process holds (their holders were killed), skipping blocks that are busy
// right now. Creating a block does this too.
void RemoveAbandonedSharedBlocks();

// The block exists (a live process holds it) but cannot be opened.
class SharedBlockOpenError : public SystemError {
 public:
  using SystemError::SystemError;
};

// The block's lock was not free by the deadline: a process that holds it is
// stopped or hung.
class SharedBlockBusyError : public SystemError {
 public:
  using SystemError::SystemError;
};

// How long taking a block's lock waits unless told otherwise.
inline constexpr std::chrono::seconds kSharedBlockLockWait{2};

// Exclusive use of the block `name` among the processes of this user, from
// construction (which waits for it until `deadline`) to destruction. Throws
// SharedBlockBusyError when the deadline passes first, SystemError when the
// runtime folder or the lock file cannot be used.
class SharedBlockLock {
 public:
  explicit SharedBlockLock(std::string_view name,
                           std::chrono::steady_clock::time_point deadline =
                               std::chrono::steady_clock::now() + kSharedBlockLockWait);
  const std::string& key() const { return key_; }
  // The runtime folder as it was when the lock was taken.
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::string key_;
  std::filesystem::path folder_;
  FileDescriptor fd_;
};

// This process's hold on the block, from construction to destruction, and its
// view of the 8 bytes. Made under the block's lock; reads and writes of the
// bytes by more than one process need that lock around them too.
class SharedBlock {
 public:
  static constexpr std::size_t kSize = 8;

  // Opens the block, or creates it (8 zero bytes) when no live process holds
  // it. Throws SharedBlockOpenError when it exists but cannot be opened (a
  // holder with another runtime folder included), SystemError when it cannot
  // be created.
  explicit SharedBlock(const SharedBlockLock& lock);
  // Never waits: the last holder removes the object when the lock is free at
  // that moment; otherwise the next creator removes what is left. So drop a
  // block after its lock, not under it.
  ~SharedBlock();
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;

  // False when this process created the block, true when others held it before.
  bool existed() const { return existed_; }
  std::span<std::byte, kSize> bytes() { return std::span<std::byte, kSize>(view_, kSize); }
  // The object's name, as the holders file records it.
  const std::string& object_name() const { return object_name_; }

 private:
  void Create();
  std::pair<std::string, FileDescriptor> CreateUnderFreeName() const;
  void OpenExisting();
  void MapObject(FileDescriptor object);
  void RemoveIfLast();

  std::string key_;
  std::filesystem::path folder_;
  std::string object_name_;
  FileDescriptor holders_;
  FileDescriptor object_;
  std::byte* view_ = nullptr;
  bool existed_ = false;
};

}  // namespace platform
