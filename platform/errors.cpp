#include "platform/errors.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {

ConvertError::ConvertError(const std::string& text)
    : Error("'" + text + "' is not a valid integer value") {}

InOutError::InOutError(int code, const std::string& message) : Error(message), code_(code) {}

InOutError InOutError::ReadBeyondEnd() {
  return {kReadBeyondEnd, "Read beyond end of file"};
}

InOutError InOutError::FileNotFound() {
  return {kFileNotFound, "File not found"};
}

InOutError InOutError::FromErrno(int errno_value) {
  InOutError error = MappedFromErrno(errno_value);
  error.errno_value_ = errno_value;
  return error;
}

std::string InOutError::cause() const {
  return errno_value_ != 0 ? std::strerror(errno_value_) : what();
}

InOutError InOutError::MappedFromErrno(int errno_value) {
  switch (errno_value) {
    case ENOENT:
    case ENOTDIR:
      return FileNotFound();
    case EACCES:
    case EPERM:
      return {kAccessDenied, "File access denied"};
    case ENOSPC:
      return {kDiskWriteError, "Disk write error"};
    default:
      return {errno_value, std::strerror(errno_value)};
  }
}

ProfileWriteError::ProfileWriteError(const std::string& path, std::string cause)
    : Error("Unable to write to " + path), cause_(std::move(cause)) {}

SystemError::SystemError(int code)
    : Error("System Error.  Code: " + std::to_string(code) + "."), code_(code) {}

OwnFolderNotFoundError::OwnFolderNotFoundError(const std::string& start_name)
    : Error("Cannot find this program's own folder: '" + start_name +
            "' names no program file here nor on PATH") {}

}  // namespace platform
