#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <thread>

#include "platform/runtime_dir.h"
#include "platform/window.h"
#include "platform/window_wire.h"
#include "support/background_program.h"
#include "support/descriptors.h"
#include "support/fake_frontend.h"

using platform::WindowHandle;
using platform::WindowRegistration;
using testing_support::FakeFrontEndWindow;
using testing_support::ScopedRuntimeDir;
namespace wire = platform::window_wire;

namespace {

constexpr WindowHandle kSender{0x00C0FFEE};

std::filesystem::path EntryOf(WindowHandle handle, std::string_view suffix) {
  return wire::EntryPath(platform::UserRuntimeDir(), handle, suffix);
}

platform::FileDescriptor ConnectRaw(WindowHandle handle) {
  const std::string path = EntryOf(handle, wire::kSocketSuffix).string();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  platform::FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ADD_FAILURE() << "connect: " << std::strerror(errno);
  }
  return fd;
}

// True when the other end closed the connection within a few seconds.
bool ClosedByPeer(int fd) {
  pollfd watched{fd, POLLIN, 0};
  if (poll(&watched, 1, 5000) != 1) return false;
  char byte;
  const ssize_t got = recv(fd, &byte, 1, 0);
  // Closing with our bytes still unread resets the connection instead.
  return got == 0 || (got < 0 && errno == ECONNRESET);
}

std::vector<std::byte> AllByteValues() {
  std::vector<std::byte> bytes;
  for (int round = 0; round < 3; ++round) {
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<std::byte>(value));
  }
  return bytes;
}

// A window registered by a child process that never removes it; the child
// waits to be killed.
WindowHandle RegisterInChild(const std::string& caption, pid_t& child) {
  int handle_pipe[2];
  if (pipe(handle_pipe) != 0) return WindowHandle{};
  child = fork();
  if (child == 0) {
    auto* window = new WindowRegistration("TForm1", caption);
    const auto handle = static_cast<std::uint32_t>(window->handle());
    if (write(handle_pipe[1], &handle, sizeof handle) != sizeof handle) _exit(1);
    pause();
    _exit(0);
  }
  close(handle_pipe[1]);
  std::uint32_t raw = 0;
  EXPECT_EQ(read(handle_pipe[0], &raw, sizeof raw), static_cast<ssize_t>(sizeof raw));
  close(handle_pipe[0]);
  return WindowHandle{raw};
}

void KillAndReap(pid_t child) {
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

// Fills every free descriptor while it lives.
class DescriptorsExhausted {
 public:
  DescriptorsExhausted() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit low = saved_;
    low.rlim_cur = static_cast<rlim_t>(testing_support::OpenDescriptorCount() + 8);
    setrlimit(RLIMIT_NOFILE, &low);
    for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) fillers_.emplace_back(fd);
  }
  ~DescriptorsExhausted() {
    fillers_.clear();
    setrlimit(RLIMIT_NOFILE, &saved_);
  }

 private:
  rlimit saved_{};
  std::vector<platform::FileDescriptor> fillers_;
};

bool Readable(int fd) {
  pollfd watched{fd, POLLIN, 0};
  return poll(&watched, 1, 0) == 1;
}

}  // namespace

TEST(WindowRegistry, FindsByClassAndExactCaption) {
  ScopedRuntimeDir runtime;
  WindowRegistration form("TForm1", "Caption A");
  WindowRegistration application("TApplication", "Caption A");
  WindowRegistration other("TForm1", "Caption B");

  EXPECT_EQ(platform::FindWindowByClassAndCaption("TForm1", "Caption A"), form.handle());
  EXPECT_EQ(platform::FindWindowByClassAndCaption("TApplication", "Caption A"),
            application.handle());
  EXPECT_EQ(platform::FindWindowByClassAndCaption("TForm1", "Caption B"), other.handle());
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm1", "Caption"));
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm1", "Caption A "));
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm", "Caption A"));
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm1\nCaption", "A"));

  other.set_caption("Caption\nC");
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm1", "Caption B"));
  EXPECT_EQ(platform::FindWindowByClassAndCaption("TForm1", "Caption\nC"), other.handle());
}

TEST(WindowRegistry, HandlesAreDistinctAndEntriesGoWithTheRegistration) {
  ScopedRuntimeDir runtime;
  std::set<std::uint32_t> handles;
  WindowHandle last{};
  for (int i = 0; i < 50; ++i) {
    WindowRegistration window("TForm1", "Short-lived");
    EXPECT_NE(static_cast<std::uint32_t>(window.handle()), 0u);
    handles.insert(static_cast<std::uint32_t>(window.handle()));
    last = window.handle();
  }
  EXPECT_EQ(handles.size(), 50u);
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm1", "Short-lived"));
  EXPECT_FALSE(std::filesystem::exists(EntryOf(last, wire::kSocketSuffix)));
  EXPECT_TRUE(std::filesystem::is_empty(platform::UserRuntimeDir()));
}

