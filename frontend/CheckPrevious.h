#pragma once
// The single-instance guard: one copy of the front-end per program file.
//
// The copies of one program file share an 8-byte block (platform/shared_block.h)
// named after the program file's full path (escaped by the block layer, so
// that two program files never share a block):
//   offset 0  u32 LE  window handle of the copy that last took a slot; the
//                     copy that is brought forward when a start is refused
//   offset 4  i32 LE  number of copies holding a slot
// Test and take happen under the block's lock, so copies started at the same
// instant are counted one after the other. A block whose holders all ended
// (also by a crash) starts again from zero, and one whose stored window no
// longer answers is taken over: neither keeps a later copy from running. A
// start waits about 2 s at most, for the block's lock and the answer together.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/shared_block.h"
#include "platform/window.h"

namespace quorvel {

// The name of the running program's block: the path of its own file
// (platform::OwnProgramFile(), which throws when it cannot be found).
std::string ProgramBlockName();

// The guard for a block of any name; the program's own, named by
// ProgramBlockName(), lives as long as the program block. The slot it took is
// given back when the guard goes. Throws platform::SystemError when the block
// cannot be created; a block that a live copy holds but that cannot be opened
// makes this copy quit without a message.
class InstanceGuard {
 public:
  explicit InstanceGuard(std::string block_name);
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  bool RestoreIfRunning(platform::WindowHandle window, std::int32_t max_instances);
  void Release();

  const std::string& block_name() const { return block_name_; }
  // This copy counts as one of the running copies until the release.
  bool holds_slot() const { return block_ != nullptr; }
  // The copy holding the slot (or the block's lock) did not answer in time,
  // so this copy was refused without bringing anything forward.
  bool holder_silent() const { return holder_silent_; }

 private:
  enum class Outcome { kTaken, kRefused };
  using Deadline = std::chrono::steady_clock::time_point;
  bool Contend(platform::WindowHandle window, std::int32_t max_instances);
  Outcome TestAndTake(platform::WindowHandle window, std::int32_t max_instances, Deadline deadline,
                      platform::WindowHandle& stored);
  bool TakeOverFrom(platform::WindowHandle gone, platform::WindowHandle window, Deadline deadline);

  std::string block_name_;
  std::unique_ptr<platform::SharedBlock> block_;  // held while this copy has a slot
  bool holder_silent_ = false;
};

// True: another copy was brought forward (or the block could not be opened)
// and this copy must quit; a holder that did not answer is told of on stderr.
bool restore_if_running(InstanceGuard& guard, platform::WindowHandle window,
                        std::int32_t max_instances);

// The two fields of the block.
struct InstanceBlockFields {
  platform::WindowHandle window{};
  std::int32_t count = 0;
};
InstanceBlockFields ReadInstanceBlock(
    std::span<const std::byte, platform::SharedBlock::kSize> bytes);
void WriteInstanceBlock(std::span<std::byte, platform::SharedBlock::kSize> bytes,
                        const InstanceBlockFields& fields);

}  // namespace quorvel
