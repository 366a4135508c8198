#pragma once
// The output folder as the folder browser's answer makes it.

#include <string>

namespace quorvel {

// The new output folder for the browser's answer `chosen` (empty when the user
// cancelled): the folder with one trailing "/" whether or not the answer had
// one, and every "//" made one, the root staying "/". A cancel keeps `old`.
std::string OutputFolderFromChoice(const std::string& chosen, const std::string& old);

}  // namespace quorvel
