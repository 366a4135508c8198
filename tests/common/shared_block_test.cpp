#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/runtime_dir.h"
#include "platform/shared_block.h"
#include "support/fake_frontend.h"
#include "support/temp_dir.h"

using platform::SharedBlock;
using platform::SharedBlockLock;
using testing_support::ScopedRuntimeDir;

namespace {

// Object names are per user, not per runtime folder: each test names its own.
std::string UniqueName(std::string_view what) {
  return "block-test-" + std::to_string(getpid()) + "-" + std::string(what);
}

std::unique_ptr<SharedBlock> OpenBlock(const std::string& name) {
  const SharedBlockLock lock(name);
  return std::make_unique<SharedBlock>(lock);
}

bool AllZero(SharedBlock& block) {
  return std::ranges::all_of(block.bytes(), [](std::byte b) { return b == std::byte{0}; });
}

std::filesystem::path ObjectFile(const std::string& object_name) {
  return std::filesystem::path("/dev/shm") / object_name.substr(1);
}

std::filesystem::path HoldersFile(const std::string& name) {
  return platform::UserRuntimeDir() / ("block-" + platform::SharedBlockKey(name) + ".holders");
}

// True when a byte arrives on `fd` within `milliseconds`.
bool ByteArrives(int fd, int milliseconds) {
  pollfd watched{fd, POLLIN, 0};
  char byte = 0;
  return poll(&watched, 1, milliseconds) == 1 && read(fd, &byte, 1) == 1;
}

// A child process that holds the block `name` with its first byte set to
// `mark`, until it is killed.
pid_t StartHolder(const std::string& name, std::byte mark) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    auto block = OpenBlock(name);
    block->bytes()[0] = mark;
    const char byte = 1;
    if (write(ready[1], &byte, 1) != 1) _exit(2);
    for (;;) pause();
  }
  close(ready[1]);
  EXPECT_TRUE(ByteArrives(ready[0], 5000));
  close(ready[0]);
  return child;
}

void KillAndReap(pid_t child) {
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace

TEST(SharedBlockKey, NamesStayApartAndFitTheSystem) {
  const std::string long_a(400, 'a');
  const std::string long_b = long_a + "b";
  const std::string names[] = {
      "workappQuorvel",  "a/b", "a%2Fb", "a%b", long_a, long_b, "/x/ab/c/Quorvel",
      "/x/a/bc/Quorvel", "a_b", "a%5Fb"};
  std::vector<std::string> keys;
  for (const std::string& name : names) keys.push_back(platform::SharedBlockKey(name));
  EXPECT_EQ(keys[0], "workappQuorvel");
  EXPECT_EQ(keys[6], "_x_ab_c_Quorvel");
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].find('/'), std::string::npos) << keys[i];
    EXPECT_LE(keys[i].size(), platform::kMaxBlockKeyLength) << keys[i];
    for (std::size_t j = i + 1; j < keys.size(); ++j) EXPECT_NE(keys[i], keys[j]);
  }
}

TEST(SharedBlock, LivesWhileHeldAndStartsFromZeroAfterwards) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("life");
  std::string object_name;
  {
    auto first = OpenBlock(name);
    EXPECT_FALSE(first->existed());
    EXPECT_TRUE(AllZero(*first));
    first->bytes()[3] = std::byte{0x5A};
    object_name = first->object_name();

    struct stat info {};
    ASSERT_EQ(stat(ObjectFile(object_name).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_size, 8);
    EXPECT_EQ(info.st_uid, getuid());

    auto second = OpenBlock(name);
    EXPECT_TRUE(second->existed());
    EXPECT_EQ(second->bytes()[3], std::byte{0x5A});
    second->bytes()[7] = std::byte{0x11};
    EXPECT_EQ(first->bytes()[7], std::byte{0x11});
    first.reset();
    EXPECT_TRUE(OpenBlock(name)->existed()) << "the second holder keeps it";
  }
  EXPECT_FALSE(std::filesystem::exists(ObjectFile(object_name))) << "the last holder removes it";
  auto again = OpenBlock(name);
  EXPECT_FALSE(again->existed());
  EXPECT_TRUE(AllZero(*again));
}

