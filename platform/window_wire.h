#pragma once
// Pieces shared by the two ends of the window registry (see platform/window.h):
// entry names, frame layout and socket checks. Not for use outside platform/.

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "platform/window.h"

namespace platform::window_wire {

enum class Kind : std::uint32_t { kCopyData = 1, kIsMinimised = 2, kRestore = 3, kRaise = 4 };

inline constexpr std::string_view kRequestMagic = "QWN1";
inline constexpr std::string_view kReplyMagic = "QWA1";
inline constexpr std::string_view kInfoMagic = "QWIN1\n";
inline constexpr std::size_t kRequestHeaderSize = 20;
inline constexpr std::size_t kReplySize = 8;
inline constexpr std::string_view kSocketSuffix = ".sock";
inline constexpr std::string_view kInfoSuffix = ".info";

struct RequestHeader {
  Kind kind{};
  WindowHandle sender{};
  std::uint32_t data = 0;
  std::uint32_t length = 0;
};

using RequestHeaderBytes = std::array<std::byte, kRequestHeaderSize>;
using ReplyBytes = std::array<std::byte, kReplySize>;

RequestHeaderBytes EncodeRequestHeader(const RequestHeader& header);
// Empty for a header that must be refused.
std::optional<RequestHeader> DecodeRequestHeader(
    std::span<const std::byte, kRequestHeaderSize> bytes);
ReplyBytes EncodeReply(std::uint32_t result);
std::optional<std::uint32_t> DecodeReply(std::span<const std::byte, kReplySize> bytes);

// "0000abcd"
std::string HandleName(WindowHandle handle);
// The handle of a name made by HandleName followed by `suffix`, if it is one.
std::optional<WindowHandle> ParseEntryName(std::string_view name, std::string_view suffix);
std::filesystem::path EntryPath(const std::filesystem::path& registry, WindowHandle handle,
                                std::string_view suffix);

// Removes every entry but `own` whose owner is gone: a process killed with its
// window registered leaves both files behind. Entries still being made (a
// socket without its info file) are left alone.
void RemoveDeadEntries(const std::filesystem::path& registry, WindowHandle own);

// The peer at the other end of a connected Unix socket runs as our user.
bool PeerIsOurUser(int fd);

// The process at the other end of a connected Unix socket, as the kernel
// recorded it when that end connected or listened; 0 when it cannot tell.
pid_t PeerProcess(int fd);

}  // namespace platform::window_wire
