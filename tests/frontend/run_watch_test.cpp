#include "frontend/run_watch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/fake_frontend.h"
#include "support/temp_dir.h"

namespace {

using quorvel::ProgramExit;
using quorvel::RunTick;
using quorvel::RunVerdict;
using Kind = RunVerdict::Kind;

const RunVerdict kGoOn{};
const RunVerdict kDone{Kind::kEndOk, {}};

RunVerdict Failed(const std::string& message) {
  return {Kind::kEndFailed, message};
}

// Ticks with pictures left unless said otherwise; the first picture is /p/a.jpg.
RunTick Running() {
  return {true, std::nullopt, 2, "/p/a.jpg"};
}
RunTick Gone(std::optional<ProgramExit> exit = std::nullopt) {
  return {false, exit, 2, "/p/a.jpg"};
}
// Gone, with a pass that still settled a report queued before the end.
RunTick GoneSettling(std::optional<ProgramExit> exit = std::nullopt) {
  RunTick tick = Gone(exit);
  tick.settled = 1;
  return tick;
}
RunTick AllSettled(bool running) {
  return {running, std::nullopt, 0, ""};
}

const ProgramExit kStatus1{ProgramExit::How::kStatus, 1};
const ProgramExit kSignal9{ProgramExit::How::kSignal, 9};

TEST(RunWatch, DecisionTable) {
  struct Case {
    const char* name;
    bool started;
    std::string generator_message;
    std::vector<RunTick> ticks;
    std::vector<RunVerdict> verdicts;
  };
  const std::vector<Case> cases = {
      {"list empties while it works", true, "", {Running(), AllSettled(true)}, {kGoOn, kDone}},
      {"list empties after it ended",
       true,
       "",
       {Gone(kStatus1), AllSettled(false)},
       {kGoOn, kDone}},
      {"the last pass settles everything", false, "", {Gone(), AllSettled(false)}, {kGoOn, kDone}},
      {"ours not reaped yet, none in the list",
       true,
       "",
       {Gone(), Gone(), Gone()},
       {kGoOn, kGoOn, kGoOn}},
      {"ours reaped, its message",
       true,
       "File not found",
       {Gone(kStatus1), Gone(kStatus1)},
       {kGoOn, Failed("Stopped before a.jpg: File not found — 2 pictures left")}},
      {"its message names the picture it stopped on, already off the list",
       true,
       "vantrel: /p/gone.jpg: File not found",
       {Gone(kStatus1), Gone(kStatus1)},
       {kGoOn, Failed("Stopped at gone.jpg: File not found — 2 pictures left")}},
      {"ours reaped, no message",
       true,
       "",
       {Gone(kStatus1), Gone(kStatus1)},
       {kGoOn,
        Failed("Stopped before a.jpg: the generator ended with status 1 — 2 pictures left")}},
      {"ours killed",
       true,
       "",
       {Running(), Gone(kSignal9), Gone(kSignal9)},
       {kGoOn, kGoOn,
        Failed("Stopped before a.jpg: the generator was stopped by signal 9 — 2 pictures left")}},
      {"relied on one that went",
       false,
       "stale words of an older generator",
       {Running(), Gone(), Gone()},
       {kGoOn, kGoOn,
        Failed("Stopped before a.jpg: the generator is not running — 2 pictures left")}},
      {"another generator still runs after ours ended",
       true,
       "",
       {
           RunTick{true, kStatus1, 2, "/p/a.jpg"},
           RunTick{true, kStatus1, 2, "/p/a.jpg"},
           RunTick{true, kStatus1, 2, "/p/a.jpg"},
       },
       {kGoOn, kGoOn, kGoOn}},
      {"a generator that comes back resets the last pass",
       false,
       "",
       {Gone(), Running(), Gone(), Gone()},
       {kGoOn, kGoOn, kGoOn,
        Failed("Stopped before a.jpg: the generator is not running — 2 pictures left")}},
      {"reports queued at the end settle over several passes",
       true,
       "",
       {Gone(kStatus1), GoneSettling(kStatus1), GoneSettling(kStatus1), GoneSettling(kStatus1),
        AllSettled(false)},
       {kGoOn, kGoOn, kGoOn, kGoOn, kDone}},
      {"a pass that settles nothing after the end ends the run",
       true,
       "",
       {Gone(kStatus1), GoneSettling(kStatus1), Gone(kStatus1)},
       {kGoOn, kGoOn,
        Failed("Stopped before a.jpg: the generator ended with status 1 — 2 pictures left")}},
      {"an ended run keeps its verdict",
       false,
       "",
       {AllSettled(true), Gone(), Gone()},
       {kDone, kDone, kDone}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quorvel::RunWatch watch(c.started, [&] { return c.generator_message; },
                            {"/p/gone.jpg", "/p/a.jpg", "/p/b.jpg"});
    ASSERT_EQ(c.ticks.size(), c.verdicts.size());
    for (std::size_t i = 0; i < c.ticks.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(watch.Decide(c.ticks[i]), c.verdicts[i]);
    }
  }
}

TEST(RunWatch, SlowGeneratorNeverEndsTheRun) {
  for (const bool started : {true, false}) {
    quorvel::RunWatch watch(started, [] { return std::string("old failure"); });
    for (int tick = 0; tick < 100000; ++tick) {
      ASSERT_EQ(watch.Decide(Running()), kGoOn);
    }
  }
}

TEST(RunWatch, GeneratorMessageIsItsLastNonBlankLine) {
  struct Case {
    std::string text;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"", ""},
      {"\r\n \n", ""},
      {"File not found", "File not found"},
      {"first\nlast  \n\n \r\n", "last"},
      {"one\r\ntwo", "two"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(quorvel::LastNonBlankLine(c.text), c.message);
  }
}

TEST(RunWatch, GeneratorMessageFromItsFile) {
  const testing_support::ScopedRuntimeDir runtime;

  EXPECT_EQ(quorvel::LastGeneratorMessage(), "");  // no file yet
  const std::string file = quorvel::GeneratorErrorFile().string();
  // Only the end of a huge file is read, and its last line is whole.
  testing_support::WriteFile(file, std::string(1 << 20, 'x') + "\nCannot write /o/a.jpg\n");
  EXPECT_EQ(quorvel::LastGeneratorMessage(), "Cannot write /o/a.jpg");
}

}  // namespace
