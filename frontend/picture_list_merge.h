#pragma once
// The picture list of the main window: adding picked pictures to it and the
// count shown beside it. Paths are compared exactly, case included.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

inline constexpr std::string_view kTotalFilesPrefix = "Total file(s): ";

struct PictureListMerge {
  std::string list_text;  // the new text of the list, trimmed
  // Picked paths holding a line break: the list file has one path per line, so
  // such a path would reach the generator as pieces of other paths.
  std::vector<std::string> refused;
};

// The list after the user picked `picked` (in the dialog's order): the current
// text trimmed, without its lines equal to a picked path (trimmed) and without
// blank lines, then the picked paths. A path picked again moves to the end. No
// pick (a cancelled dialog) leaves the text as it is.
PictureListMerge MergePickedPictures(std::string_view list_text,
                                     const std::vector<std::string>& picked);

// The number of pictures the list shows: its line count.
std::size_t PictureCount(std::string_view list_text);

// A list of blanks and empty lines only counts as empty.
bool IsEmptyPictureList(std::string_view list_text);

// "Total file(s): " and the line count.
std::string TotalFilesCaption(std::string_view list_text);

}  // namespace quorvel
