#include "frontend/report_queue.h"

#include <gtest/gtest.h>

#include <climits>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "frontend/memo_text.h"
#include "frontend/row_ranks.h"
#include "support/temp_dir.h"

namespace {

using quorvel::kCannotProcessColour;
using quorvel::kStatusColour;
using quorvel::StatusLine;
using Statuses = std::vector<StatusLine>;

// A queue and a list, and the output files that exist, driven pass by pass.
struct QueueRun {
  std::string queue;
  std::string list;
  std::set<std::string> files;

  Statuses Pass() {
    quorvel::ReportQueue reports;
    reports.Append(queue);
    const Statuses statuses =
        reports.Settle(list, [this](const std::string& path) { return files.count(path) > 0; });
    queue = reports.Text();
    return statuses;
  }
};

TEST(ReportQueue, AppendKeepsArrivalOrder) {
  quorvel::ReportQueue reports;
  reports.Append("/a|/o/a");
  reports.Append("/b|/o/b");
  EXPECT_EQ(reports.Text(), "/a|/o/a\r\n/b|/o/b");
}

TEST(ReportQueue, OnePassSettles) {
  const std::string long_output = "/out/" + std::string(200, 'x') + ".jpg";
  // A report of /p/a.jpg is at most this long: the picture, "|" and a path.
  const std::string longest_output = "/" + std::string(PATH_MAX - 1, 'o');
  const std::string too_long_output = longest_output + "o";
  struct Case {
    const char* name;
    QueueRun run;
    std::string queue_after;
    std::string list_after;
    Statuses statuses;
  };
  const std::vector<Case> cases = {
      {"nothing written yet",
       {"/p/a.jpg|/o/a.jpg", "/p/a.jpg", {}},
       "/p/a.jpg|/o/a.jpg",
       "/p/a.jpg",
       {}},
      {"no date to write",
       {"/p/a.jpg|NoExifData", "/p/a.jpg\r\n/p/b.jpg", {}},
       "",
       "/p/b.jpg",
       {{kCannotProcessColour, "Cannot Process... /p/a.jpg"}}},
      {"output exists",
       {"/p/a.jpg|/o/a.jpg", "/p/a.jpg", {"/o/a.jpg"}},
       "",
       "",
       {{kStatusColour, "Processing... /p/a.jpg"}}},
      {"long output path",
       {"/p/a.jpg|" + long_output, "/p/a.jpg", {long_output}},
       "",
       "",
       {{kStatusColour, "Processing... /p/a.jpg"}}},
      {"only the whole line of the list goes",
       {"/p/a.jpe|/o/a.jpe", "/p/a.jpeg\r\n/p/a.jpe\r\n/p/a.jpe.jpg", {"/o/a.jpe"}},
       "",
       "/p/a.jpeg\r\n/p/a.jpe.jpg",
       {{kStatusColour, "Processing... /p/a.jpe"}}},
      {"bars in the output path stay",
       {"/p/a.jpg|/o/|a|.jpg", "/p/a.jpg", {"/o/|a|.jpg"}},
       "",
       "",
       {{kStatusColour, "Processing... /p/a.jpg"}}},
      {"the longest listed picture is the source",
       {"/p/a|b|NoExifData", "/p/a\r\n/p/a|b", {}},
       "",
       "/p/a",
       {{kCannotProcessColour, "Cannot Process... /p/a|b"}}},
      {"NoExifData only exactly",
       {"/p/a.jpg|NoExifData ", "/p/a.jpg", {}},
       "",
       "",
       {{kCannotProcessColour, "Cannot Process... /p/a.jpg"}}},
      {"NoExifData case matters",
       {"/p/a.jpg|noexifdata", "/p/a.jpg", {}},
       "/p/a.jpg|noexifdata",
       "/p/a.jpg",
       {}},
      {"a line without a bar is dropped, nothing settled",
       {"/p/a.jpg", "/p/a.jpg", {"/p/a.jpg"}},
       "",
       "/p/a.jpg",
       {}},
      {"equal reports all go",
       {"/p/a.jpg|NoExifData\r\n/p/b.jpg|/o/b\r\n/p/a.jpg|NoExifData", "/p/a.jpg\r\n/p/b.jpg", {}},
       "/p/b.jpg|/o/b",
       "/p/b.jpg",
       {{kCannotProcessColour, "Cannot Process... /p/a.jpg"}}},
      {"every equal list line goes",
       {"/p/a.jpg|NoExifData", "/p/a.jpg\r\n/p/b.jpg\r\n/p/a.jpg", {}},
       "",
       "/p/b.jpg",
       {{kCannotProcessColour, "Cannot Process... /p/a.jpg"}}},
      {"blank queue lines are skipped",
       {"\r\n  \r\n/p/a.jpg|NoExifData", "/p/a.jpg", {}},
       "",
       "",
       {{kCannotProcessColour, "Cannot Process... /p/a.jpg"}}},
      {"a report as long as a path allows is read",
       {"/p/a.jpg|" + longest_output, "/p/a.jpg", {longest_output}},
       "",
       "",
       {{kStatusColour, "Processing... /p/a.jpg"}}},
      {"a longer report is dropped unread",
       {"/p/a.jpg|" + too_long_output, "/p/a.jpg", {too_long_output}},
       "",
       "/p/a.jpg",
       {}},
      {"a settled picture is no source for the reports after it",
       {"/p/a|b|NoExifData\r\n/p/x|/o/x\r\n/p/a|b|/o/c", "/p/a\r\n/p/a|b\r\n/p/a|b", {"b|/o/c"}},
       "/p/x|/o/x",
       "",
       {{kCannotProcessColour, "Cannot Process... /p/a|b"}, {kStatusColour, "Processing... /p/a"}}},
      {"blanks inside a listed picture and before its bar",
       {"/p/a b|c  |NoExifData", "/p/a\r\n/p/a b|c", {}},
       "",
       "/p/a",
       {{kCannotProcessColour, "Cannot Process... /p/a b|c  "}}},
      {"blanks around a path in mid list",
       {" /p/b.jpg |NoExifData", "/p/a.jpg\r\n /p/b.jpg \r\n/p/c.jpg", {}},
       "",
       "/p/a.jpg\r\n/p/c.jpg",
       {{kCannotProcessColour, "Cannot Process... /p/b.jpg "}}},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.run.Pass(), c.statuses);
    EXPECT_EQ(c.run.queue, c.queue_after);
    EXPECT_EQ(c.run.list, c.list_after);
  }
}

