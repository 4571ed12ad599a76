#include <gtest/gtest.h>

#include <QStyleOptionButton>
#include <string>
#include <vector>

#include "console/check_box.h"
#include "console/combo_box.h"
#include "console/timer.h"
#include "console_test_support.h"

namespace {

// Rows picked from the list are the main window's test.
TEST(ToolkitTest, ChooserRaisesChangeForConfirmedText) {
  ComboBox chooser(nullptr);
  for (const char* row : {"ttyS0", "ttyS1", "ttyUSB0"}) chooser.AddRow(row);
  std::vector<std::pair<int, std::string>> changes;
  chooser.Change.addHandler(
      [&changes](ComboBox& sender) { changes.emplace_back(sender.ListIndex(), sender.Text()); });
  QTest::keyClicks(&chooser, "/dev/pts/7");
  EXPECT_EQ(chooser.ListIndex(), -1);  // typed, not yet confirmed
  EXPECT_TRUE(changes.empty());
  QTest::keyClick(&chooser, Qt::Key_Return);
  chooser.clearEditText();
  QTest::keyClicks(&chooser, "ttyS0");  // the very text of a row chooses that row
  QTest::keyClick(&chooser, Qt::Key_Enter);
  EXPECT_EQ(changes, (std::vector<std::pair<int, std::string>>{{-1, "/dev/pts/7"}, {0, "ttyS0"}}));
}

TEST(ToolkitTest, CheckBoxActsOnEveryClickWithItsNewState) {
  CheckBox box(nullptr);
  std::vector<int> states;
  box.Action.addHandler([&states](CheckBox& sender) { states.push_back(sender.State()); });
  QStyleOptionButton option;
  option.initFrom(&box);
  const QPoint indicator =
      box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box).center();
  QTest::mouseClick(&box, Qt::LeftButton, {}, indicator);
  QTest::mouseClick(&box, Qt::LeftButton, {}, indicator);
  EXPECT_EQ(states, (std::vector<int>{1, 0}));
}

TEST(ToolkitTest, TimerModesOffOnceAndRepeating) {
  Timer timers[3] = {Timer(nullptr), Timer(nullptr), Timer(nullptr)};
  int ticks[3] = {};
  for (int mode = 0; mode < 3; ++mode) {
    timers[mode].Action.addHandler([&ticks, mode](Timer&) { ++ticks[mode]; });
    timers[mode].SetPeriod(20);
    timers[mode].SetMode(mode);
  }
  // Five periods of the repeating timer are the measure of time here.
  ASSERT_TRUE(waitUntil([&] { return ticks[2] >= 5; }));
  EXPECT_EQ(ticks[1], 1);
  EXPECT_EQ(timers[1].Mode(), 0);
  EXPECT_EQ(ticks[0], 0);
}

}  // namespace
