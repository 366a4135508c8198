// Feeds arbitrary bytes to a registered window: as one connection's request,
// or (after a leading 'I') as the registry entry of another window. Every
// request either gets one reply from one handled request or loses its
// connection, the receiver never waits on it, and a good request on a new
// connection is handled afterwards.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/runtime_dir.h"
#include "platform/system_call.h"
#include "platform/window.h"

namespace {

using fuzz_support::Check;
using platform::WindowHandle;

constexpr std::string_view kClass = "FuzzWindow";
constexpr std::string_view kCaption = "fuzzed receiver";
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kReplySize = 8;
// Rounds of dispatching without progress before the receiver counts as stuck.
constexpr int kPatienceRounds = 400;
constexpr int kRoundMilliseconds = 5;
// Entries longer than this are not read at all by the registry.
constexpr std::size_t kMaxEntryBytes = 64 * 1024;

std::uint32_t U32At(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::string EntryName(WindowHandle handle, std::string_view suffix) {
  char name[9];
  std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(handle));
  return std::string(name) + std::string(suffix);
}

// What a request of these bytes asks for, when it is a whole, valid one.
struct Request {
  std::uint32_t kind = 0, sender = 0, data = 0;
  std::string payload;
};

std::optional<Request> RequestOf(std::string_view bytes) {
  if (bytes.size() < kHeaderSize || !bytes.starts_with("QWN1")) return std::nullopt;
  Request request{U32At(bytes, 4), U32At(bytes, 8), U32At(bytes, 12), {}};
  const std::uint32_t length = U32At(bytes, 16);
  if (request.kind < 1 || request.kind > 4) return std::nullopt;
  if (length > (request.kind == 1 ? platform::kMaxCopyDataBytes : 0)) return std::nullopt;
  if (bytes.size() - kHeaderSize < length) return std::nullopt;
  request.payload = bytes.substr(kHeaderSize, length);
  return request;
}

// One window, in a registry of this process alone, and what reached it.
class Receiver {
 public:
  Receiver() : registration_(Register(folder_)) {
    registration_.on_copy_data(
        [this](WindowHandle sender, std::uint32_t data, std::vector<std::byte> bytes) {
          ++handled_;
          last_ = Request{1, static_cast<std::uint32_t>(sender), data,
                          std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())};
        });
    registration_.on_is_minimised([this] {
      ++handled_;
      return minimised_;
    });
    registration_.on_restore([this] { ++handled_; });
    registration_.on_raise([this] { ++handled_; });
  }

  WindowHandle handle() const { return registration_.handle(); }
  std::filesystem::path registry() const { return platform::UserRuntimeDir(); }
  int handled() const { return handled_; }
  const Request& last_copy_data() const { return last_; }
  bool minimised() const { return minimised_; }
  void toggle_minimised() { minimised_ = !minimised_; }
  void Dispatch() { registration_.DispatchPending(); }

  // Dispatches until `done` says so; a receiver that takes longer is stuck.
  template <typename Done>
  void DispatchUntil(Done done, std::string_view what) {
    for (int round = 0; round < kPatienceRounds; ++round) {
      Dispatch();
      if (done()) return;
      pollfd ready{registration_.fd(), POLLIN, 0};
      poll(&ready, 1, kRoundMilliseconds);
    }
    fuzz_support::Fail(what);
  }

 private:
  static platform::WindowRegistration Register(const fuzz_support::ScratchFolder& folder) {
    setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    return platform::WindowRegistration(kClass, kCaption);
  }

  fuzz_support::ScratchFolder folder_;
  platform::WindowRegistration registration_;
  int handled_ = 0;
  bool minimised_ = false;
  Request last_;
};

int Connect(const Receiver& receiver) {
  const std::string path = (receiver.registry() / EntryName(receiver.handle(), ".sock")).string();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  Check(path.size() < sizeof address.sun_path, "registry path too long");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  Check(fd >= 0, "no socket");
  Check(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0,
        "the window refuses connections");
  return fd;
}

// Writes as much as the receiver takes, dispatching whenever the socket is
// full. False when the receiver dropped the connection meanwhile.
bool SendBytes(Receiver& receiver, int fd, std::string_view bytes) {
  int idle_rounds = 0;
  while (!bytes.empty()) {
    const ssize_t sent = platform::RetryOnInterrupt(
        [&] { return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT); });
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
      idle_rounds = 0;
      continue;
    }
    if (sent < 0 && errno != EAGAIN) return false;
    Check(++idle_rounds < kPatienceRounds, "the receiver stopped reading");
    receiver.Dispatch();
    pollfd writable{fd, POLLOUT, 0};
    poll(&writable, 1, kRoundMilliseconds);
  }
  return true;
}

