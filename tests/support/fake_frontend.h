#pragma once
// Stand-ins for the front-end in tests: its main window in the window registry,
// a process under its program name, and a registry folder of the test's own.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/window.h"
#include "shared/names.h"
#include "support/temp_dir.h"

namespace testing_support {

// Sets an environment variable for the object's lifetime, then puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Removes the shared memory that programs killed by a test left for the blocks
// of the current runtime folder. A killed program's hold on that memory can
// outlast its reaping by some milliseconds, so the removal is tried again, for
// a while, until none of it is left.
void RemoveBlocksOfKilledPrograms();

// A fresh temporary folder as XDG_RUNTIME_DIR, so the test has a window
// registry to itself. The shared memory of blocks that programs killed by the
// test left in it goes with it.
class ScopedRuntimeDir {
 public:
  ScopedRuntimeDir() : env_("XDG_RUNTIME_DIR", dir_.path().string()) {}
  ~ScopedRuntimeDir();
  ScopedRuntimeDir(const ScopedRuntimeDir&) = delete;
  ScopedRuntimeDir& operator=(const ScopedRuntimeDir&) = delete;
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TempDir dir_;
  ScopedEnv env_;
};

struct ReceivedCopyData {
  platform::WindowHandle sender{};
  std::uint32_t data = 0;
  std::vector<std::byte> bytes;  // exactly as received, a trailing zero included
  std::string text() const { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }
};

// A registered window (by default the front-end's: class "TForm1", caption
// FrontEndCaption) that a background thread serves, recording what arrives.
class FakeFrontEndWindow {
 public:
  // Runs inside the copy-data handler, before the report is recorded; the
  // sender waits until it returns.
  using Callback = std::function<void(const ReceivedCopyData&)>;

  explicit FakeFrontEndWindow(std::string_view class_name = shared::MainWindowClass,
                              std::string_view caption = shared::FrontEndCaption);
  ~FakeFrontEndWindow();
  FakeFrontEndWindow(const FakeFrontEndWindow&) = delete;
  FakeFrontEndWindow& operator=(const FakeFrontEndWindow&) = delete;

  platform::WindowHandle handle() const { return registration_.handle(); }
  void set_callback(Callback callback);
  // True when at least `count` reports arrived within `timeout`.
  bool WaitForReports(std::size_t count, std::chrono::milliseconds timeout);
  std::vector<ReceivedCopyData> reports() const;

  // The bring-forward requests: the answer to the minimised query, and how
  // often restore (which also un-minimises) and raise were asked for.
  void set_minimised(bool minimised);
  int restore_count() const;
  int raise_count() const;

 private:
  void Receive(platform::WindowHandle sender, std::uint32_t data, std::vector<std::byte> bytes);
  void Pump();

  platform::WindowRegistration registration_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Callback callback_;
  std::vector<ReceivedCopyData> reports_;
  bool minimised_ = false;
  int restore_count_ = 0;
  int raise_count_ = 0;
  int wake_fd_ = -1;
  std::thread thread_;
};

// A harmless program (a copy of /bin/sleep) run as `<folder>/<name>`, so that
// a process with that program file name runs until the object goes.
class StandInProcess {
 public:
  StandInProcess(const std::filesystem::path& folder, std::string_view name);
  ~StandInProcess();
  StandInProcess(const StandInProcess&) = delete;
  StandInProcess& operator=(const StandInProcess&) = delete;

  pid_t pid() const { return pid_; }
  const std::filesystem::path& program() const { return program_; }

 private:
  void WaitUntilRunning() const;

  std::filesystem::path program_;
  pid_t pid_ = -1;
};

}  // namespace testing_support
