#include "frontend/picture_list_merge.h"

#include <algorithm>

#include "frontend/memo_text.h"
#include "shared/helpers.h"

namespace quorvel {
namespace {

bool HoldsLineBreak(std::string_view path) {
  return path.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

PictureListMerge MergePickedPictures(std::string_view list_text,
                                     const std::vector<std::string>& picked) {
  PictureListMerge merge;
  std::vector<std::string> added;
  for (const auto& path : picked) {
    if (HoldsLineBreak(path)) {
      merge.refused.push_back(path);
    } else if (!IsBlankText(path)) {
      added.push_back(path);
    }
  }
  if (added.empty()) {
    merge.list_text = list_text;
    return merge;
  }
  std::vector<std::string> trimmed_added;
  for (const auto& path : added) trimmed_added.push_back(shared::Trim(path));
  const std::string current = WithoutLines(list_text, [&](std::string_view line) {
    return std::find(trimmed_added.begin(), trimmed_added.end(), line) != trimmed_added.end();
  });
  const std::string picked_text = shared::Trim(JoinLines(added));
  merge.list_text = current.empty() ? picked_text : current + std::string(kLineBreak) + picked_text;
  return merge;
}

std::size_t PictureCount(std::string_view list_text) {
  return CountLines(list_text);
}

bool IsEmptyPictureList(std::string_view list_text) {
  return IsBlankText(list_text);
}

std::string TotalFilesCaption(std::string_view list_text) {
  return std::string(kTotalFilesPrefix) + std::to_string(PictureCount(list_text));
}

}  // namespace quorvel
