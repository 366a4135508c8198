#include "platform/window.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/errors.h"
#include "platform/runtime_dir.h"
#include "platform/system_call.h"
#include "platform/window_wire.h"

namespace platform {
namespace {

// Room for the longest class name and caption we accept, and then some.
constexpr std::size_t kMaxInfoBytes = 64 * 1024;

enum class Presence { kAlive, kDead, kUntrusted };

struct WindowInfo {
  std::string class_name;
  std::string caption;
};

bool IsOwnedBy(const struct stat& info, bool (*is_type)(mode_t)) {
  return is_type(info.st_mode) && info.st_uid == getuid();
}

bool IsSocketFile(mode_t mode) {
  return S_ISSOCK(mode);
}

std::optional<std::string> ReadOwnFile(const std::filesystem::path& path) {
  try {
    const FileDescriptor file = OpenRegularFile(path, O_NOFOLLOW);
    struct stat info {};
    if (fstat(file.get(), &info) != 0 || info.st_uid != getuid()) return std::nullopt;
    if (static_cast<std::size_t>(info.st_size) > kMaxInfoBytes) return std::nullopt;
    std::string text = ReadToEnd(file);
    if (text.size() > kMaxInfoBytes) return std::nullopt;
    return text;
  } catch (const InOutError&) {
    return std::nullopt;
  }
}

std::optional<WindowInfo> ParseInfo(std::string_view text) {
  if (!text.starts_with(window_wire::kInfoMagic)) return std::nullopt;
  text.remove_prefix(window_wire::kInfoMagic.size());
  const auto end_of_class = text.find('\n');
  if (end_of_class == std::string_view::npos) return std::nullopt;
  return WindowInfo{std::string(text.substr(0, end_of_class)),
                    std::string(text.substr(end_of_class + 1))};
}

bool FillAddress(const std::filesystem::path& path, sockaddr_un& address) {
  const std::string& text = path.native();
  if (text.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return true;
}

bool SocketFileIsOurs(const std::filesystem::path& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && IsOwnedBy(info, IsSocketFile);
}

// What connecting to a window's socket tells of the window.
struct Probed {
  Presence presence = Presence::kUntrusted;
  pid_t owner = 0;  // 0 when the connection did not tell
};

// A socket file without a listener is what a process that died leaves behind.
Probed Probe(const std::filesystem::path& socket_path) {
  struct stat info {};
  if (lstat(socket_path.c_str(), &info) != 0)
    return {errno == ENOENT ? Presence::kDead : Presence::kUntrusted};
  if (!IsOwnedBy(info, IsSocketFile)) return {Presence::kUntrusted};
  sockaddr_un address{};
  if (!FillAddress(socket_path, address)) return {Presence::kUntrusted};
  FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (fd.get() < 0) return {Presence::kUntrusted};
  if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (errno == ECONNREFUSED || errno == ENOENT) return {Presence::kDead};
    // A full backlog means a listener that is busy, not one that is gone.
    return {errno == EAGAIN ? Presence::kAlive : Presence::kUntrusted};
  }
  if (!window_wire::PeerIsOurUser(fd.get())) return {Presence::kUntrusted};
  return {Presence::kAlive, window_wire::PeerProcess(fd.get())};
}

void RemoveEntry(const std::filesystem::path& registry, WindowHandle handle) {
  // The socket goes last: while it exists nobody else can take the handle.
  unlink(window_wire::EntryPath(registry, handle, window_wire::kInfoSuffix).c_str());
  unlink(window_wire::EntryPath(registry, handle, window_wire::kSocketSuffix).c_str());
}

std::vector<WindowHandle> ListEntries(const std::filesystem::path& registry) {
  std::vector<WindowHandle> handles;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(registry, error)) {
    const auto handle =
        window_wire::ParseEntryName(entry.path().filename().native(), window_wire::kInfoSuffix);
    if (handle) handles.push_back(*handle);
  }
  return handles;
}

// Milliseconds left for poll(); -1 (no limit) without a deadline.
int MillisecondsLeft(const RequestDeadline& deadline) {
  if (!deadline) return -1;
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
  return static_cast<int>(
      std::clamp<std::int64_t>(left.count(), 0, std::numeric_limits<int>::max()));
}

[[noreturn]] void ThrowNoAnswer(WindowHandle target) {
  throw WindowTimeoutError("Window " + window_wire::HandleName(target) + " does not answer");
}

// With a deadline the socket is used without blocking; this waits for it instead.
void AwaitReady(int fd, short events, const RequestDeadline& deadline, WindowHandle target) {
  if (!deadline) return;
  pollfd entry{fd, events, 0};
  // The time left is measured again for each try.
  const int ready = RetryOnInterrupt([&] { return poll(&entry, 1, MillisecondsLeft(deadline)); });
  if (ready < 0) throw SystemError(errno);
  if (ready == 0) ThrowNoAnswer(target);
}

int TransferFlags(const RequestDeadline& deadline) {
  return deadline ? MSG_DONTWAIT : 0;
}

// A socket without blocking that is not ready yet.
bool WouldWait(ssize_t result) {
  return result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

void SendAll(int fd, std::span<const std::byte> bytes, const RequestDeadline& deadline,
             WindowHandle target) {
  while (!bytes.empty()) {
    AwaitReady(fd, POLLOUT, deadline, target);
    const ssize_t sent = RetryOnInterrupt([&] {
      return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | TransferFlags(deadline));
    });
    if (WouldWait(sent)) continue;
    if (sent <= 0) throw WindowError("The window closed the connection");
    bytes = bytes.subspan(static_cast<std::size_t>(sent));
  }
}

void ReceiveAll(int fd, std::span<std::byte> bytes, const RequestDeadline& deadline,
                WindowHandle target) {
  while (!bytes.empty()) {
    AwaitReady(fd, POLLIN, deadline, target);
    const ssize_t got = RetryOnInterrupt(
        [&] { return recv(fd, bytes.data(), bytes.size(), TransferFlags(deadline)); });
    if (WouldWait(got)) continue;
    if (got <= 0) throw WindowError("The window closed the connection");
    bytes = bytes.subspan(static_cast<std::size_t>(got));
  }
}

// A listener whose backlog is full makes connect() wait; the send timeout bounds that wait.
void LimitConnectWait(int fd, const RequestDeadline& deadline, WindowHandle target) {
  if (!deadline) return;
  const int left = MillisecondsLeft(deadline);
  if (left == 0) ThrowNoAnswer(target);
  const timeval timeout{left / 1000, (left % 1000) * 1000};
  if (setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0)
    throw SystemError(errno);
}

FileDescriptor ConnectToWindow(WindowHandle target, const RequestDeadline& deadline) {
  const auto path = window_wire::EntryPath(UserRuntimeDir(), target, window_wire::kSocketSuffix);
  sockaddr_un address{};
  if (target == WindowHandle{} || !SocketFileIsOurs(path) || !FillAddress(path, address)) {
    throw WindowError("No window " + window_wire::HandleName(target));
  }
  FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) throw SystemError(errno);
  // The wait is limited again, to the time left, for each try.
  const int result = RetryOnInterrupt([&] {
    LimitConnectWait(fd.get(), deadline, target);
    return connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  });
  if (result != 0 && errno == EAGAIN && deadline) ThrowNoAnswer(target);
  if (result != 0 || !window_wire::PeerIsOurUser(fd.get())) {
    throw WindowError("Window " + window_wire::HandleName(target) + " is gone");
  }
  return fd;
}