TEST(ReportQueue, LineBehindASettledOneWaitsForTheNextPass) {
  QueueRun run{"/p/a.jpg|/o/a\r\n/p/b.jpg|/o/b\r\n/p/c.jpg|/o/c",
               "/p/a.jpg\r\n/p/b.jpg\r\n/p/c.jpg",
               {"/o/a", "/o/b"}};
  // a goes; b moves up to the visited position and is skipped; c is not ready.
  EXPECT_EQ(run.Pass(), (Statuses{{kStatusColour, "Processing... /p/a.jpg"}}));
  EXPECT_EQ(run.list, "/p/b.jpg\r\n/p/c.jpg");
  EXPECT_EQ(run.Pass(), (Statuses{{kStatusColour, "Processing... /p/b.jpg"}}));
  EXPECT_EQ(run.queue, "/p/c.jpg|/o/c");
  EXPECT_EQ(run.Pass(), Statuses{});
  run.files.insert("/o/c");
  EXPECT_EQ(run.Pass(), (Statuses{{kStatusColour, "Processing... /p/c.jpg"}}));
  EXPECT_EQ(run.queue, "");
  EXPECT_EQ(run.list, "");
}

TEST(ReportQueue, SettledReportsApartGoInOnePassInOrder) {
  QueueRun run{"/p/a.jpg|/o/a\r\n/p/b.jpg|/o/b\r\n/p/c.jpg|NoExifData",
               "/p/a.jpg\r\n/p/b.jpg\r\n/p/c.jpg",
               {"/o/a"}};
  // a goes, b moves up into position 0 past the pass, c moves to position 1.
  EXPECT_EQ(run.Pass(), (Statuses{{kStatusColour, "Processing... /p/a.jpg"},
                                  {kCannotProcessColour, "Cannot Process... /p/c.jpg"}}));
  EXPECT_EQ(run.queue, "/p/b.jpg|/o/b");
  EXPECT_EQ(run.list, "/p/b.jpg");
}

// The list's rows as a settled picture takes some of them off anywhere.
TEST(ReportQueue, RowsTakenAnywhereKeepTheirPlaces) {
  constexpr std::size_t kRows = 37;
  quorvel::RowRanks ranks(kRows);
  std::vector<std::size_t> left(kRows);
  std::iota(left.begin(), left.end(), 0);
  for (const std::size_t row : {0, 36, 17, 18, 5, 1, 35, 16}) {
    ranks.Take(row);
    std::erase(left, row);
    for (std::size_t place = 0; place < left.size(); ++place) {
      EXPECT_EQ(ranks.RowAt(place), left[place]);
      EXPECT_EQ(ranks.PlaceOf(left[place]), place);
    }
    EXPECT_EQ(ranks.RowAt(left.size()), std::nullopt);
  }
}

TEST(ReportQueue, KeptWithinItsLimitOldestDroppedFirst) {
  const auto limit = quorvel::kReportsKeptOutsideARun;
  quorvel::ReportQueue reports;
  for (std::size_t i = 0; i <= limit.lines; ++i) reports.Append("/p/" + std::to_string(i) + "|x");
  reports.DropOldestBeyond(limit);
  EXPECT_EQ(quorvel::CountLines(reports.Text()), limit.lines);
  EXPECT_TRUE(reports.Text().starts_with("/p/1|x\r\n"));

  const std::string long_report = "/p/a|" + std::string(64 * 1024, '|');
  for (int i = 0; i < 20; ++i) reports.Append(long_report);
  reports.Append("/p/newest|x");
  reports.DropOldestBeyond(limit);
  EXPECT_LE(reports.Text().size(), limit.bytes);
  EXPECT_TRUE(reports.Text().ends_with("\r\n/p/newest|x"));
}

TEST(ReportQueue, OutputFileOnDisk) {
  testing_support::TempDir dir;
  const std::string empty_file = dir / "a_DateTime_0001.jpg";
  testing_support::WriteFile(empty_file, "");
  std::filesystem::create_directory(dir / "folder.jpg");

  EXPECT_TRUE(quorvel::OutputFileExists(empty_file));
  EXPECT_FALSE(quorvel::OutputFileExists(dir / "folder.jpg"));
  EXPECT_FALSE(quorvel::OutputFileExists(dir / "missing.jpg"));
  EXPECT_FALSE(quorvel::OutputFileExists(""));

  // An empty output file made ahead of the picture settles at once.
  quorvel::ReportQueue reports;
  reports.Append("/p/a.jpg|" + empty_file + "\r\n/p/b.jpg|" + (dir / "folder.jpg").string());
  std::string list = "/p/a.jpg\r\n/p/b.jpg";
  EXPECT_EQ(reports.Settle(list).size(), 1u);
  EXPECT_EQ(list, "/p/b.jpg");
}

}  // namespace
