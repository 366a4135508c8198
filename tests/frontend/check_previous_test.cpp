#include "frontend/CheckPrevious.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/errors.h"
#include "platform/shared_block.h"
#include "platform/window.h"
#include "support/fake_frontend.h"

using platform::WindowHandle;
using quorvel::InstanceBlockFields;
using quorvel::InstanceGuard;
using testing_support::FakeFrontEndWindow;
using testing_support::ScopedRuntimeDir;

namespace {

constexpr WindowHandle kNeverRegistered{0x0BADF00D};
const std::string kCaption = "guard test " + std::to_string(getpid());

std::string UniqueName(std::string_view what) {
  return "guard-test-" + std::to_string(getpid()) + "-" + std::string(what);
}

// The block's fields; a block that nobody holds reads as zero.
InstanceBlockFields ReadFields(const std::string& name) {
  std::unique_ptr<platform::SharedBlock> block;
  {
    const platform::SharedBlockLock lock(name);
    block = std::make_unique<platform::SharedBlock>(lock);
  }
  return block->existed() ? quorvel::ReadInstanceBlock(block->bytes()) : InstanceBlockFields{};
}

bool ByteArrives(int fd, char& byte) {
  pollfd watched{fd, POLLIN, 0};
  return poll(&watched, 1, 10000) == 1 && read(fd, &byte, 1) == 1;
}

struct Pipe {
  Pipe() {
    if (pipe(fds) != 0) fds[0] = fds[1] = -1;
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  void CloseRead() { Close(fds[0]); }
  void CloseWrite() { Close(fds[1]); }
  static void Close(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  int fds[2];
};

// A copy in a child process: takes its turn when `go` closes, reports '1'
// (runs), '0' (quits) or 'e' on `result`, and holds on until `end` closes.
pid_t StartCopy(const std::string& name, WindowHandle window, Pipe& go, Pipe& result, Pipe& end) {
  const pid_t child = fork();
  if (child != 0) return child;
  // Only the parent may keep the write ends that it closes to give a sign.
  go.CloseWrite();
  end.CloseWrite();
  result.CloseRead();
  char byte = 0;
  if (read(go.fds[0], &byte, 1) < 0) _exit(1);
  {
    InstanceGuard guard(name);
    try {
      byte = guard.RestoreIfRunning(window, 1) ? '0' : '1';
    } catch (const platform::Error&) {
      byte = 'e';
    }
    if (write(result.fds[1], &byte, 1) != 1) _exit(1);
    while (read(end.fds[0], &byte, 1) > 0) {
    }
  }
  _exit(0);
}

}  // namespace

TEST(InstanceBlock, FieldsAreLittleEndianWithASignedCount) {
  std::array<std::byte, 8> bytes{};
  quorvel::WriteInstanceBlock(bytes, {WindowHandle{0x11223344}, -2});
  const std::array<std::byte, 8> expected = {std::byte{0x44}, std::byte{0x33}, std::byte{0x22},
                                             std::byte{0x11}, std::byte{0xFE}, std::byte{0xFF},
                                             std::byte{0xFF}, std::byte{0xFF}};
  EXPECT_EQ(bytes, expected);
  const InstanceBlockFields read = quorvel::ReadInstanceBlock(bytes);
  EXPECT_EQ(read.window, WindowHandle{0x11223344});
  EXPECT_EQ(read.count, -2);
}

TEST(InstanceGuard, SecondCopyIsRefusedAndBringsTheFirstForward) {
  for (const bool minimised : {true, false}) {
    ScopedRuntimeDir runtime;
    FakeFrontEndWindow first_window("TForm1", kCaption);
    first_window.set_minimised(minimised);
    const std::string name = UniqueName("second");
    InstanceGuard first(name);
    EXPECT_FALSE(first.RestoreIfRunning(first_window.handle(), 1));
    EXPECT_TRUE(first.holds_slot());

    InstanceGuard second(name);
    EXPECT_TRUE(second.RestoreIfRunning(kNeverRegistered, 1));
    EXPECT_FALSE(second.holds_slot());
    EXPECT_EQ(first_window.restore_count(), minimised ? 1 : 0);
    EXPECT_EQ(first_window.raise_count(), 1);
    const InstanceBlockFields fields = ReadFields(name);
    EXPECT_EQ(fields.window, first_window.handle());
    EXPECT_EQ(fields.count, 1);

    InstanceGuard other_folder(UniqueName("other folder"));
    EXPECT_FALSE(other_folder.RestoreIfRunning(kNeverRegistered, 1)) << "runs beside";
  }
}

TEST(InstanceGuard, StoredCountDecidesAgainstTheLimit) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  struct Case {
    std::int32_t stored;
    std::int32_t max_instances;
    bool runs;
    std::int32_t count_after;
  };
  const Case cases[] = {
      {0, 1, true, 1},
      {1, 1, false, 1},
      {1, 2, true, 2},
      {2, 2, false, 2},
      {-5, 1, true, 1},
      {kMax, kMax, false, kMax},
      {kMax - 1, kMax, true, kMax},
  };
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow running("TForm1", kCaption);
  int round = 0;
  for (const Case& c : cases) {
    const std::string name = UniqueName("count " + std::to_string(++round));
    std::unique_ptr<platform::SharedBlock> observer;
    {
      const platform::SharedBlockLock lock(name);
      observer = std::make_unique<platform::SharedBlock>(lock);
      quorvel::WriteInstanceBlock(observer->bytes(), {running.handle(), c.stored});
    }
    InstanceGuard guard(name);
    EXPECT_EQ(guard.RestoreIfRunning(kNeverRegistered, c.max_instances), !c.runs) << c.stored;
    EXPECT_EQ(ReadFields(name).count, c.count_after) << c.stored;
  }
}

TEST(InstanceGuard, CountReturnsToZeroAfterRelease) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("release");
  std::unique_ptr<platform::SharedBlock> observer;
  {
    const platform::SharedBlockLock lock(name);
    observer = std::make_unique<platform::SharedBlock>(lock);
  }
  InstanceGuard first(name);
  InstanceGuard second(name);
  EXPECT_FALSE(first.RestoreIfRunning(kNeverRegistered, 2));
  EXPECT_FALSE(second.RestoreIfRunning(kNeverRegistered, 2));
  EXPECT_EQ(ReadFields(name).count, 2);
  second.Release();
  EXPECT_EQ(ReadFields(name).count, 1);
  first.Release();
  first.Release();
  EXPECT_FALSE(first.holds_slot());
  EXPECT_EQ(ReadFields(name).count, 0);
}