// The connection, with the whole request written to it.
FileDescriptor SendRequest(WindowHandle target, const window_wire::RequestHeader& header,
                           std::span<const std::byte> payload, const RequestDeadline& deadline) {
  FileDescriptor fd = ConnectToWindow(target, deadline);
  const auto header_bytes = window_wire::EncodeRequestHeader(header);
  SendAll(fd.get(), header_bytes, deadline, target);
  SendAll(fd.get(), payload, deadline, target);
  return fd;
}

std::uint32_t ReceiveReply(const FileDescriptor& fd, WindowHandle target,
                           const RequestDeadline& deadline) {
  window_wire::ReplyBytes reply{};
  ReceiveAll(fd.get(), reply, deadline, target);
  const auto result = window_wire::DecodeReply(reply);
  if (!result)
    throw WindowError("Window " + window_wire::HandleName(target) + " answered nonsense");
  return *result;
}

std::uint32_t Request(WindowHandle target, const window_wire::RequestHeader& header,
                      std::span<const std::byte> payload, const RequestDeadline& deadline) {
  const FileDescriptor fd = SendRequest(target, header, payload, deadline);
  return ReceiveReply(fd, target, deadline);
}

window_wire::RequestHeader CopyDataHeader(WindowHandle sender, std::uint32_t data,
                                          std::span<const std::byte> bytes) {
  if (bytes.size() > kMaxCopyDataBytes) throw WindowError("Copy-data too long");
  return {window_wire::Kind::kCopyData, sender, data, static_cast<std::uint32_t>(bytes.size())};
}

