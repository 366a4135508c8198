#pragma once
// The per-user folder that holds our registries (windows, added fonts).

#include <filesystem>

namespace platform {

// "$XDG_RUNTIME_DIR/quorvel", or "/tmp/quorvel-<uid>" when that variable is
// unset, created with mode 0700 when missing. The environment is read at every
// call, so tests can point it at a folder of their own. Throws SystemError when
// the folder cannot be made, or belongs to another user or is open to others.
std::filesystem::path UserRuntimeDir();

}  // namespace platform
