#pragma once
// Stands in for the tool-help process snapshot (CreateToolhelp32Snapshot) and
// for asking for the own program file (GetModuleFileName).

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The program file of every process of the current user, read fresh from /proc
// at each call: the full path of /proc/PID/exe where it can be read, else the
// process name from /proc/PID/stat. Processes of other users are left out, so
// that another user's program can never stand in for one of ours.
std::vector<std::string> SnapshotProcessFiles();

// The running processes of ours whose program file is `program`, as /proc
// tells it (links resolved). A process whose program file we may not read is
// taken when its name is the program's file name (ignoring ASCII case), since
// it may be that program: the caller cannot tell it from ours. One on its way
// out, whose link names no file any more, is not.
std::vector<pid_t> ProcessesRunning(const std::filesystem::path& program);

// Whether process `pid` is one of ours that has not ended (a zombie has).
bool ProcessRuns(pid_t pid);

// False in a sandbox or chroot without /proc, where an empty snapshot tells
// nothing about which programs run.
bool CanListProcesses();

// The full path of the running program's own file (/proc/self/exe); throws
// SystemError when it cannot be read.
std::filesystem::path RunningProgramFile();

// The full path of the program file of process `pid`, when it is one of the
// current user's that still runs and /proc tells its file; empty otherwise.
std::optional<std::filesystem::path> ProgramFileOf(pid_t pid);

}  // namespace platform
