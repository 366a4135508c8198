#pragma once
// Output file names: the source's base, "_DateTime_", a counter and the source
// extension, in the output folder of the settings, never over a file with data.

#include <string>
#include <string_view>

#include "platform/errors.h"

namespace vantrel {

// The extension of a path: from its last "." to the end, provided no "/"
// follows that "."; "" otherwise.
std::string ExtensionOf(std::string_view path);

struct NamingStep {
  std::string base;
  std::string output_name;
};

// From the file-name part of a source (`source_name`, extension included) and
// its extension, the base name and the output name. An earlier "_DateTime_"
// marker and counter are taken off the base, and the counter moves on by one.
// What follows the marker counts as a counter only when it is all digits within
// the 32-bit range; anything else, the empty text included, starts at "0001".
// Counters from 1000 on are written in plain decimal.
NamingStep GenFilename(const std::string& source_name, const std::string& source_ext);

// Every one of the candidates that the free-name search tries is taken.
class NoFreeOutputNameError : public platform::Error {
 public:
  explicit NoFreeOutputNameError(const std::string& picture);
};

// The output name (without folder) for `current_picture` in `output_path`,
// which is put in front of it by plain concatenation. A candidate that does not
// exist or is an empty regular file is free; any other entry (a file that holds
// data, a folder, a symbolic link wherever it points, a pipe) is passed over
// and left as it is. Throws NoFreeOutputNameError when kMaxOutputNameTries
// candidates are all taken.
inline constexpr int kMaxOutputNameTries = 1000;
std::string ChooseOutputName(const std::string& current_picture, const std::string& output_path);

}  // namespace vantrel
