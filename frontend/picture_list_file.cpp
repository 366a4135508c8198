#include "frontend/picture_list_file.h"

#include "frontend/memo_text.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "shared/helpers.h"

namespace quorvel {

std::string PictureListFileContent(std::string_view list_text) {
  return JoinLines(SplitLines(shared::Trim(list_text)));
}

void WritePictureListFile(const std::string& path, std::string_view list_text) {
  // Replaced whole, so a generator still reading the old list never meets a
  // half-written one, and a failed write leaves no part of a list behind.
  try {
    platform::ReplaceFileAtomically(path, PictureListFileContent(list_text),
                                    platform::ReplacedFile::kBecomesOurs);
  } catch (const platform::InOutError& error) {
    throw platform::Error("Cannot write the picture list " + path + ": " + error.cause());
  }
}

}  // namespace quorvel
