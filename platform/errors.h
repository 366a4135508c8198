#pragma once
// Stands in for the runtime's exception classes and their message texts.

#include <stdexcept>
#include <string>

namespace platform {

// Base of every error our programs raise on purpose.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that should have been a decimal integer.
class ConvertError : public Error {
 public:
  explicit ConvertError(const std::string& text);
};

// Input/output errors of files read as plain bytes or as text.
class InOutError : public Error {
 public:
  enum Code : int {
    kFileNotFound = 2,
    kAccessDenied = 5,
    kReadBeyondEnd = 100,
    kDiskWriteError = 101,
  };
  InOutError(int code, const std::string& message);
  static InOutError ReadBeyondEnd();
  static InOutError FileNotFound();
  // From an errno value of a failed open, read or write.
  static InOutError FromErrno(int errno_value);
  int code() const { return code_; }
  // What the system said, such as "No space left on device"; the message
  // otherwise.
  std::string cause() const;

 private:
  static InOutError MappedFromErrno(int errno_value);

  int code_;
  int errno_value_ = 0;
};

// A settings file write that did not reach the disk.
class ProfileWriteError : public Error {
 public:
  explicit ProfileWriteError(const std::string& path, std::string cause = {});
  // Why, as the system said it ("Permission denied"); empty when no call of
  // the system failed.
  const std::string& cause() const { return cause_; }

 private:
  std::string cause_;
};

// An operating system call that failed without a more specific error.
class SystemError : public Error {
 public:
  explicit SystemError(int code);
  int code() const { return code_; }

 private:
  int code_;
};

// Neither /proc nor the name a program was started by tells which file it runs
// from, and so which folder is its own.
class OwnFolderNotFoundError : public Error {
 public:
  explicit OwnFolderNotFoundError(const std::string& start_name);
};

}  // namespace platform
