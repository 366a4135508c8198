#include "platform/process_list.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/ascii_case.h"
#include "platform/errors.h"

namespace platform {
namespace {

bool IsPidName(const char* name) {
  if (*name == '\0') return false;
  for (; *name; ++name) {
    if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
  }
  return true;
}

// `hidden` tells a link we may not read from one that names no file (a
// process on its way out, a kernel thread).
std::string ReadExeLink(const std::string& proc_dir, bool* hidden = nullptr) {
  std::string buffer(4096, '\0');
  const ssize_t length = readlink((proc_dir + "/exe").c_str(), buffer.data(), buffer.size());
  if (hidden) *hidden = length < 0 && (errno == EACCES || errno == EPERM);
  if (length <= 0) return {};
  buffer.resize(static_cast<std::size_t>(length));
  // A program file replaced or removed while it runs still names its process.
  constexpr std::string_view kDeleted = " (deleted)";
  if (buffer.ends_with(kDeleted)) buffer.resize(buffer.size() - kDeleted.size());
  return buffer;
}

struct StatLine {
  std::string name;  // between the parentheses; may hold blanks and parentheses itself
  char state = '?';
};

StatLine ReadStat(const std::string& proc_dir) {
  std::ifstream stat_file(proc_dir + "/stat");
  std::string line;
  if (!std::getline(stat_file, line)) return {};
  const auto open = line.find('(');
  const auto close = line.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close <= open) return {};
  StatLine stat{line.substr(open + 1, close - open - 1)};
  if (close + 2 < line.size()) stat.state = line[close + 2];
  return stat;
}

// A process that has ended but was not yet reaped by its parent runs no more.
bool HasEnded(char state) {
  return state == 'Z' || state == 'X';
}

bool IsOwnProcessDir(const std::string& proc_dir, uid_t me) {
  struct stat info {};
  return stat(proc_dir.c_str(), &info) == 0 && info.st_uid == me;
}

struct RunningProcess {
  pid_t pid = 0;
  std::string file;  // empty when /proc does not tell it
  bool file_hidden = false;
  std::string name;
};

template <typename Visit>
void ForEachRunningProcess(Visit visit) {
  std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
  if (!proc) return;
  const uid_t me = getuid();
  while (const dirent* entry = readdir(proc.get())) {
    if (!IsPidName(entry->d_name)) continue;
    const std::string dir = std::string("/proc/") + entry->d_name;
    if (!IsOwnProcessDir(dir, me)) continue;
    StatLine stat = ReadStat(dir);
    if (HasEnded(stat.state)) continue;
    RunningProcess process;
    process.pid = static_cast<pid_t>(std::strtol(entry->d_name, nullptr, 10));
    process.file = ReadExeLink(dir, &process.file_hidden);
    process.name = std::move(stat.name);
    visit(std::move(process));
  }
}

// A link that cannot be resolved (a program file removed) is compared as given.
std::string ResolvedPath(const std::filesystem::path& program) {
  std::error_code error;
  const auto resolved = std::filesystem::weakly_canonical(program, error);
  return error ? program.string() : resolved.string();
}

}  // namespace

std::vector<std::string> SnapshotProcessFiles() {
  std::vector<std::string> files;
  ForEachRunningProcess([&](RunningProcess process) {
    std::string file = process.file.empty() ? std::move(process.name) : std::move(process.file);
    if (!file.empty()) files.push_back(std::move(file));
  });
  return files;
}

std::vector<pid_t> ProcessesRunning(const std::filesystem::path& program) {
  const std::string wanted = ResolvedPath(program);
  const std::string wanted_name = program.filename().string();
  std::vector<pid_t> found;
  ForEachRunningProcess([&](const RunningProcess& process) {
    const bool same =
        process.file_hidden ? SameTextAsciiCase(process.name, wanted_name) : process.file == wanted;
    if (same) found.push_back(process.pid);
  });
  return found;
}

bool ProcessRuns(pid_t pid) {
  if (pid <= 0) return false;
  const std::string dir = "/proc/" + std::to_string(pid);
  return IsOwnProcessDir(dir, getuid()) && !HasEnded(ReadStat(dir).state);
}

bool CanListProcesses() {
  struct stat info {};
  return stat("/proc/self/stat", &info) == 0;
}

std::filesystem::path RunningProgramFile() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw SystemError(error.value());
  return path;
}

std::optional<std::filesystem::path> ProgramFileOf(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  const std::string dir = "/proc/" + std::to_string(pid);
  if (!IsOwnProcessDir(dir, getuid()) || HasEnded(ReadStat(dir).state)) return std::nullopt;
  std::string file = ReadExeLink(dir);
  if (file.empty()) return std::nullopt;
  return std::filesystem::path(std::move(file));
}

}  // namespace platform
