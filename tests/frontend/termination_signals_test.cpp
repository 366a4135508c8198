// The end of the desktop session while a real message box waits for an answer.
#include "frontend/termination_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QTimer>

#include "frontend/qt_dialogs.h"
#include "window_fixture.h"

namespace {

using quorvel_test::WindowTest;

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
  // Only when the box kept the program alive: ends the test instead of hanging it.
  bool still_running = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    still_running = true;
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
    QCoreApplication::exit(1);
  });
  watchdog.start(20000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(still_running);
  EXPECT_FALSE(answered_yes);
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
