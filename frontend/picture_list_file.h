#pragma once
// The picture list file the generator reads at the start of a run.

#include <string>
#include <string_view>

namespace quorvel {

inline constexpr std::string_view kPictureListFileName = "filelist";

// The file's bytes for a list text: trimmed, lines separated by CR LF, no break
// after the last line. Blank lines inside are kept; the generator skips them.
std::string PictureListFileContent(std::string_view list_text);

// Replaces the file at `path` with the list as a whole: a generator still
// reading the old list keeps the old one, and a failed write leaves the old file
// as it was. Throws platform::Error naming the file and the system's cause.
void WritePictureListFile(const std::string& path, std::string_view list_text);

}  // namespace quorvel
