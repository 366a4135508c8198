// The window in the window registry, answered from Qt's event loop, and its
// end when the desktop session ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <thread>

#include "frontend/qt_dialogs.h"
#include "frontend/termination_signals.h"
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

TEST_F(WindowTest, EndOfSessionEndsTheProgramWhileAMessageBoxIsOpen) {
  quorvel::TForm1& form = Start();
  quorvel::QtDialogs boxes;
  quorvel::TerminationSignals termination([&form] { form.close(); });
  form.show();
  bool answered_yes = true;
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(0, [] {
      EXPECT_NE(QApplication::activeModalWidget(), nullptr);
      raise(SIGTERM);
    });
    answered_yes = boxes.Confirm("Reset List", "Empty the list?");
  });
  QTimer watchdog;  // ends the test instead of hanging it when the box keeps the program alive
  watchdog.callOnTimeout([] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
    QCoreApplication::exit(1);
  });
  watchdog.start(20000);
  EXPECT_EQ(QApplication::exec(), 0) << "the open box kept the program running";
  EXPECT_FALSE(answered_yes);
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
