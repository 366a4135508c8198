#pragma once
// Stands in for top-level windows found by FindWindowA and reached by SendMessageA
// (WM_COPYDATA) and IsIconic / ShowWindow(SW_RESTORE) / SetForegroundWindow.
//
// Registry: one folder per user, platform::UserRuntimeDir() (mode 0700). A window
// with handle H (8 lower-case hex digits, never 00000000) owns two entries there:
//   H.sock  a listening Unix-domain stream socket; it exists before H.info does.
//   H.info  "QWIN1\n" <class name> "\n" <caption>  (the caption runs to the end
//           of the file, byte for byte; replaced atomically by rename).
// A window is alive while its socket accepts connections; an entry whose socket
// refuses them belongs to a process that died and is removed by whoever meets it.
// Entries, sockets and peers of another user are never trusted: files must be
// ours, and both ends check the peer's uid (SO_PEERCRED).
//
// Wire format: one request per connection, then one reply, then both close.
// All integers are unsigned 32-bit little-endian.
//   request: "QWN1" kind sender data length, then `length` payload bytes
//            kind 1 copy-data (sender = the sender's handle, the wParam;
//                   data = dwData; payload = the bytes, at most 65536,
//                   kMaxCopyDataBytes)
//            kind 2 is-minimised query, 3 restore, 4 raise (data 0, length 0)
//   reply:   "QWA1" result   (the query: 1 minimised, 0 not; otherwise 0)
// A request with another magic, an unknown kind, a payload that is too long or
// a payload on a kind that takes none makes the receiver drop the connection
// without a reply. The receiver never blocks on a connection: it reads what has
// arrived into a buffer of that connection and waits for the rest. It keeps at
// most kMaxPendingConnections such connections (a new one drops the oldest) and
// drops one whose request has not arrived whole within kRequestDeadline, so
// that clients which stop half-way can neither exhaust its descriptors nor keep
// a well-formed request from being answered.

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"
#include "platform/file.h"

namespace platform {

enum class WindowHandle : std::uint32_t {};

inline constexpr std::size_t kMaxCopyDataBytes = 64 * 1024;
inline constexpr std::size_t kMaxPendingConnections = 32;
inline constexpr std::chrono::milliseconds kRequestDeadline{2000};

// A window that is gone, never existed, or broke off the exchange.
class WindowError : public Error {
 public:
  using Error::Error;
};

// A window that gave no answer by the caller's deadline: its owner may be
// stopped or hung, so unlike the other WindowErrors it says nothing of whether
// the window is gone.
class WindowTimeoutError : public WindowError {
 public:
  using WindowError::WindowError;
};

// No deadline: a request waits as long as the receiver takes.
using RequestDeadline = std::optional<std::chrono::steady_clock::time_point>;

// A live window of the registry and the process that made it.
struct FoundWindow {
  WindowHandle handle{};
  // As its socket tells it (SO_PEERCRED); 0 when it cannot tell, as when the
  // window lives in a process namespace we cannot see into.
  pid_t owner = 0;
};

// The windows of the given class whose caption is exactly `caption` and whose
// owner still runs, at most `limit` of them, in the order the registry folder
// lists them; dead entries met on the way are removed.
std::vector<FoundWindow> FindWindowsByClassAndCaption(
    std::string_view class_name, std::string_view caption,
    std::size_t limit = std::numeric_limits<std::size_t>::max());

// The first of them.
std::optional<WindowHandle> FindWindowByClassAndCaption(std::string_view class_name,
                                                        std::string_view caption);

// Hands `bytes` to the copy-data handler of `target` and returns once that
// handler has returned; waits as long as the receiver takes. Throws WindowError
// at once when the target is gone or drops the connection.
void SendCopyData(WindowHandle target, WindowHandle sender, std::uint32_t data,
                  std::span<const std::byte> bytes);
void SendCopyData(WindowHandle target, WindowHandle sender, std::uint32_t data,
                  std::string_view bytes);

// A copy-data request on its way: the bytes are handed over at construction,
// and Wait() returns once the receiver's handler has returned. The sender can
// go on with its own work meanwhile; SendCopyData is the two at once.
class CopyDataSend {
 public:
  // Throws WindowError at once when the target is gone, as SendCopyData does.
  CopyDataSend(WindowHandle target, WindowHandle sender, std::uint32_t data,
               std::span<const std::byte> bytes);
  // Waits as long as the receiver takes; throws WindowError when the target
  // dropped the connection or went away before its handler returned.
  void Wait();

