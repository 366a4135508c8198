#pragma once

#include <string>

namespace vantrel {

// The folder of the running program file, with its trailing "/".
std::string ProgramFolder();

}  // namespace vantrel