TEST(WindowRegistry, FolderAndEntriesArePrivate) {
  ScopedRuntimeDir runtime;
  WindowRegistration window("TForm1", "Private");
  struct stat info {};
  ASSERT_EQ(stat(platform::UserRuntimeDir().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(EntryOf(window.handle(), wire::kInfoSuffix).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0077, 0u);
  EXPECT_EQ(info.st_uid, getuid());
}

TEST(WindowCopyData, ArrivesByteForByte) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow receiver("TForm1", "Receiver");
  const std::vector<std::byte> all_values = AllByteValues();
  const std::vector<std::byte> largest(platform::kMaxCopyDataBytes, std::byte{0x5A});

  platform::SendCopyData(receiver.handle(), kSender, 0xDEADBEEF, all_values);
  platform::SendCopyData(receiver.handle(), kSender, 7, std::string_view());
  platform::SendCopyData(receiver.handle(), WindowHandle{}, 0, largest);
  std::vector<std::byte> too_long(platform::kMaxCopyDataBytes + 1);
  EXPECT_THROW(platform::SendCopyData(receiver.handle(), kSender, 0, too_long),
               platform::WindowError);

  const auto reports = receiver.reports();
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].sender, kSender);
  EXPECT_EQ(reports[0].data, 0xDEADBEEFu);
  EXPECT_EQ(reports[0].bytes, all_values);
  EXPECT_EQ(reports[1].data, 7u);
  EXPECT_TRUE(reports[1].bytes.empty());
  EXPECT_EQ(reports[2].bytes, largest);
}

TEST(WindowCopyData, SendReturnsOnlyAfterTheHandlerReturned) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow receiver("TForm1", "Slow");
  std::atomic<bool> handler_done = false;
  receiver.set_callback([&](const testing_support::ReceivedCopyData&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    handler_done = true;
  });
  platform::SendCopyData(receiver.handle(), kSender, 0, std::string_view("x"));
  EXPECT_TRUE(handler_done);
}

TEST(WindowCopyData, FailsAtOnceWhenTheReceiverIsGoneOrBreaksOff) {
  ScopedRuntimeDir runtime;
  WindowHandle gone{};
  {
    WindowRegistration window("TForm1", "Gone");
    gone = window.handle();
  }
  EXPECT_THROW(platform::SendCopyData(gone, kSender, 0, std::string_view("x")),
               platform::WindowError);
  EXPECT_THROW(platform::SendCopyData(WindowHandle{0x12345678}, kSender, 0, std::string_view("x")),
               platform::WindowError);
  EXPECT_THROW(platform::SendCopyData(WindowHandle{}, kSender, 0, std::string_view("x")),
               platform::WindowError);
  EXPECT_THROW(platform::RaiseWindow(gone), platform::WindowError);

  FakeFrontEndWindow receiver("TForm1", "Breaks off");
  receiver.set_callback([](const testing_support::ReceivedCopyData& report) {
    if (report.text() == "fail") throw std::runtime_error("handler failed");
  });
  EXPECT_THROW(platform::SendCopyData(receiver.handle(), kSender, 0, std::string_view("fail")),
               platform::WindowError);
  platform::SendCopyData(receiver.handle(), kSender, 0, std::string_view("fine"));
  ASSERT_EQ(receiver.reports().size(), 1u);
  EXPECT_EQ(receiver.reports()[0].text(), "fine");
}

TEST(WindowRegistry, WindowOfAProcessThatDiedIsNotFoundAndIsRemoved) {
  ScopedRuntimeDir runtime;
  pid_t child = -1;
  const WindowHandle handle = RegisterInChild("Doomed", child);
  EXPECT_EQ(platform::FindWindowByClassAndCaption("TForm1", "Doomed"), handle);

  KillAndReap(child);
  ASSERT_TRUE(std::filesystem::exists(EntryOf(handle, wire::kInfoSuffix)));
  EXPECT_THROW(platform::SendCopyData(handle, kSender, 0, std::string_view("x")),
               platform::WindowError);
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm1", "Doomed"));
  EXPECT_FALSE(std::filesystem::exists(EntryOf(handle, wire::kInfoSuffix)));
  EXPECT_FALSE(std::filesystem::exists(EntryOf(handle, wire::kSocketSuffix)));

  // An entry left without its socket counts as dead too.
  const WindowHandle orphan{0x0000ABCD};
  testing_support::WriteFile(EntryOf(orphan, wire::kInfoSuffix), "QWIN1\nTForm1\nDoomed");
  chmod(EntryOf(orphan, wire::kInfoSuffix).c_str(), 0600);
  EXPECT_FALSE(platform::FindWindowByClassAndCaption("TForm1", "Doomed"));
  EXPECT_FALSE(std::filesystem::exists(EntryOf(orphan, wire::kInfoSuffix)));
}

