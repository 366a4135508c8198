#include "frontend/picture_list_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/memo_text.h"

namespace {

using quorvel::MergePickedPictures;
using Lines = std::vector<std::string>;

TEST(MemoText, LinesAsTheTextBoxCountsThem) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"/a.jpg", {"/a.jpg"}},
      {"/a.jpg\r\n", {"/a.jpg"}},
      {"/a\r\n/b\n/c\r/d", {"/a", "/b", "/c", "/d"}},
      {"/a\r\n\r\n/b", {"/a", "", "/b"}},
      {"\r\n", {""}},
      {"\n\r", {"", ""}},
      {" /a \r\n /b ", {" /a ", " /b "}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(quorvel::SplitLines(c.text), c.lines);
    EXPECT_EQ(quorvel::CountLines(c.text), c.lines.size());
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(quorvel::LineAt(c.text, i), c.lines[i]);
    }
    EXPECT_EQ(quorvel::LineAt(c.text, c.lines.size()), "");
  }
}

TEST(PictureListMerge, PickedPathsMoveToTheEnd) {
  struct Case {
    const char* name;
    std::string list;
    Lines picked;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"empty list", "", {"/p/a.jpg"}, "/p/a.jpg"},
      {"blank list", "  \r\n\r\n ", {"/p/a.jpg", "/p/b.jpg"}, "/p/a.jpg\r\n/p/b.jpg"},
      {"one moved, one new", "A\r\nB\r\nC", {"B", "D"}, "A\r\nC\r\nB\r\nD"},
      {"a run in the middle", "A\r\nB\r\nC\r\nD\r\nE", {"B", "C", "D"}, "A\r\nE\r\nB\r\nC\r\nD"},
      {"all picked again", "A\r\nB\r\nC", {"C", "A"}, "B\r\nC\r\nA"},
      {"every path picked again", "A\r\nB", {"A", "B"}, "A\r\nB"},
      {"case matters", "/p/A.JPG", {"/p/a.jpg"}, "/p/A.JPG\r\n/p/a.jpg"},
      {"whole lines only", "/p/a.jpeg", {"/p/a.jpe"}, "/p/a.jpeg\r\n/p/a.jpe"},
      {"ends of the list trimmed", "\r\n A\r\nB \r\n", {"C"}, "A\r\nB\r\nC"},
      {"blank lines dropped", "A\r\n\r\n  \r\nB", {"C"}, "A\r\nB\r\nC"},
      {"picked trimmed for the comparison", "A\r\nB", {" A "}, "B\r\nA"},
      {"cancelled: nothing changes", " A\r\nB\r\n", {}, " A\r\nB\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto merge = MergePickedPictures(c.list, c.picked);
    EXPECT_EQ(merge.list_text, c.expected);
    EXPECT_TRUE(merge.refused.empty());
  }
}

TEST(PictureListMerge, PathsWithLineBreaksAreRefused) {
  const auto merge = MergePickedPictures("A", {"/p/x\ny.jpg", "B", "/p/z\r.jpg"});
  EXPECT_EQ(merge.list_text, "A\r\nB");
  EXPECT_EQ(merge.refused, (Lines{"/p/x\ny.jpg", "/p/z\r.jpg"}));
  // Nothing left to add: the list stays as it was.
  EXPECT_EQ(MergePickedPictures("A\r\n", {"/p/x\ny.jpg"}).list_text, "A\r\n");
}

TEST(PictureListMerge, CountAndEmptiness) {
  struct Case {
    std::string list;
    std::string caption;
    bool empty;
  };
  const std::vector<Case> cases = {
      {"", "Total file(s): 0", true},
      {" \t\r\n \r\n", "Total file(s): 2", true},
      {"A", "Total file(s): 1", false},
      {"A\r\nC\r\nB\r\nD", "Total file(s): 4", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    EXPECT_EQ(quorvel::TotalFilesCaption(c.list), c.caption);
    EXPECT_EQ(quorvel::IsEmptyPictureList(c.list), c.empty);
  }
}

}  // namespace
