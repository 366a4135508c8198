// The window in the window registry, answered from Qt's event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <thread>

#include "frontend/CheckPrevious.h"
#include "shared/names.h"
#include "window_fixture.h"

namespace {

using quorvel_test::WindowTest;
using shared::FrontEndCaption;
using shared::MainWindowClass;

TEST_F(WindowTest, RegisteredWindowIsFoundAndAnswersFromTheEventLoop) {
  quorvel::TForm1 form(quorvel::StartOptions{.AppDir = app_dir()}, dialogs_);
  ASSERT_NE(form.registration(), nullptr);
  const auto found = platform::FindWindowByClassAndCaption(MainWindowClass, FrontEndCaption);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(*found, form.registration()->handle());

  std::atomic<int> answers{0};
  std::atomic<bool> minimised{true};
  std::thread sender([&] {
    minimised = platform::IsWindowMinimised(*found);
    ++answers;
    platform::SendCopyData(*found, platform::WindowHandle{1}, 0, std::string_view("a|b\0", 4));
    ++answers;
  });
  QElapsedTimer waited;
  waited.start();
  while (answers < 2 && waited.elapsed() < 10000) QCoreApplication::processEvents();
  sender.join();
  EXPECT_EQ(answers, 2);
  EXPECT_FALSE(minimised);
  EXPECT_TRUE(dialogs_.errors.empty());
}

// The guard the program block hands over is the one the window contends with.
TEST_F(WindowTest, WindowGivenAGuardTakesItsSlot) {
  quorvel::InstanceGuard guard("window-guard-test-" + std::to_string(getpid()));
  quorvel::TForm1 form(quorvel::StartOptions{.AppDir = app_dir(), .Guard = &guard}, dialogs_);
  EXPECT_TRUE(guard.holds_slot());
  EXPECT_FALSE(form.refused());
}

}  // namespace
