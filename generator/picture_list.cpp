#include "generator/picture_list.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/errors.h"
#include "platform/file.h"

namespace vantrel {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

PictureListReader::PictureListReader(const std::string& path)
    : file_(platform::OpenRegularFile(path)), buffer_(kChunkSize) {
  FillWhenEmpty();
}

bool PictureListReader::AtEnd() const {
  return pos_ == size_ && exhausted_;
}

void PictureListReader::FillWhenEmpty() {
  while (pos_ == size_ && !exhausted_) {
    const ssize_t got = read(file_.get(), buffer_.data(), buffer_.size());
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

}  // namespace vantrel