TEST(SharedBlock, HolderKilledLeavesNoBlockBehind) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("killed");
  const pid_t holder = StartHolder(name, std::byte{0x77});
  ASSERT_GT(holder, 0);
  {
    auto block = OpenBlock(name);
    EXPECT_TRUE(block->existed());
    EXPECT_EQ(block->bytes()[0], std::byte{0x77});
  }
  KillAndReap(holder);
  auto block = OpenBlock(name);
  EXPECT_FALSE(block->existed());
  EXPECT_TRUE(AllZero(*block));
}

TEST(SharedBlock, ObjectOfAKilledHolderGoesWithTheNextSweep) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("abandoned");
  const pid_t holder = StartHolder(name, std::byte{0x01});
  ASSERT_GT(holder, 0);
  const std::string object_name = OpenBlock(name)->object_name();
  KillAndReap(holder);
  ASSERT_TRUE(std::filesystem::exists(ObjectFile(object_name)));
  platform::RemoveAbandonedSharedBlocks();
  EXPECT_FALSE(std::filesystem::exists(ObjectFile(object_name)));

  // A killed program's hold can drop a moment after it was reaped: the sweep
  // at a test's end waits for that rather than leave the object behind.
  const pid_t again = StartHolder(name, std::byte{0x02});
  const pid_t late = fork();
  if (late == 0) {
    const int object = shm_open(object_name.c_str(), O_RDONLY, 0);
    if (object < 0 || flock(object, LOCK_SH) != 0) _exit(1);
    kill(again, SIGKILL);
    usleep(200'000);
    _exit(0);
  }
  waitpid(again, nullptr, 0);
  testing_support::RemoveBlocksOfKilledPrograms();
  EXPECT_FALSE(std::filesystem::exists(ObjectFile(object_name)));
  waitpid(late, nullptr, 0);
}

TEST(SharedBlock, NameTakenByAnObjectNotOursUsesAnotherName) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("taken");
  const std::string base = "/" + std::to_string(getuid()) + "-" + platform::SharedBlockKey(name);
  // Neither openable as a block nor removable by unlink: stands in for a stranger's object.
  ASSERT_TRUE(std::filesystem::create_directory(ObjectFile(base)));
  {
    auto first = OpenBlock(name);
    EXPECT_FALSE(first->existed());
    EXPECT_EQ(first->object_name().rfind(base + "-", 0), 0u) << first->object_name();
    first->bytes()[1] = std::byte{9};
    auto second = OpenBlock(name);
    EXPECT_TRUE(second->existed());
    EXPECT_EQ(second->bytes()[1], std::byte{9});
  }
  EXPECT_TRUE(std::filesystem::is_directory(ObjectFile(base))) << "never removed by us";
  std::filesystem::remove(ObjectFile(base));
}

TEST(SharedBlock, DamagedHoldersFileIsRefusedWithAnError) {
  ScopedRuntimeDir runtime;
  const std::string name = UniqueName("damaged");
  const std::string prefix = "/" + std::to_string(getuid()) + "-" + platform::SharedBlockKey(name);
  const std::string contents[] = {
      "",
      "garbage",
      "/etc/passwd",
      prefix + "x",
      prefix + "-zzzzzzzz",
      prefix + "/../x",
      std::string(300, '/'),
  };
  auto holder = OpenBlock(name);
  for (const std::string& content : contents) {
    testing_support::WriteFile(HoldersFile(name), content);
    EXPECT_THROW(OpenBlock(name), platform::SystemError) << content;
  }
}

TEST(SharedBlock, LinksInPlaceOfItsFilesAreRefused) {
  ScopedRuntimeDir runtime;
  testing_support::TempDir elsewhere;
  const std::string name = UniqueName("link");
  const auto lock_file =
      platform::UserRuntimeDir() / ("block-" + platform::SharedBlockKey(name) + ".lock");
  std::filesystem::create_symlink(elsewhere / "target", lock_file);
  EXPECT_THROW(SharedBlockLock{name}, platform::SystemError);
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "target"));
}