TEST(InstanceGuard, SlotOfAWindowThatIsGoneIsTakenOver) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow mine("TForm1", kCaption);
  auto closed = std::make_unique<platform::WindowRegistration>("TForm1", "closed");
  const WindowHandle stale[] = {kNeverRegistered, closed->handle()};
  closed.reset();
  for (const WindowHandle gone : stale) {
    const std::string name = UniqueName("gone " + std::to_string(static_cast<unsigned>(gone)));
    InstanceGuard earlier(name);  // still holds the block, but its window no longer answers
    ASSERT_FALSE(earlier.RestoreIfRunning(gone, 1));
    InstanceGuard next(name);
    EXPECT_FALSE(next.RestoreIfRunning(mine.handle(), 1));
    const InstanceBlockFields fields = ReadFields(name);
    EXPECT_EQ(fields.window, mine.handle());
    EXPECT_EQ(fields.count, 1);
  }
}

TEST(InstanceGuard, KilledHolderNeverBlocksTheNextStart) {
  ScopedRuntimeDir runtime;
  // The window stays alive: only the holder's end may free the slot.
  FakeFrontEndWindow window("TForm1", kCaption);
  const std::string name = UniqueName("killed");
  Pipe go, result, end;
  const pid_t holder = StartCopy(name, window.handle(), go, result, end);
  go.CloseWrite();
  char ran = 0;
  ASSERT_TRUE(ByteArrives(result.fds[0], ran));
  ASSERT_EQ(ran, '1');

  InstanceGuard refused(name);
  EXPECT_TRUE(refused.RestoreIfRunning(kNeverRegistered, 1));
  EXPECT_EQ(window.raise_count(), 1);

  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  InstanceGuard next(name);
  EXPECT_FALSE(next.RestoreIfRunning(kNeverRegistered, 1));
  EXPECT_EQ(ReadFields(name).count, 1);
}