std::uint32_t RequestWithoutPayload(WindowHandle target, window_wire::Kind kind,
                                    const RequestDeadline& deadline) {
  return Request(target, {kind, WindowHandle{}, 0, 0}, {}, deadline);
}

}  // namespace

void window_wire::RemoveDeadEntries(const std::filesystem::path& registry, WindowHandle own) {
  for (const WindowHandle handle : ListEntries(registry)) {
    if (handle == own) continue;
    if (Probe(EntryPath(registry, handle, kSocketSuffix)).presence == Presence::kDead)
      RemoveEntry(registry, handle);
  }
}

std::vector<FoundWindow> FindWindowsByClassAndCaption(std::string_view class_name,
                                                      std::string_view caption, std::size_t limit) {
  const auto registry = UserRuntimeDir();
  std::vector<FoundWindow> found;
  for (const WindowHandle handle : ListEntries(registry)) {
    if (found.size() >= limit) break;
    const auto text =
        ReadOwnFile(window_wire::EntryPath(registry, handle, window_wire::kInfoSuffix));
    const auto info = text ? ParseInfo(*text) : std::nullopt;
    if (!info || info->class_name != class_name || info->caption != caption) continue;
    const Probed probed =
        Probe(window_wire::EntryPath(registry, handle, window_wire::kSocketSuffix));
    if (probed.presence == Presence::kAlive) found.push_back({handle, probed.owner});
    if (probed.presence == Presence::kDead) RemoveEntry(registry, handle);
  }
  return found;
}

std::optional<WindowHandle> FindWindowByClassAndCaption(std::string_view class_name,
                                                        std::string_view caption) {
  const auto found = FindWindowsByClassAndCaption(class_name, caption, 1);
  if (found.empty()) return std::nullopt;
  return found.front().handle;
}

void SendCopyData(WindowHandle target, WindowHandle sender, std::uint32_t data,
                  std::span<const std::byte> bytes) {
  CopyDataSend(target, sender, data, bytes).Wait();
}

CopyDataSend::CopyDataSend(WindowHandle target, WindowHandle sender, std::uint32_t data,
                           std::span<const std::byte> bytes)
    : target_(target),
      connection_(SendRequest(target, CopyDataHeader(sender, data, bytes), bytes, std::nullopt)) {}

void CopyDataSend::Wait() {
  if (!connection_.valid()) return;
  const FileDescriptor connection = std::move(connection_);
  ReceiveReply(connection, target_, std::nullopt);
}

void SendCopyData(WindowHandle target, WindowHandle sender, std::uint32_t data,
                  std::string_view bytes) {
  SendCopyData(target, sender, data, std::as_bytes(std::span(bytes.data(), bytes.size())));
}

bool IsWindowMinimised(WindowHandle target, RequestDeadline deadline) {
  return RequestWithoutPayload(target, window_wire::Kind::kIsMinimised, deadline) != 0;
}

void RestoreWindow(WindowHandle target, RequestDeadline deadline) {
  RequestWithoutPayload(target, window_wire::Kind::kRestore, deadline);
}

void RaiseWindow(WindowHandle target, RequestDeadline deadline) {
  RequestWithoutPayload(target, window_wire::Kind::kRaise, deadline);
}

}  // namespace platform
