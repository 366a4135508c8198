// The receiving end of the window registry: one registered window, its
// listening socket and the connections of the senders that are talking to it.

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <random>

#include "platform/runtime_dir.h"
#include "platform/system_call.h"
#include "platform/window.h"
#include "platform/window_wire.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kListenerId = 0;
constexpr std::uint64_t kTimerId = std::numeric_limits<std::uint64_t>::max();
constexpr int kHandleAttempts = 64;
constexpr int kAcceptsPerDispatch = 64;
constexpr std::size_t kMaxNamesBytes = 32 * 1024;
// Out of descriptors, accepting waits this long for some to be freed instead
// of finding the listening socket readable again at once.
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

void Watch(int poll_fd, int fd, std::uint64_t id, std::uint32_t events = EPOLLIN,
           int operation = EPOLL_CTL_ADD) {
  epoll_event event{};
  event.events = events;
  event.data.u64 = id;
  if (epoll_ctl(poll_fd, operation, fd, &event) != 0) throw SystemError(errno);
}

// accept4() errors that say the process or the system has no room for another
// descriptor; the connection stays in the backlog.
bool IsOutOfDescriptors(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

void SetTimer(int timer_fd, std::optional<Clock::duration> after) {
  itimerspec setting{};
  if (after) {
    // A zero value would disarm the timer: a deadline that has passed fires at once.
    const auto nanoseconds = std::max<std::int64_t>(1, std::chrono::nanoseconds(*after).count());
    setting.it_value.tv_sec = static_cast<time_t>(nanoseconds / 1'000'000'000);
    setting.it_value.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000);
  }
  if (timerfd_settime(timer_fd, 0, &setting, nullptr) != 0) throw SystemError(errno);
}

WindowHandle RandomHandle(std::random_device& random) {
  std::uint32_t value = 0;
  while (value == 0) value = static_cast<std::uint32_t>(random());
  return static_cast<WindowHandle>(value);
}

}  // namespace

struct WindowRegistration::Connection {
  FileDescriptor fd;
  std::vector<std::byte> buffer = std::vector<std::byte>(window_wire::kRequestHeaderSize);
  std::size_t filled = 0;
  std::optional<window_wire::RequestHeader> header;
  Clock::time_point deadline = Clock::now() + kRequestDeadline;

  std::size_t needed() const {
    return window_wire::kRequestHeaderSize + (header ? header->length : 0);
  }
};

WindowRegistration::WindowRegistration(std::string_view class_name, std::string_view caption)
    : class_name_(class_name), caption_(caption) {
  if (class_name_.find('\n') != std::string::npos ||
      class_name_.size() + caption_.size() > kMaxNamesBytes) {
    throw WindowError("Invalid window class name or caption");
  }
  poll_fd_ = epoll_create1(EPOLL_CLOEXEC);
  if (poll_fd_ < 0) throw SystemError(errno);
  try {
    timer_ = FileDescriptor(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
    if (!timer_.valid()) throw SystemError(errno);
    Watch(poll_fd_, timer_.get(), kTimerId);
    Listen();
    WriteInfo(caption_);
    // A window that was killed never removed its entry: the next one does.
    window_wire::RemoveDeadEntries(socket_path_.parent_path(), handle_);
  } catch (...) {
    Unregister();
    throw;
  }
}

WindowRegistration::~WindowRegistration() {
  Unregister();
}

void WindowRegistration::Unregister() noexcept {
  // Not findable first; the socket goes last, so that the handle stays taken until then.
  if (!info_path_.empty()) unlink(info_path_.c_str());
  if (listen_fd_ >= 0) {
    unlink(socket_path_.c_str());
    close(listen_fd_);
    listen_fd_ = -1;
  }
  connections_.clear();
  timer_ = FileDescriptor();
  if (poll_fd_ >= 0) close(poll_fd_);
  poll_fd_ = -1;
}

void WindowRegistration::Listen() {
  const auto registry = UserRuntimeDir();
  std::random_device random;
  for (int attempt = 0; attempt < kHandleAttempts; ++attempt) {
    const WindowHandle handle = RandomHandle(random);
    const auto path = window_wire::EntryPath(registry, handle, window_wire::kSocketSuffix);
    sockaddr_un address{};
    if (path.native().size() >= sizeof address.sun_path) throw SystemError(ENAMETOOLONG);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.native().size() + 1);

    FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0) throw SystemError(errno);
    // bind() refuses a name that exists: that is what makes the handle ours alone.
    if (bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      if (errno == EADDRINUSE) continue;
      throw SystemError(errno);
    }
    handle_ = handle;
    socket_path_ = path;
    listen_fd_ = fd.Release();
    if (listen(listen_fd_, SOMAXCONN) != 0) throw SystemError(errno);
    Watch(poll_fd_, listen_fd_, kListenerId);
    info_path_ = window_wire::EntryPath(registry, handle, window_wire::kInfoSuffix);
    return;
  }
  throw SystemError(EADDRINUSE);
}

