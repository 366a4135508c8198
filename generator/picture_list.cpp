#include "generator/picture_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/errors.h"

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

PictureListReader::PictureListReader(const std::string& path) : buffer_(kChunkSize) {
  // Non-blocking, so that a pipe in the list's place cannot hold the run in
  // the open; anything but a regular file is refused.
  fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) throw platform::InOutError::FromErrno(errno);
  struct stat info {};
  const int error = fstat(fd_, &info) != 0 ? errno : (S_ISREG(info.st_mode) ? 0 : EACCES);
  if (error != 0) {
    close(fd_);
    throw platform::InOutError::FromErrno(error);
  }
  FillWhenEmpty();
}

PictureListReader::~PictureListReader() {
  close(fd_);
}

bool PictureListReader::AtEnd() const {
  return pos_ == size_ && exhausted_;
}

void PictureListReader::FillWhenEmpty() {
  while (pos_ == size_ && !exhausted_) {
    const ssize_t got = read(fd_, buffer_.data(), buffer_.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw platform::InOutError::FromErrno(errno);
    pos_ = 0;
    size_ = static_cast<std::size_t>(got);
    exhausted_ = got == 0;
  }
}

std::string PictureListReader::ReadLine() {
  std::string line;
  while (!AtEnd()) {
    const auto begin = buffer_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto end = buffer_.begin() + static_cast<std::ptrdiff_t>(size_);
    const auto lf = std::find(begin, end, '\n');
    line.append(begin, lf);
    pos_ = static_cast<std::size_t>(lf - buffer_.begin());
    if (lf != end) {
      ++pos_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      FillWhenEmpty();
      return line;
    }
    FillWhenEmpty();
  }
  return line;
}
