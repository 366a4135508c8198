#include "generator/picture_list.h"

#include <algorithm>

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
    size_ = platform::ReadChunk(file_, buffer_.data(), buffer_.size());
    pos_ = 0;
    exhausted_ = size_ == 0;
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
