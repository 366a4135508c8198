#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>

#include "generator/report.h"
#include "shared/helpers.h"
#include "shared/names.h"
#include "support/fake_frontend.h"

namespace vantrel {

using shared::FrontEndCaption;
using shared::IsProcessRunning;
using shared::MainWindowClass;
using testing_support::FakeFrontEndWindow;
using testing_support::ScopedRuntimeDir;

namespace {

constexpr platform::WindowHandle kGeneratorWindow{0x00000ABC};

}  // namespace

TEST(BuildProgressReport, Forms) {
  struct Case {
    std::string source, has_text, output, expected;
  };
  const Case cases[] = {
      {"src", "yes", "/out/a_DateTime_0001.jpg", "src|/out/a_DateTime_0001.jpg"},
      {"src", "no", "/out/a_DateTime_0001.jpg", "src|NoExifData"},
      {"src", "Yes", "/out/a_DateTime_0001.jpg", "src|NoExifData"},
      {"src", "yes ", "/out/a_DateTime_0001.jpg", "src|NoExifData"},
      {"src", "", "/out/a_DateTime_0001.jpg", "src|NoExifData"},
      // The source path goes out exactly as the picture list held it.
      {" /p/a b.jpg\t", "yes", "/o/a b_DateTime_0002.jpg",
       " /p/a b.jpg\t|/o/a b_DateTime_0002.jpg"},
      {"/a.jpg", "no", "", "/a.jpg|NoExifData"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildProgressReport(c.source, c.has_text, c.output), c.expected)
        << c.source << " / " << c.has_text;
  }
}

TEST(SendProgressReport, ReachesOnlyTheFrontEndsMainWindowWithTheTerminatingZero) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow other_class("TApplication", FrontEndCaption);
  FakeFrontEndWindow generator_like(MainWindowClass, "vantrel");
  FakeFrontEndWindow front_end;

  const std::string report = BuildProgressReport("/a.jpg", "no", "");
  ASSERT_EQ(report.size(), 17u);
  SendProgressReport(kGeneratorWindow, report);

  const auto received = front_end.reports();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].sender, kGeneratorWindow);
  EXPECT_EQ(received[0].data, 0u);
  EXPECT_EQ(received[0].bytes.size(), 18u);
  EXPECT_EQ(received[0].text(), std::string("/a.jpg|NoExifData", 18));
  EXPECT_TRUE(other_class.reports().empty());
  EXPECT_TRUE(generator_like.reports().empty());
}

// The window kept for a run's reports closed: the next report finds the one
// that opened since rather than being lost.
TEST(ProgressReporter, AfterItsWindowClosesTheNextReportReachesTheNewOne) {
  ScopedRuntimeDir runtime;
  ProgressReporter reporter;
  auto first = std::make_unique<FakeFrontEndWindow>();
  reporter.Send(kGeneratorWindow, "a|NoExifData");
  reporter.Finish();
  ASSERT_EQ(first->reports().size(), 1u);
  first.reset();

  FakeFrontEndWindow second;
  reporter.Send(kGeneratorWindow, "b|NoExifData");
  reporter.Finish();
  ASSERT_EQ(second.reports().size(), 1u);
  EXPECT_EQ(second.reports()[0].text(), std::string("b|NoExifData", 13));
}

// The picture is made while the window takes its report; the next report
// goes out only once that one is taken, so they arrive in their order.
TEST(ProgressReporter, GoesOnWhileTheWindowTakesAReportAndKeepsTheirOrder) {
  ScopedRuntimeDir runtime;
  FakeFrontEndWindow front_end;
  std::promise<void> picture_made;
  std::shared_future<void> made = picture_made.get_future().share();
  std::atomic<bool> waited_for_picture = false;
  front_end.set_callback([&](const testing_support::ReceivedCopyData& report) {
    if (report.text() == std::string("a|NoExifData", 13))
      waited_for_picture = made.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  });
  ProgressReporter reporter;
  reporter.Send(kGeneratorWindow, "a|NoExifData");
  picture_made.set_value();
  reporter.Send(kGeneratorWindow, "b|NoExifData");
  reporter.Finish();
  EXPECT_TRUE(waited_for_picture);
  const auto received = front_end.reports();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1].text(), std::string("b|NoExifData", 13));
}

TEST(SendProgressReport, EveryFailureIsSwallowed) {
  {
    ScopedRuntimeDir runtime;
    SendProgressReport(kGeneratorWindow, "src|NoExifData");  // no front-end at all

    FakeFrontEndWindow front_end;
    front_end.set_callback([](const testing_support::ReceivedCopyData&) {
      throw std::runtime_error("front-end broke off");
    });
    EXPECT_NO_THROW(SendProgressReport(kGeneratorWindow, "src|NoExifData"));
    EXPECT_TRUE(front_end.reports().empty());
  }
  // A registry that cannot be made.
  testing_support::TempDir folder;
  testing_support::WriteFile(folder / "file", "");
  testing_support::ScopedEnv env("XDG_RUNTIME_DIR", (folder / "file").string());
  EXPECT_NO_THROW(SendProgressReport(kGeneratorWindow, "src|NoExifData"));
}

TEST(StandInProcess, RunsUnderItsNameUntilDestroyed) {
  testing_support::TempDir folder;
  pid_t pid = -1;
  {
    testing_support::StandInProcess process(folder.path(), "standin-selftest");
    pid = process.pid();
    EXPECT_TRUE(IsProcessRunning("standin-selftest"));
  }
  EXPECT_FALSE(IsProcessRunning("standin-selftest"));
  EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(pid) + "/exe"));
}

}  // namespace vantrel