// The sizes of the pieces the bytes arrive in, taken from the bytes themselves
// so that an input always arrives the same way: about half the inputs in one
// piece, the others in pieces of 1 to 32 bytes.
std::vector<std::size_t> PieceSizes(std::string_view bytes) {
  std::uint64_t state = 14695981039346656037u;  // FNV-1a
  for (const char c : bytes) state = (state ^ static_cast<unsigned char>(c)) * 1099511628211u;
  if ((state & 1) != 0) return {bytes.size()};
  std::vector<std::size_t> sizes;
  for (std::size_t left = bytes.size(); left > 0;) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const std::size_t size = std::min<std::size_t>(left, 1 + state % 32);
    sizes.push_back(size);
    left -= size;
  }
  return sizes;
}

// Sends the bytes piece by piece, with the receiver handling what has arrived
// in between, as it does for a slow sender.
void SendInPieces(Receiver& receiver, int fd, std::string_view bytes) {
  for (const std::size_t size : PieceSizes(bytes)) {
    if (!SendBytes(receiver, fd, fuzz_support::TakeFront(bytes, size))) return;
    receiver.Dispatch();
  }
}

// Everything the receiver sends back until it closes the connection.
std::string ReplyOn(Receiver& receiver, int fd) {
  std::string reply;
  bool closed = false;
  receiver.DispatchUntil(
      [&] {
        char chunk[64];
        const auto receive = [&] { return recv(fd, chunk, sizeof chunk, MSG_DONTWAIT); };
        for (ssize_t got; (got = platform::RetryOnInterrupt(receive)) != 0;) {
          if (got < 0) {
            closed = errno != EAGAIN;
            return closed;
          }
          reply.append(chunk, static_cast<std::size_t>(got));
        }
        closed = true;
        return true;
      },
      "the receiver neither replied nor dropped the connection");
  return reply;
}

void CheckConnection(Receiver& receiver, std::string_view bytes) {
  receiver.toggle_minimised();
  const int before = receiver.handled();
  const int fd = Connect(receiver);
  SendInPieces(receiver, fd, bytes);
  shutdown(fd, SHUT_WR);
  const std::string reply = ReplyOn(receiver, fd);
  close(fd);

  const auto request = RequestOf(bytes);
  if (!request) {
    Check(reply.empty() && receiver.handled() == before, "a bad request was answered");
    return;
  }
  Check(receiver.handled() == before + 1, "a whole request was not handled once");
  Check(reply.size() == kReplySize && reply.starts_with("QWA1"), "no reply to a whole request");
  const std::uint32_t expected = request->kind == 2 && receiver.minimised() ? 1 : 0;
  Check(U32At(reply, 4) == expected, "wrong result in the reply");
  if (request->kind == 1) {
    const Request& got = receiver.last_copy_data();
    Check(got.sender == request->sender && got.data == request->data &&
              got.payload == request->payload,
          "copy-data handed on changed");
  }
}

// A request from another thread, as a real sender makes it, is still handled.
void CheckGoodRequest(Receiver& receiver) {
  const int before = receiver.handled();
  std::atomic<bool> done{false};
  std::thread sender([&] {
    try {
      platform::SendCopyData(receiver.handle(), WindowHandle{7}, 42, std::string_view("ok"));
    } catch (const std::exception& error) {
      fuzz_support::Fail(error.what());
    }
    done = true;
  });
  receiver.DispatchUntil([&] { return receiver.handled() > before; },
                         "a good request was not handled");
  // The reply is on its way: the sender needs no more dispatching to end.
  sender.join();
  Check(done && receiver.handled() == before + 1 && receiver.last_copy_data().payload == "ok",
        "a good request after the fuzzed one went wrong");
}

// A registry entry of another window, with these bytes as its text: it never
// hides our window, and when it reads as the documented "QWIN1" class and
// caption, looking for those finds it, sees its owner gone and removes it.
void CheckInfoEntry(Receiver& receiver, std::string_view text) {
  const WindowHandle other{static_cast<std::uint32_t>(receiver.handle()) == 1 ? 2u : 1u};
  const auto entry = receiver.registry() / EntryName(other, ".info");
  fuzz_support::WriteFileBytes(entry, text);
  Check(platform::FindWindowByClassAndCaption(kClass, kCaption) == receiver.handle(),
        "an entry hid the window");

  constexpr std::string_view kMagic = "QWIN1\n";
  const auto end_of_class = text.find('\n', kMagic.size());
  if (text.starts_with(kMagic) && end_of_class != std::string_view::npos &&
      text.size() <= kMaxEntryBytes) {
    const std::string_view class_name = text.substr(kMagic.size(), end_of_class - kMagic.size());
    const std::string_view caption = text.substr(end_of_class + 1);
    const auto found = platform::FindWindowByClassAndCaption(class_name, caption);
    const bool ours = class_name == kClass && caption == kCaption;
    Check(found == (ours ? std::optional(receiver.handle()) : std::nullopt),
          "a dead entry was found");
    Check(!std::filesystem::exists(entry), "a dead entry was not removed");
  }
  std::filesystem::remove(entry);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Receiver receiver;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.starts_with('I')) {
    CheckInfoEntry(receiver, bytes.substr(1));
  } else {
    CheckConnection(receiver, bytes);
  }
  CheckGoodRequest(receiver);
  return 0;
}