void WindowRegistration::WriteInfo(std::string_view caption) const {
  std::string text(window_wire::kInfoMagic);
  text += class_name_;
  text += '\n';
  text += caption;
  ReplaceFileAtomically(info_path_, text, ReplacedFile::kBecomesOurs, 0600);
}

void WindowRegistration::set_caption(std::string_view caption) {
  if (class_name_.size() + caption.size() > kMaxNamesBytes) {
    throw WindowError("Invalid window caption");
  }
  WriteInfo(caption);
  caption_ = caption;
}

int WindowRegistration::fd() const {
  return poll_fd_;
}

void WindowRegistration::DispatchPending() {
  std::array<epoll_event, 32> events{};
  const int count = RetryOnInterrupt(
      [&] { return epoll_wait(poll_fd_, events.data(), static_cast<int>(events.size()), 0); });
  if (count < 0) throw SystemError(errno);
  // Ids, not iterators: a handler may dispatch again (a modal loop) and change the map.
  std::vector<std::uint64_t> ready;
  for (int i = 0; i < count; ++i) ready.push_back(events[static_cast<std::size_t>(i)].data.u64);
  try {
    for (const std::uint64_t id : ready) Serve(id);
  } catch (...) {
    // The deadlines must be kept even when no dispatch follows.
    KeepDeadlines();
    throw;
  }
  KeepDeadlines();
}

void WindowRegistration::Serve(std::uint64_t id) {
  if (id == kListenerId) {
    AcceptPending();
  } else if (id == kTimerId) {
    std::uint64_t expirations = 0;
    // Only empties the timer; KeepDeadlines() finds what is due.
    [[maybe_unused]] const ssize_t got = read(timer_.get(), &expirations, sizeof expirations);
  } else {
    ReadFrom(id);
  }
}

void WindowRegistration::KeepDeadlines() {
  const Clock::time_point now = Clock::now();
  DropOverdue(now);
  ResumeAcceptingWhenDue(now);
  ArmTimer();
}

void WindowRegistration::AcceptPending() {
  for (int i = 0; i < kAcceptsPerDispatch && !accept_resumes_; ++i) {
    FileDescriptor fd(RetryOnInterrupt(
        [&] { return accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC); }));
    if (fd.get() >= 0) {
      if (window_wire::PeerIsOurUser(fd.get())) Admit(std::move(fd));
    } else if (IsOutOfDescriptors(errno)) {
      PauseAccepting();
    } else if (errno != ECONNABORTED) {
      return;
    }
  }
}

void WindowRegistration::Admit(FileDescriptor fd) {
  // The oldest has waited longest for the rest of its request.
  if (connections_.size() >= kMaxPendingConnections) Drop(connections_.begin()->first);
  const std::uint64_t id = next_id_++;
  Watch(poll_fd_, fd.get(), id);
  auto connection = std::make_unique<Connection>();
  connection->fd = std::move(fd);
  connections_.emplace(id, std::move(connection));
  // The sender usually wrote its request right after connecting.
  ReadFrom(id);
}

