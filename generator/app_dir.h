#pragma once

#include <string>

namespace vantrel {

// The folder of the running program file, with its trailing "/". Throws
// platform::OwnFolderNotFoundError when neither /proc nor the name the
// generator was started by tells it: the working folder may be another
// common folder, whose list and settings are not ours.
std::string ProgramFolder();

}  // namespace vantrel
