#pragma once
// Stands in for asking for the own program file (GetModuleFileName) where
// /proc cannot tell it: a sandbox or a chroot.

#include <filesystem>
#include <string_view>

namespace platform {

// The file a program started by the name `start_name` (its argv[0]) runs from,
// with every link and "." or ".." resolved: the executable file that name
// gives from the working folder; failing that, for a name without "/", the
// first one of that name on PATH, as a shell finds a command. Throws
// OwnFolderNotFoundError when neither names one.
std::filesystem::path ProgramFileStartedAs(std::string_view start_name);

// The running program's own file: /proc/self/exe where it can be read, else
// the file the name it was started by gives. Throws OwnFolderNotFoundError
// when neither tells it, so that no program takes another folder for its own.
std::filesystem::path OwnProgramFile();

// The folder of OwnProgramFile(), with its trailing "/".
std::string OwnProgramFolder();

}  // namespace platform
