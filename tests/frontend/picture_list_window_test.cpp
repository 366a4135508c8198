// The picture list of the main window: adding through the open dialog, the
// click into the list, emptying it, and both refused while a run is on.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "run_window_fixture.h"

namespace {

using quorvel_test::RunWindowTest;

struct AddCase {
  const char* name;
  std::string list;
  std::vector<std::vector<std::string>> picks;  // one per add, empty: cancelled
  std::string expected_list;
  std::string expected_count;
  std::size_t expected_messages = 0;
};

TEST_F(RunWindowTest, AddingPicturesMergesThemIntoTheList) {
  const std::vector<AddCase> cases = {
      {"cancelled on an empty list", "", {{}}, "", "Total file(s): 0"},
      {"picked again moves to the end",
       "A\r\nB\r\nC",
       {{"B", "D"}},
       "A\r\nC\r\nB\r\nD",
       "Total file(s): 4"},
      {"two adds in a row", "", {{"A", "B"}, {"C", "A"}}, "B\r\nC\r\nA", "Total file(s): 3"},
      {"a name with a line break is refused",
       "A",
       {{"B", "/p/x\ny.jpg"}},
       "A\r\nB",
       "Total file(s): 2",
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quorvel::TForm1& form = StartWindow();
    SetList(c.list);
    for (const auto& pick : c.picks) {
      dialogs_.open_answers.push_back(pick);
      form.img_open_pictureClick();
    }
    EXPECT_EQ(ListText(), c.expected_list);
    EXPECT_EQ(form.total_file->text().toStdString(), c.expected_count);
    EXPECT_TRUE(form.tmp_list->toPlainText().isEmpty());
    EXPECT_EQ(dialogs_.messages.size(), c.expected_messages);
    ASSERT_EQ(dialogs_.opens_offered.size(), c.picks.size());
    EXPECT_EQ(dialogs_.opens_offered[0].Title, "Add Pictures");
    EXPECT_EQ(dialogs_.opens_offered[0].Filter, "JPEG (*.JPG;*.JPEG;*.JPE)|*.JPG;*.JPEG;*.JPE");
    dialogs_.opens_offered.clear();
    dialogs_.messages.clear();
  }
}

TEST_F(RunWindowTest, ClickIntoTheListOpensTheDialogOnlyWhenTheListIsEmpty) {
  quorvel::TForm1& form = StartWindow();
  form.Memo1Click();
  EXPECT_EQ(dialogs_.opens_offered.size(), 1u);
  EXPECT_EQ(form.total_file->text().toStdString(), "Total file(s): 0");

  SetList("/p/a.jpg");
  form.Memo1Click();
  EXPECT_EQ(dialogs_.opens_offered.size(), 1u);
  EXPECT_EQ(ListText(), "/p/a.jpg");
}

struct ResetCase {
  const char* name;
  std::string list;
  std::deque<bool> answers;
  bool asked;
  std::string expected_list;
  std::string expected_queue;
  std::string expected_count;
};

TEST_F(RunWindowTest, ResetAsksAndEmptiesListQueueAndCount) {
  const std::vector<ResetCase> cases = {
      {"yes", "A\r\nB", {true}, true, "", "", ""},
      {"no", "A\r\nB", {false}, true, "A\r\nB", "A|NoExifData", "Total file(s): 2"},
      {"closed box counts as no", "A", {}, true, "A", "A|NoExifData", "Total file(s): 2"},
      {"empty list: no question", "", {true}, false, "", "A|NoExifData", "Total file(s): 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quorvel::TForm1& form = StartWindow();
    SetList(c.list);
    form.CopyData("A|NoExifData");
    form.total_file->setText("Total file(s): 2");
    dialogs_.questions.clear();
    dialogs_.confirm_answers = c.answers;
    form.img_resetClick();
    ASSERT_EQ(dialogs_.questions.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(dialogs_.questions[0].first, "Confirm");
      EXPECT_EQ(dialogs_.questions[0].second, "Remove all files from the list?");
    }
    EXPECT_EQ(ListText(), c.expected_list);
    EXPECT_EQ(QueueText(), c.expected_queue);
    EXPECT_EQ(form.total_file->text().toStdString(), c.expected_count);
  }
}

TEST_F(RunWindowTest, AddAndResetDoNothingDuringARun) {
  quorvel::TForm1& form = StartWindow();
  SetList("/p/a.jpg");
  form.Start_ImprintClick();
  ASSERT_TRUE(form.run_in_progress());
  const std::string count = form.total_file->text().toStdString();
  dialogs_.open_answers.push_back({"/p/b.jpg"});
  dialogs_.confirm_answers.push_back(true);

  form.img_open_pictureClick();
  form.Memo1Click();
  form.img_resetClick();

  EXPECT_TRUE(dialogs_.opens_offered.empty());
  EXPECT_TRUE(dialogs_.questions.empty());
  EXPECT_EQ(ListText(), "/p/a.jpg");
  EXPECT_EQ(form.total_file->text().toStdString(), count);
}

}  // namespace
