#include "platform/runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/errors.h"

namespace platform {
namespace {

std::filesystem::path ChooseRuntimeDir() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg != nullptr && *xdg != '\0') return std::filesystem::path(xdg) / "quorvel";
  return std::filesystem::path("/tmp") / ("quorvel-" + std::to_string(getuid()));
}

}  // namespace

std::filesystem::path UserRuntimeDir() {
  const std::filesystem::path dir = ChooseRuntimeDir();
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) throw SystemError(errno);
  struct stat info {};
  // lstat: a link planted by someone else must not redirect us.
  if (lstat(dir.c_str(), &info) != 0) throw SystemError(errno);
  if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 0077) != 0) {
    throw SystemError(EACCES);
  }
  return dir;
}

}  // namespace platform
