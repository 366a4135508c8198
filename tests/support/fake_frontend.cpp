#include "support/fake_frontend.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/runtime_dir.h"
#include "platform/shared_block.h"
#include "platform/system_call.h"
#include "support/background_program.h"

namespace testing_support {
namespace {

// Whether the memory of any block the runtime folder records still exists.
bool AnyBlockMemoryLeft(const std::filesystem::path& registry) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(registry, error)) {
    const std::string file = entry.path().filename().string();
    if (!file.starts_with("block-") || !file.ends_with(".holders")) continue;
    std::string object;
    std::getline(std::ifstream(entry.path()), object);
    // A holders file that a test damaged on purpose names no memory of ours.
    const bool named = object.starts_with('/') && object.find('/', 1) == std::string::npos;
    if (named && std::filesystem::is_regular_file("/dev/shm" + object, error)) return true;
  }
  return false;
}

}  // namespace

void RemoveBlocksOfKilledPrograms() {
  constexpr std::chrono::seconds kLastHoldsDrop{2};
  const std::filesystem::path registry = platform::UserRuntimeDir();
  WaitUntil(
      [&] {
        platform::RemoveAbandonedSharedBlocks();
        return !AnyBlockMemoryLeft(registry);
      },
      kLastHoldsDrop);
}

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
  if (const char* previous = std::getenv(name_.c_str())) previous_ = previous;
  setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (previous_) {
    setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

ScopedRuntimeDir::~ScopedRuntimeDir() {
  // A test may have pointed the variable elsewhere meanwhile.
  setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  try {
    RemoveBlocksOfKilledPrograms();
  } catch (const platform::Error&) {
    // A folder the test made unusable holds no blocks either.
  }
}

FakeFrontEndWindow::FakeFrontEndWindow(std::string_view class_name, std::string_view caption)
    : registration_(class_name, caption) {
  registration_.on_copy_data(
      [this](platform::WindowHandle sender, std::uint32_t data, std::vector<std::byte> bytes) {
        Receive(sender, data, std::move(bytes));
      });
  registration_.on_is_minimised([this] {
    const std::lock_guard lock(mutex_);
    return minimised_;
  });
  registration_.on_restore([this] {
    const std::lock_guard lock(mutex_);
    minimised_ = false;
    ++restore_count_;
  });
  registration_.on_raise([this] {
    const std::lock_guard lock(mutex_);
    ++raise_count_;
  });
  wake_fd_ = eventfd(0, EFD_CLOEXEC);
  if (wake_fd_ < 0) throw std::runtime_error("eventfd failed");
  thread_ = std::thread([this] { Pump(); });
}

FakeFrontEndWindow::~FakeFrontEndWindow() {
  const std::uint64_t one = 1;
  if (write(wake_fd_, &one, sizeof one) != sizeof one) std::abort();
  thread_.join();
  close(wake_fd_);
}

void FakeFrontEndWindow::Receive(platform::WindowHandle sender, std::uint32_t data,
                                 std::vector<std::byte> bytes) {
  ReceivedCopyData report{sender, data, std::move(bytes)};
  Callback callback;
  {
    const std::lock_guard lock(mutex_);
    callback = callback_;
  }
  if (callback) callback(report);
  const std::lock_guard lock(mutex_);
  reports_.push_back(std::move(report));
  changed_.notify_all();
}

void FakeFrontEndWindow::Pump() {
  while (true) {
    std::array<pollfd, 2> watched{{{registration_.fd(), POLLIN, 0}, {wake_fd_, POLLIN, 0}}};
    if (platform::RetryOnInterrupt([&] { return poll(watched.data(), watched.size(), -1); }) < 0)
      return;
    if (watched[1].revents != 0) return;
    if (watched[0].revents == 0) continue;
    try {
      registration_.DispatchPending();
    } catch (...) {
      // The sender of that request sees its connection dropped; keep serving.
    }
  }
}

void FakeFrontEndWindow::set_callback(Callback callback) {
  const std::lock_guard lock(mutex_);
  callback_ = std::move(callback);
}

bool FakeFrontEndWindow::WaitForReports(std::size_t count, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return reports_.size() >= count; });
}

std::vector<ReceivedCopyData> FakeFrontEndWindow::reports() const {
  const std::lock_guard lock(mutex_);
  return reports_;
}

void FakeFrontEndWindow::set_minimised(bool minimised) {
  const std::lock_guard lock(mutex_);
  minimised_ = minimised;
}

int FakeFrontEndWindow::restore_count() const {
  const std::lock_guard lock(mutex_);
  return restore_count_;
}

int FakeFrontEndWindow::raise_count() const {
  const std::lock_guard lock(mutex_);
  return raise_count_;
}

namespace {

[[noreturn]] void ExecInChild(const char* program, int null_fd) {
  if (dup2(null_fd, STDIN_FILENO) < 0) _exit(127);
  char* const argv[] = {const_cast<char*>(program), const_cast<char*>("600"), nullptr};
  // Another thread may still hold the fresh copy open for writing for a moment.
  for (int attempt = 0; attempt < 200; ++attempt) {
    execv(program, argv);
    if (errno != ETXTBSY) break;
    const timespec pause{0, 10'000'000};
    nanosleep(&pause, nullptr);
  }
  _exit(127);
}

}  // namespace

StandInProcess::StandInProcess(const std::filesystem::path& folder, std::string_view name)
    : program_(folder / name) {
  std::filesystem::copy_file("/bin/sleep", program_,
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(program_, std::filesystem::perms(0755));
  const int null_fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (null_fd < 0) throw std::runtime_error("cannot open /dev/null");
  const std::string program = program_.string();
  pid_ = fork();
  if (pid_ == 0) ExecInChild(program.c_str(), null_fd);
  close(null_fd);
  if (pid_ < 0) throw std::runtime_error("fork failed");
  try {
    WaitUntilRunning();
  } catch (...) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    throw;
  }
}

StandInProcess::~StandInProcess() {
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  std::error_code ignored;
  std::filesystem::remove(program_, ignored);
}

// Until exec has happened the child still runs the test's program file.
void StandInProcess::WaitUntilRunning() const {
  const std::string link = "/proc/" + std::to_string(pid_) + "/exe";
  const auto expected = std::filesystem::canonical(program_);
  for (int attempt = 0; attempt < 500; ++attempt) {
    std::error_code error;
    if (std::filesystem::read_symlink(link, error) == expected) return;
    const timespec pause{0, 10'000'000};
    nanosleep(&pause, nullptr);
  }
  throw std::runtime_error("stand-in process " + program_.string() + " did not start");
}

}  // namespace testing_support
