#include "generator/picture_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/temp_dir.h"

namespace vantrel {

namespace {

// Every line as the batch reads them: read first, then test for the end.
std::vector<std::string> LinesOf(const std::string& content) {
  testing_support::TempDir dir;
  const auto path = dir / "filelist";
  testing_support::WriteFile(path, content);
  PictureListReader reader(path.string());
  std::vector<std::string> lines;
  do {
    lines.push_back(reader.ReadLine());
  } while (!reader.AtEnd());
  return lines;
}

using Lines = std::vector<std::string>;

TEST(PictureListReader, SplitsLinesAsATextFile) {
  EXPECT_EQ(LinesOf(""), Lines{""});
  EXPECT_EQ(LinesOf("/a.jpg"), Lines{"/a.jpg"});
  EXPECT_EQ(LinesOf("/a.jpg\r\n"), Lines{"/a.jpg"});
  EXPECT_EQ(LinesOf("/a.jpg\r\n\r\n   \r\n/b.jpg"), (Lines{"/a.jpg", "", "   ", "/b.jpg"}));
  EXPECT_EQ(LinesOf("/a.jpg\n/b.jpg\r\n/c.jpg"), (Lines{"/a.jpg", "/b.jpg", "/c.jpg"}));
  EXPECT_EQ(LinesOf("  /a b.jpg \r\n"), Lines{"  /a b.jpg "});
  EXPECT_EQ(LinesOf("/a\r.jpg\r"), Lines{"/a\r.jpg\r"});
  EXPECT_EQ(LinesOf("\r\n"), Lines{""});
  EXPECT_EQ(LinesOf("\n\n"), (Lines{"", ""}));
}

TEST(PictureListReader, LinesLongerThanItsBuffer) {
  const std::string long_line(200000, 'p');
  // The CR of the line end falls on the edge between two reads.
  const std::string edge_line(64 * 1024 - 1, 'e');
  EXPECT_EQ(LinesOf(long_line + "\r\n" + edge_line + "\r\nlast\r\n"),
            (Lines{long_line, edge_line, "last"}));
}

TEST(PictureListReader, MissingListIsFileNotFound) {
  testing_support::TempDir dir;
  try {
    PictureListReader reader((dir / "filelist").string());
    FAIL() << "no error";
  } catch (const platform::InOutError& e) {
    EXPECT_EQ(e.code(), platform::InOutError::kFileNotFound);
    EXPECT_EQ(std::string(e.what()), "File not found");
  }
  EXPECT_THROW(PictureListReader reader(dir.path().string()), platform::InOutError);
}

}  // namespace

}  // namespace vantrel