void WindowRegistration::PauseAccepting() {
  Watch(poll_fd_, listen_fd_, kListenerId, 0, EPOLL_CTL_MOD);
  accept_resumes_ = Clock::now() + kAcceptPause;
}

void WindowRegistration::ResumeAcceptingWhenDue(Clock::time_point now) {
  if (!accept_resumes_ || *accept_resumes_ > now) return;
  accept_resumes_.reset();
  Watch(poll_fd_, listen_fd_, kListenerId, EPOLLIN, EPOLL_CTL_MOD);
}

void WindowRegistration::DropOverdue(Clock::time_point now) {
  // Ids grow with the time of acceptance, and so do the deadlines.
  while (!connections_.empty() && connections_.begin()->second->deadline <= now) {
    Drop(connections_.begin()->first);
  }
}

void WindowRegistration::ArmTimer() {
  std::optional<Clock::time_point> due = accept_resumes_;
  if (!connections_.empty()) {
    const Clock::time_point deadline = connections_.begin()->second->deadline;
    due = due ? std::min(*due, deadline) : deadline;
  }
  SetTimer(timer_.get(), due ? std::optional(*due - Clock::now()) : std::nullopt);
}

void WindowRegistration::ReadFrom(std::uint64_t id) {
  const auto found = connections_.find(id);
  if (found == connections_.end()) return;
  Connection& connection = *found->second;
  while (true) {
    if (connection.filled == connection.needed()) {
      if (connection.header) break;
      connection.header = window_wire::DecodeRequestHeader(
          std::span<const std::byte, window_wire::kRequestHeaderSize>(
              connection.buffer.data(), window_wire::kRequestHeaderSize));
      if (!connection.header) return Drop(id);
      connection.buffer.resize(connection.needed());
      continue;
    }
    const ssize_t got = RetryOnInterrupt([&] {
      return read(connection.fd.get(), connection.buffer.data() + connection.filled,
                  connection.needed() - connection.filled);
    });
    if (got > 0) {
      connection.filled += static_cast<std::size_t>(got);
    } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      return Drop(id);
    }
  }
  Handle(Take(id));
}

std::unique_ptr<WindowRegistration::Connection> WindowRegistration::Take(std::uint64_t id) {
  const auto found = connections_.find(id);
  if (found == connections_.end()) return nullptr;
  auto connection = std::move(found->second);
  connections_.erase(found);
  epoll_ctl(poll_fd_, EPOLL_CTL_DEL, connection->fd.get(), nullptr);
  return connection;
}

void WindowRegistration::Drop(std::uint64_t id) {
  Take(id);
}

void WindowRegistration::Handle(std::unique_ptr<Connection> connection) {
  const auto reply = window_wire::EncodeReply(Answer(*connection));
  // Eight bytes always fit into the empty send buffer of a fresh connection.
  send(connection->fd.get(), reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

std::uint32_t WindowRegistration::Answer(const Connection& connection) {
  const window_wire::RequestHeader& header = *connection.header;
  switch (header.kind) {
    case window_wire::Kind::kCopyData: {
      std::vector<std::byte> bytes(connection.buffer.begin() + window_wire::kRequestHeaderSize,
                                   connection.buffer.end());
      if (copy_data_handler_) copy_data_handler_(header.sender, header.data, std::move(bytes));
      return 0;
    }
    case window_wire::Kind::kIsMinimised:
      return minimised_handler_ && minimised_handler_() ? 1 : 0;
    case window_wire::Kind::kRestore:
      if (restore_handler_) restore_handler_();
      return 0;
    case window_wire::Kind::kRaise:
      if (raise_handler_) raise_handler_();
      return 0;
  }
  return 0;
}

}  // namespace platform
