#include "frontend/control_events.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QWidget>
#include <stdexcept>

namespace {

using quorvel::ControlEvents;
using quorvel::ListBox;

class ControlEventsTest : public ::testing::Test {
 protected:
  ControlEventsTest() : events_([this](const std::string& error) { errors_.push_back(error); }) {
    window_.resize(300, 200);
  }
  void Count(int& counter) { ++counter; }

  QWidget window_;
  std::vector<std::string> errors_;
  ControlEvents events_;
};

TEST_F(ControlEventsTest, CheckBoxRunsOnEveryChangeOfStateAlsoFromCode) {
  auto* box = new QCheckBox("box", &window_);
  int runs = 0;
  events_.OnClick(box, [&] { ++runs; });
  box->setChecked(true);
  box->setChecked(true);  // no change
  box->setChecked(false);
  window_.show();
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
  EXPECT_EQ(runs, 3);
  EXPECT_TRUE(box->isChecked());
}

TEST_F(ControlEventsTest, RadioButtonRunsOnlyWhenItBecomesChecked) {
  auto* group = new QButtonGroup(&window_);
  auto* first = new QRadioButton("first", &window_);
  auto* second = new QRadioButton("second", &window_);
  group->addButton(first);
  group->addButton(second);
  first->setChecked(true);
  int first_runs = 0, second_runs = 0;
  events_.OnClick(first, [&] { ++first_runs; });
  events_.OnClick(second, [&] { ++second_runs; });

  second->setChecked(true);  // from code: runs; the first is unchecked without running
  EXPECT_EQ(second_runs, 1);
  EXPECT_EQ(first_runs, 0);
  QTest::mouseClick(second, Qt::LeftButton);  // already checked: nothing
  EXPECT_EQ(second_runs, 1);
  window_.show();
  QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(5, first->height() / 2));
  EXPECT_EQ(first_runs, 1);
  EXPECT_EQ(second_runs, 1);
}

TEST_F(ControlEventsTest, ListChangeRunsForTheUserOnlyAndOnlyOnARealChange) {
  auto* list = new ListBox(&window_);
  list->addItems({"a", "b", "c"});
  int changes = 0, close_ups = 0;
  events_.OnChange(list, [&] { ++changes; });
  events_.OnCloseUp(list, [&] { ++close_ups; });
  window_.show();

  list->setCurrentIndex(2);  // from code
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, 0);

  list->setFocus();
  QTest::keyClick(list, Qt::Key_Up);  // arrow key on the closed list: change only
  QCoreApplication::processEvents();
  EXPECT_EQ(list->currentIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(close_ups, 0);

  QTest::keyClick(list, Qt::Key_Up);
  QTest::keyClick(list, Qt::Key_Up);  // already at the top: no change
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, 2);

  list->setCurrentIndex(2);  // code moves it; the user then picks the shown entry again
  list->showPopup();
  emit list->activated(2);
  list->hidePopup();
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(close_ups, 1);  // closed without a change still counts

  list->showPopup();
  list->setCurrentIndex(0);
  emit list->activated(0);
  list->hidePopup();
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(close_ups, 2);
}

TEST_F(ControlEventsTest, HidingOrDisablingAClosedListIsNoCloseUp) {
  auto* list = new ListBox(&window_);
  list->addItems({"a", "b"});
  int close_ups = 0;
  events_.OnCloseUp(list, [&] { ++close_ups; });
  window_.show();
  list->setEnabled(false);
  list->setEnabled(true);
  list->hide();
  list->show();
  list->hidePopup();
  QCoreApplication::processEvents();
  EXPECT_EQ(close_ups, 0);
}

TEST_F(ControlEventsTest, CloseUpIsToldAfterTheChoiceIsMade) {
  auto* list = new ListBox(&window_);
  list->addItems({"a", "b"});
  int index_at_close_up = -2;
  events_.OnCloseUp(list, [&] { index_at_close_up = list->currentIndex(); });
  window_.show();
  list->showPopup();
  list->hidePopup();  // Qt closes the list first ...
  list->setCurrentIndex(1);
  emit list->activated(1);  // ... then makes the choice current
  QCoreApplication::processEvents();
  EXPECT_EQ(index_at_close_up, 1);
}

TEST_F(ControlEventsTest, ImageClickIsAReleaseOverIt) {
  auto* image = new QLabel(&window_);
  image->setGeometry(10, 10, 32, 32);
  auto* inner = new QLabel(image);
  inner->setGeometry(0, 0, 8, 8);
  int clicks = 0;
  events_.OnClick(static_cast<QWidget*>(image), [&] { ++clicks; });
  window_.show();
  QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(image, Qt::RightButton, {}, QPoint(20, 20));
  QTest::mouseClick(inner, Qt::LeftButton, {}, QPoint(2, 2));  // a child's own click
  QTest::mousePress(image, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(100, 100));  // dragged away
  EXPECT_EQ(clicks, 1);
  QTest::mouseDClick(window_.windowHandle(), Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(clicks, 2) << "a double-click clicks once";
}

TEST_F(ControlEventsTest, AnErrorInAHandlerIsReportedAndTheNextEventRunsAgain) {
  auto* box = new QCheckBox("box", &window_);
  int runs = 0;
  events_.OnClick(box, [&] {
    if (++runs == 1) throw std::runtime_error("first run fails");
  });
  box->setChecked(true);
  box->setChecked(false);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(errors_, std::vector<std::string>{"first run fails"});
}

TEST_F(ControlEventsTest, AnAlreadyReportedFailureEndsTheHandlerQuietly) {
  auto* box = new QCheckBox("box", &window_);
  events_.OnClick(box, [] { throw quorvel::AlreadyReported{}; });
  box->setChecked(true);
  EXPECT_TRUE(errors_.empty());
}

TEST(SelectIndex, AnIndexThatIsNoEntryLeavesNoSelection) {
  QComboBox list;
  list.addItems({"a", "b", "c"});
  for (auto [index, expected] : {std::pair{1, 1}, {7, -1}, {-1, -1}, {2, 2}, {3, -1}}) {
    quorvel::SelectIndex(&list, index);
    EXPECT_EQ(list.currentIndex(), expected) << index;
  }
}

}  // namespace
