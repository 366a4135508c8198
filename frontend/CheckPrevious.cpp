#include "frontend/CheckPrevious.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <limits>

#include "platform/errors.h"
#include "platform/own_program_file.h"

namespace quorvel {
namespace {

using platform::WindowHandle;

constexpr std::size_t kWindowOffset = 0;
constexpr std::size_t kCountOffset = 4;
// Each round ends with a window brought forward, or with a slot taken over
// from a window that is gone; more rounds are needed only while other copies
// keep changing the block.
constexpr int kRounds = 4;
// How long a start waits for the copy that holds the slot to answer: a copy
// that is stopped or hung must not keep every later start waiting.
constexpr std::chrono::seconds kAnswerWait{2};

std::uint32_t ReadU32(std::span<const std::byte, 8> bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) {
    value = (value << 8) | std::to_integer<std::uint32_t>(bytes[offset + i]);
  }
  return value;
}

void WriteU32(std::span<std::byte, 8> bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes[offset + i] = static_cast<std::byte>(value >> (8 * i));
  }
}

std::int32_t ClampCount(std::int64_t count) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(count, 0, std::numeric_limits<std::int32_t>::max()));
}

void BringForward(WindowHandle window, platform::RequestDeadline deadline) {
  if (platform::IsWindowMinimised(window, deadline)) platform::RestoreWindow(window, deadline);
  platform::RaiseWindow(window, deadline);
}

}  // namespace

InstanceBlockFields ReadInstanceBlock(
    std::span<const std::byte, platform::SharedBlock::kSize> bytes) {
  return {static_cast<WindowHandle>(ReadU32(bytes, kWindowOffset)),
          static_cast<std::int32_t>(ReadU32(bytes, kCountOffset))};
}

void WriteInstanceBlock(std::span<std::byte, platform::SharedBlock::kSize> bytes,
                        const InstanceBlockFields& fields) {
  WriteU32(bytes, kWindowOffset, static_cast<std::uint32_t>(fields.window));
  WriteU32(bytes, kCountOffset, static_cast<std::uint32_t>(fields.count));
}

InstanceGuard::InstanceGuard(std::string block_name) : block_name_(std::move(block_name)) {}

InstanceGuard::~InstanceGuard() {
  try {
    Release();
  } catch (const platform::Error&) {
    // The slot is given back all the same when the block's last holder goes.
  }
}

bool InstanceGuard::RestoreIfRunning(WindowHandle window, std::int32_t max_instances) {
  if (holds_slot()) return false;
  try {
    return Contend(window, max_instances);
  } catch (const platform::SharedBlockOpenError&) {
    // A live copy holds the block: quitting keeps to the limit.
    return true;
  } catch (const platform::SharedBlockBusyError&) {
    // A copy stopped while it held the block's lock.
    holder_silent_ = true;
    return true;
  }
}

bool InstanceGuard::Contend(WindowHandle window, std::int32_t max_instances) {
  const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
  for (int round = 0; round < kRounds; ++round) {
    WindowHandle stored{};
    if (TestAndTake(window, max_instances, deadline, stored) == Outcome::kTaken) return false;
    // Outside the lock: the other copy may be waiting for it at its end,
    // when it no longer answers requests.
    try {
      BringForward(stored, deadline);
      return true;
    } catch (const platform::WindowTimeoutError&) {
      // Alive as far as anyone can tell, so its slot is not taken over.
      holder_silent_ = true;
      return true;
    } catch (const platform::WindowError&) {
      if (TakeOverFrom(stored, window, deadline)) return false;
    }
  }
  return true;
}

InstanceGuard::Outcome InstanceGuard::TestAndTake(WindowHandle window, std::int32_t max_instances,
                                                  Deadline deadline, WindowHandle& stored) {
  const platform::SharedBlockLock lock(block_name_, deadline);
  auto block = std::make_unique<platform::SharedBlock>(lock);
  if (!block->existed()) {
    WriteInstanceBlock(block->bytes(), {window, 1});
    block_ = std::move(block);
    return Outcome::kTaken;
  }
  const InstanceBlockFields fields = ReadInstanceBlock(block->bytes());
  if (fields.count < max_instances) {
    const std::int64_t running = std::max<std::int32_t>(fields.count, 0);
    WriteInstanceBlock(block->bytes(), {window, ClampCount(running + 1)});
    block_ = std::move(block);
    return Outcome::kTaken;
  }
  stored = fields.window;
  return Outcome::kRefused;
}

bool InstanceGuard::TakeOverFrom(WindowHandle gone, WindowHandle window, Deadline deadline) {
  const platform::SharedBlockLock lock(block_name_, deadline);
  auto block = std::make_unique<platform::SharedBlock>(lock);
  // Another copy changed the block meanwhile: the next round looks again.
  if (block->existed() && ReadInstanceBlock(block->bytes()).window != gone) return false;
  WriteInstanceBlock(block->bytes(), {window, 1});
  block_ = std::move(block);
  return true;
}

void InstanceGuard::Release() {
  if (!block_) return;
  {
    const platform::SharedBlockLock lock(block_name_);
    InstanceBlockFields fields = ReadInstanceBlock(block_->bytes());
    fields.count = ClampCount(std::int64_t{fields.count} - 1);
    WriteInstanceBlock(block_->bytes(), fields);
  }
  // After the lock is free, so that the last holder can remove the block.
  block_.reset();
}

std::string ProgramBlockName() {
  // The whole path: the block layer escapes it, so distinct files get distinct blocks.
  return platform::OwnProgramFile().string();
}

bool restore_if_running(InstanceGuard& guard, WindowHandle window, std::int32_t max_instances) {
  const bool refused = guard.RestoreIfRunning(window, max_instances);
  if (guard.holder_silent()) {
    std::cerr << "Another copy of this program file holds its single-instance slot and does not "
                 "answer; this copy ends.\n";
  }
  return refused;
}

}  // namespace quorvel
