#include <gtest/gtest.h>

#include <QLineEdit>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QWidget>
#include <string>
#include <vector>

#include "console/check_box.h"
#include "console/combo_box.h"
#include "console/text_area.h"
#include "console/timer.h"
#include "console_test_support.h"

namespace {

class ToolkitTest : public WindowTest {
 protected:
  void SetUp() override {
    parent.resize(400, 300);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  }
  QWidget parent;
};

TEST_F(ToolkitTest, CarriageReturnsAreLineBreaksAndReadBackAsTheyWereGiven) {
  struct Case {
    std::string given;
    std::string readBack;
    int lines;
  };
  const Case cases[] = {
      {"\rState 0 : Reserved for CID", "\rState 0 : Reserved for CID", 2},
      {"a\r\rb\r", "a\r\rb\r", 4},
      {"Remote Connection ID : 1234", "Remote Connection ID : 1234", 1},
      {"no\xC2\xA0"
       "break",
       "no\xC2\xA0"
       "break",
       1},                  // a no-break space stays one
      {"a\nb", "a\rb", 2},  // any line break reads back as CR
      {"", "", 1},
  };
  TextArea area(&parent);
  for (const Case& c : cases) {
    area.SetText(c.given);
    EXPECT_EQ(area.Text(), c.readBack) << c.given;
    EXPECT_EQ(area.blockCount(), c.lines) << c.given;
    EXPECT_EQ(area.Length(), static_cast<int>(QString::fromStdString(c.readBack).size()))
        << c.given;
  }
}

TEST_F(ToolkitTest, AppendTextAddsAtTheEndWithoutRebuildingTheText) {
  TextArea area(&parent);
  area.SetText("\rfirst");
  area.document()->firstBlock().setUserState(42);  // gone if the text were set anew
  area.AppendText("\rsecond");
  area.AppendText("\rthird");
  EXPECT_EQ(area.Text(), "\rfirst\rsecond\rthird");
  EXPECT_EQ(area.document()->findBlockByNumber(0).userState(), 42);
  EXPECT_EQ(area.blockCount(), 4);
}

TEST_F(ToolkitTest, TextChangeFollowsEveryChange) {
  TextArea area(&parent);
  std::vector<std::string> seen;
  area.TextChange.addHandler([&seen](TextArea& sender) { seen.push_back(sender.Text()); });
  area.SetText("ab");
  area.AppendText("\rc");
  area.SetSelStart(area.Length());
  QTest::keyClicks(&area, "xy");
  EXPECT_EQ(seen, (std::vector<std::string>{"ab", "ab\rc", "ab\rcx", "ab\rcxy"}));
}

TEST_F(ToolkitTest, ChooserRaisesChangeForARowAndForConfirmedText) {
  ComboBox chooser(&parent);
  chooser.setGeometry(10, 10, 123, 22);
  chooser.show();
  for (const char* row : {"ttyS0", "ttyS1", "ttyUSB0"}) chooser.AddRow(row);
  std::vector<std::pair<int, std::string>> changes;
  chooser.Change.addHandler(
      [&changes](ComboBox& sender) { changes.emplace_back(sender.ListIndex(), sender.Text()); });

  EXPECT_EQ(chooser.ListIndex(), -1);       // no row is chosen for the operator
  QTest::keyClick(&chooser, Qt::Key_Down);  // the first row, then the next
  QTest::keyClick(&chooser, Qt::Key_Down);
  chooser.clearEditText();
  QTest::keyClicks(&chooser, "/dev/pts/7");
  EXPECT_EQ(chooser.ListIndex(), -1);  // typed, not yet confirmed
  QTest::keyClick(&chooser, Qt::Key_Return);
  chooser.clearEditText();
  QTest::keyClicks(&chooser, "ttyUSB0");  // the very text of a row chooses that row
  QTest::keyClick(&chooser, Qt::Key_Enter);

  const std::vector<std::pair<int, std::string>> expected = {
      {0, "ttyS0"}, {1, "ttyS1"}, {-1, "/dev/pts/7"}, {2, "ttyUSB0"}};
  EXPECT_EQ(changes, expected);
}

TEST_F(ToolkitTest, CheckBoxActsOnEveryClickWithItsNewState) {
  CheckBox box(&parent);
  box.setGeometry(145, 11, 27, 20);
  box.show();
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

TEST_F(ToolkitTest, TimerModesOffOnceAndRepeating) {
  Timer off(nullptr), once(nullptr), repeating(nullptr);
  int offTicks = 0, onceTicks = 0, repeatingTicks = 0;
  off.Action.addHandler([&offTicks](Timer&) { ++offTicks; });
  once.Action.addHandler([&onceTicks](Timer&) { ++onceTicks; });
  repeating.Action.addHandler([&repeatingTicks](Timer&) { ++repeatingTicks; });
  for (Timer* timer : {&off, &once, &repeating}) timer->SetPeriod(20);
  off.SetMode(0);
  once.SetMode(1);
  repeating.SetMode(2);

  // Five periods of the repeating timer are the measure of time here.
  ASSERT_TRUE(waitUntil([&] { return repeatingTicks >= 5; }));
  EXPECT_EQ(onceTicks, 1);
  EXPECT_EQ(once.Mode(), 0);
  EXPECT_EQ(offTicks, 0);
}

}  // namespace
