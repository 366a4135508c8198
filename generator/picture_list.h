#pragma once
// The picture list "filelist", read line by line as a text file.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file.h"

namespace vantrel {

// Holds the list open from construction to destruction. Lines end at CR LF or
// at a lone LF; a CR not followed by LF belongs to the line. Read it as
//   do { line = reader.ReadLine(); ... } while (!reader.AtEnd());
// so that an empty file gives one empty line and a line break at the very end
// gives no extra line.
class PictureListReader {
 public:
  // A missing or unreadable file throws platform::InOutError ("File not found"
  // for a missing one); anything but a regular file (a folder, a pipe) is
  // refused as access denied.
  explicit PictureListReader(const std::string& path);

  bool AtEnd() const;
  // The next line without its line end and without trimming; "" at the end.
  std::string ReadLine();

 private:
  // Makes at least one unread byte available unless the file is exhausted.
  void FillWhenEmpty();

  platform::FileDescriptor file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool exhausted_ = false;
};

}  // namespace vantrel