// Two runtime folders share /dev/shm: here R2 outlived a restart that emptied
// it and keeps the record of a copy killed before, while A runs from R1.
TEST(InstanceGuard, StaleRecordOfAnotherRuntimeFolderLeavesALiveCopyGuarded) {
  ScopedRuntimeDir r2;
  ScopedRuntimeDir r1;
  const std::string name = UniqueName("stale record");
  const auto use = [](const ScopedRuntimeDir& folder) {
    setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
  };
  use(r2);
  Pipe go, result, end;
  const pid_t killed = StartCopy(name, kNeverRegistered, go, result, end);
  go.CloseWrite();
  char ran = 0;
  ASSERT_TRUE(ByteArrives(result.fds[0], ran));
  kill(killed, SIGKILL);
  waitpid(killed, nullptr, 0);
  shm_unlink(("/" + std::to_string(getuid()) + "-" + platform::SharedBlockKey(name)).c_str());

  use(r1);
  FakeFrontEndWindow a_window("TForm1", kCaption);
  InstanceGuard a(name);
  ASSERT_FALSE(a.RestoreIfRunning(a_window.handle(), 1));
  use(r2);
  InstanceGuard other_program(UniqueName("other program"));
  ASSERT_FALSE(other_program.RestoreIfRunning(kNeverRegistered, 1));

  use(r1);
  EXPECT_TRUE(InstanceGuard(name).RestoreIfRunning(kNeverRegistered, 1));
  EXPECT_EQ(a_window.raise_count(), 1) << "A's block was removed";
  use(r2);
  EXPECT_TRUE(InstanceGuard(name).RestoreIfRunning(kNeverRegistered, 1))
      << "a start from the stale folder ran beside A";
}

// A copy stopped while it holds the block's lock must not hold up a start.
TEST(InstanceGuard, LockHeldByAStoppedCopyRefusesWithinTheDeadline) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("stuck lock");
  const platform::SharedBlockLock stuck(name);
  InstanceGuard guard(name);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(guard.RestoreIfRunning(kNeverRegistered, 1));
  EXPECT_TRUE(guard.holder_silent());
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
}

TEST(InstanceGuard, CopiesStartedAtTheSameInstantRunOnlyOnce) {
  constexpr int kRounds = 25;
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow window("TForm1", kCaption);
  for (int round = 0; round < kRounds; ++round) {
    const std::string name = UniqueName("race " + std::to_string(round));
    Pipe go, result, end;
    const pid_t copies[] = {
        StartCopy(name, window.handle(), go, result, end),
        StartCopy(name, window.handle(), go, result, end),
    };
    go.CloseWrite();  // both wake at once
    std::string outcomes;
    for (int i = 0; i < 2; ++i) {
      char byte = 0;
      if (ByteArrives(result.fds[0], byte)) outcomes += byte;
    }
    end.CloseWrite();
    for (const pid_t copy : copies) waitpid(copy, nullptr, 0);
    EXPECT_TRUE(outcomes == "01" || outcomes == "10") << "round " << round << ": " << outcomes;
  }
  EXPECT_EQ(window.raise_count(), kRounds);
}

TEST(InstanceGuard, BlockThatCannotBeMadeRaisesASystemError) {
  ScopedRuntimeDir runtime;
  const auto file = runtime.path() / "file";
  std::ofstream(file).put('x');
  const auto shared_folder = runtime.path() / "open";
  std::filesystem::create_directories(shared_folder / "quorvel");
  chmod((shared_folder / "quorvel").c_str(), 0777);
  for (const auto& folder : {file, shared_folder}) {
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    InstanceGuard guard(UniqueName("unmade"));
    try {
      guard.RestoreIfRunning(kNeverRegistered, 1);
      ADD_FAILURE() << "no error for " << folder;
    } catch (const platform::SystemError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("System Error.  Code: ", 0), 0u) << error.what();
    }
    EXPECT_FALSE(guard.holds_slot());
  }
}

TEST(InstanceGuard, BlockHeldButDamagedMakesTheCopyQuitQuietly) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("damaged");
  InstanceGuard first(name);
  ASSERT_FALSE(first.RestoreIfRunning(kNeverRegistered, 1));
  std::ofstream(runtime.path() / "quorvel" /
                ("block-" + platform::SharedBlockKey(name) + ".holders"))
      << "/etc/passwd";
  InstanceGuard second(name);
  EXPECT_TRUE(second.RestoreIfRunning(kNeverRegistered, 5));
  EXPECT_FALSE(second.holds_slot());
}

TEST(InstanceGuard, ProgramGuardNamesItsBlockAfterTheProgramFile) {
  ScopedRuntimeDir runtime;
  const std::string name = quorvel::ProgramBlockName();
  // The whole path: with its "/" dropped, /x/ab/c/Quorvel and /x/a/bc/Quorvel would share a slot.
  EXPECT_EQ(name, std::filesystem::read_symlink("/proc/self/exe").string());
  {
    InstanceGuard guard(name);
    EXPECT_FALSE(quorvel::restore_if_running(guard, kNeverRegistered, 1));
    EXPECT_TRUE(guard.holds_slot());
    EXPECT_EQ(ReadFields(name).count, 1);
  }
  EXPECT_EQ(ReadFields(name).count, 0) << "the slot is given back when the guard goes";
}
