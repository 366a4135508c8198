#pragma once

#include <string>

// The folder of the running program file, with its trailing "/".
std::string ProgramFolder();
