#include "platform/window_wire.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace platform::window_wire {
namespace {

void PutU32(std::byte* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFFu);
}

std::uint32_t GetU32(const std::byte* in) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | std::to_integer<std::uint32_t>(in[i]);
  return value;
}

void PutMagic(std::byte* out, std::string_view magic) {
  std::transform(magic.begin(), magic.end(), out, [](char c) { return static_cast<std::byte>(c); });
}

bool HasMagic(const std::byte* in, std::string_view magic) {
  return std::equal(magic.begin(), magic.end(), in,
                    [](char c, std::byte b) { return static_cast<std::byte>(c) == b; });
}

bool IsKnownKind(std::uint32_t kind) {
  return kind >= static_cast<std::uint32_t>(Kind::kCopyData) &&
         kind <= static_cast<std::uint32_t>(Kind::kRaise);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<ucred> PeerCredentials(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return std::nullopt;
  if (size != sizeof credentials) return std::nullopt;
  return credentials;
}

}  // namespace

RequestHeaderBytes EncodeRequestHeader(const RequestHeader& header) {
  RequestHeaderBytes bytes{};
  PutMagic(bytes.data(), kRequestMagic);
  PutU32(bytes.data() + 4, static_cast<std::uint32_t>(header.kind));
  PutU32(bytes.data() + 8, static_cast<std::uint32_t>(header.sender));
  PutU32(bytes.data() + 12, header.data);
  PutU32(bytes.data() + 16, header.length);
  return bytes;
}

std::optional<RequestHeader> DecodeRequestHeader(
    std::span<const std::byte, kRequestHeaderSize> bytes) {
  if (!HasMagic(bytes.data(), kRequestMagic)) return std::nullopt;
  const std::uint32_t kind = GetU32(bytes.data() + 4);
  if (!IsKnownKind(kind)) return std::nullopt;
  RequestHeader header{static_cast<Kind>(kind), static_cast<WindowHandle>(GetU32(bytes.data() + 8)),
                       GetU32(bytes.data() + 12), GetU32(bytes.data() + 16)};
  const std::size_t allowed = header.kind == Kind::kCopyData ? kMaxCopyDataBytes : 0;
  if (header.length > allowed) return std::nullopt;
  return header;
}

ReplyBytes EncodeReply(std::uint32_t result) {
  ReplyBytes bytes{};
  PutMagic(bytes.data(), kReplyMagic);
  PutU32(bytes.data() + 4, result);
  return bytes;
}

std::optional<std::uint32_t> DecodeReply(std::span<const std::byte, kReplySize> bytes) {
  if (!HasMagic(bytes.data(), kReplyMagic)) return std::nullopt;
  return GetU32(bytes.data() + 4);
}

std::string HandleName(WindowHandle handle) {
  char name[9];
  std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(handle));
  return name;
}

std::optional<WindowHandle> ParseEntryName(std::string_view name, std::string_view suffix) {
  if (name.size() != 8 + suffix.size() || !name.ends_with(suffix)) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : name.substr(0, 8)) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  if (value == 0) return std::nullopt;
  return static_cast<WindowHandle>(value);
}

std::filesystem::path EntryPath(const std::filesystem::path& registry, WindowHandle handle,
                                std::string_view suffix) {
  return registry / (HandleName(handle) + std::string(suffix));
}

bool PeerIsOurUser(int fd) {
  const auto credentials = PeerCredentials(fd);
  return credentials && credentials->uid == getuid();
}

pid_t PeerProcess(int fd) {
  const auto credentials = PeerCredentials(fd);
  return credentials ? credentials->pid : 0;
}

}  // namespace platform::window_wire