 private:
  WindowHandle target_;
  FileDescriptor connection_;
};

// Requests for bringing another process's window forward; same errors as SendCopyData,
// and WindowTimeoutError when the whole exchange has not ended by `deadline`.
bool IsWindowMinimised(WindowHandle target, RequestDeadline deadline = std::nullopt);
void RestoreWindow(WindowHandle target, RequestDeadline deadline = std::nullopt);
void RaiseWindow(WindowHandle target, RequestDeadline deadline = std::nullopt);

// A top-level window of this process in the registry, from construction to
// destruction. Requests are handled only inside DispatchPending(), on the thread
// that calls it, so the owner plugs fd() into its event loop. A send to a window
// of the same thread would wait for itself: senders run on another thread.
class WindowRegistration {
 public:
  // The handler gets its own copy of the bytes.
  using CopyDataHandler =
      std::function<void(WindowHandle sender, std::uint32_t data, std::vector<std::byte> bytes)>;

  // Throws SystemError when the registry cannot be used, InOutError when the
  // window's entry cannot be written.
  WindowRegistration(std::string_view class_name, std::string_view caption);
  ~WindowRegistration();
  WindowRegistration(const WindowRegistration&) = delete;
  WindowRegistration& operator=(const WindowRegistration&) = delete;

  WindowHandle handle() const { return handle_; }
  const std::string& caption() const { return caption_; }
  void set_caption(std::string_view caption);

  // Readable whenever DispatchPending() has something to do, a deadline of a
  // pending connection included, so no timer of the owner is needed.
  int fd() const;
  // Handles every request that has fully arrived, without waiting for more.
  // An exception from a handler drops that request's connection and goes on
  // to the caller.
  void DispatchPending();

  void on_copy_data(CopyDataHandler handler) { copy_data_handler_ = std::move(handler); }
  void on_is_minimised(std::function<bool()> handler) { minimised_handler_ = std::move(handler); }
  void on_restore(std::function<void()> handler) { restore_handler_ = std::move(handler); }
  void on_raise(std::function<void()> handler) { raise_handler_ = std::move(handler); }

 private:
  struct Connection;

  void Listen();
  void Unregister() noexcept;
  void WriteInfo(std::string_view caption) const;
  void Serve(std::uint64_t id);
  void KeepDeadlines();
  void AcceptPending();
  void Admit(FileDescriptor fd);
  void PauseAccepting();
  void ResumeAcceptingWhenDue(std::chrono::steady_clock::time_point now);
  void DropOverdue(std::chrono::steady_clock::time_point now);
  void ArmTimer();
  void ReadFrom(std::uint64_t id);
  std::unique_ptr<Connection> Take(std::uint64_t id);
  void Drop(std::uint64_t id);
  void Handle(std::unique_ptr<Connection> connection);
  std::uint32_t Answer(const Connection& connection);

  std::string class_name_;
  std::string caption_;
  WindowHandle handle_{};
  std::filesystem::path socket_path_;
  std::filesystem::path info_path_;
  int listen_fd_ = -1;
  int poll_fd_ = -1;
  FileDescriptor timer_;
  // Set while accepting waits for descriptors to be freed (accept failed with EMFILE).
  std::optional<std::chrono::steady_clock::time_point> accept_resumes_;
  std::uint64_t next_id_ = 1;
  std::map<std::uint64_t, std::unique_ptr<Connection>> connections_;
  CopyDataHandler copy_data_handler_;
  std::function<bool()> minimised_handler_;
  std::function<void()> restore_handler_;
  std::function<void()> raise_handler_;
};

}  // namespace platform