TEST(WindowRegistry, NextRegistrationRemovesTheEntryOfAKilledProcess) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow alive("TForm1", "Alive");
  pid_t child = -1;
  const WindowHandle killed = RegisterInChild("Killed generator", child);
  KillAndReap(child);
  WindowRegistration next("TApplication", "Next");
  EXPECT_FALSE(std::filesystem::exists(EntryOf(killed, wire::kInfoSuffix)));
  EXPECT_FALSE(std::filesystem::exists(EntryOf(killed, wire::kSocketSuffix)));
  EXPECT_EQ(platform::FindWindowByClassAndCaption("TForm1", "Alive"), alive.handle());
}

TEST(WindowCopyData, BadFramesAreRefusedAndTheReceiverGoesOn) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow receiver("TForm1", "Sturdy");
  const auto as_bytes = [](const wire::RequestHeader& header) {
    const auto bytes = wire::EncodeRequestHeader(header);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };
  const std::vector<std::pair<std::string, std::string>> bad_frames = {
      {"garbage", std::string(64, '\xAB')},
      {"unknown kind", as_bytes({static_cast<wire::Kind>(9), kSender, 0, 0})},
      {"oversized", as_bytes({wire::Kind::kCopyData, kSender, 0,
                              static_cast<std::uint32_t>(platform::kMaxCopyDataBytes + 1)})},
      {"huge", as_bytes({wire::Kind::kCopyData, kSender, 0, 0xFFFFFFFF})},
      {"payload on raise", as_bytes({wire::Kind::kRaise, kSender, 0, 4}) + "abcd"},
  };
  // Clients that connect and then say nothing, or stop half-way, must not hold it up.
  const platform::FileDescriptor silent = ConnectRaw(receiver.handle());
  const platform::FileDescriptor half = ConnectRaw(receiver.handle());
  ASSERT_EQ(send(half.get(), "QWN1\x01", 5, MSG_NOSIGNAL), 5);

  for (const auto& [name, frame] : bad_frames) {
    const platform::FileDescriptor fd = ConnectRaw(receiver.handle());
    send(fd.get(), frame.data(), frame.size(), MSG_NOSIGNAL);
    EXPECT_TRUE(ClosedByPeer(fd.get())) << name;
  }
  platform::SendCopyData(receiver.handle(), kSender, 0, std::string_view("still here"));
  ASSERT_EQ(receiver.reports().size(), 1u);
  EXPECT_EQ(receiver.reports()[0].text(), "still here");
  EXPECT_TRUE(ClosedByPeer(half.get())) << "half a request is kept past its deadline";
}

TEST(WindowRegistration, OutOfDescriptorsAcceptingPausesInsteadOfSpinning) {
  ScopedRuntimeDir runtime;
  WindowRegistration window("TForm1", "Starved");
  int raises = 0;
  window.on_raise([&] { ++raises; });
  const platform::FileDescriptor client = ConnectRaw(window.handle());
  const auto request = wire::EncodeRequestHeader({wire::Kind::kRaise, kSender, 0, 0});
  ASSERT_EQ(send(client.get(), request.data(), request.size(), MSG_NOSIGNAL), 20);
  {
    const DescriptorsExhausted exhausted;
    window.DispatchPending();
    EXPECT_FALSE(Readable(window.fd())) << "the failed accept is tried again at once";
  }
  EXPECT_TRUE(testing_support::WaitUntil([&] {
    window.DispatchPending();  // never waits
    return raises == 1;
  }));
}

TEST(WindowBringForward, RequestsReachTheHandlers) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow window("TForm1", "Forward");
  EXPECT_FALSE(platform::IsWindowMinimised(window.handle()));
  window.set_minimised(true);
  EXPECT_TRUE(platform::IsWindowMinimised(window.handle()));
  platform::RestoreWindow(window.handle());
  EXPECT_EQ(window.restore_count(), 1);
  EXPECT_FALSE(platform::IsWindowMinimised(window.handle()));
  platform::RaiseWindow(window.handle());
  platform::RaiseWindow(window.handle());
  EXPECT_EQ(window.raise_count(), 2);
  EXPECT_TRUE(window.reports().empty());
}

TEST(WindowRegistration, DispatchPendingNeverWaits) {
  ScopedRuntimeDir runtime;
  WindowRegistration window("TForm1", "Idle");
  platform::FileDescriptor silent = ConnectRaw(window.handle());
  std::atomic<bool> returned = false;
  std::thread dispatcher([&] {
    window.DispatchPending();
    window.DispatchPending();
    returned = true;
  });
  EXPECT_TRUE(testing_support::WaitUntil([&] { return returned.load(); }));
  silent.Close();  // lets a dispatch that waits on the silent connection end
  dispatcher.join();
}
