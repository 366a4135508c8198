#pragma once
// The POSIX shared memory objects behind the named blocks (shared_block.h).
//
// Every process that uses an object keeps a shared flock on it, and an object
// is removed only under an exclusive one. So whether an object is in use is
// judged from the object itself, whichever runtime folder recorded it: a
// record that outlived its object (a restart that emptied /dev/shm) never
// removes the object a live process has made under that name since.

#include <cstddef>
#include <string>
#include <variant>

#include "platform/file.h"

namespace platform {

// What stands under an object name that is not free.
enum class ObjectNameUse {
  kHeld,     // an object of ours that a live process holds
  kForeign,  // something we cannot use: another user's object, or not an object at all
};

// A new object `name` of `size` zero bytes, mode 0600, held through the
// returned descriptor. An object of ours that nobody holds is removed first.
// Throws SystemError when the name is free but no object can be made.
std::variant<FileDescriptor, ObjectNameUse> CreateHeldObject(const std::string& name,
                                                             std::size_t size);

// The object `name` of ours, `size` bytes long, held through the returned
// descriptor. Throws SystemError when there is none, it is not ours, or it
// is being removed.
FileDescriptor OpenHeldObject(const std::string& name, std::size_t size);

// Removes the object `name` when it is ours and nobody holds it; never waits.
void RemoveObjectIfUnheld(const std::string& name);

// Removes the object `name`, held through `object`, when no other process
// holds it; never waits. This process's hold may be gone afterwards.
void RemoveObjectIfLastHolder(const FileDescriptor& object, const std::string& name);

}  // namespace platform
