#include <gtest/gtest.h>

#include <string>

#include "console/framework.h"
#include "console/frm_debug.h"
#include "main_window_fixture.h"

namespace {

class DebugWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    window->Timer1().SetMode(0);  // ticks only when the test says
  }
  // One tick of Timer1, which copies ReceiveBuffer into the main window's hidden mirror.
  void mirror(const std::string& payload) {
    window->ReceiveBuffer = payload;
    window->Timer1().Action.raise(window->Timer1());
  }
  static frmDebug* openDebugWindow() {
    return dynamic_cast<frmDebug*>(Framework::_GetImplicitWindow("frmDebug.frmDebug"));
  }
};

TEST_F(DebugWindowTest, WindowAndControls) {
  window->ShowDebugWindow();
  frmDebug* debug = openDebugWindow();
  ASSERT_NE(debug, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(debug));
  EXPECT_EQ(debug->windowTitle(), "Derod Azerirez");
  EXPECT_EQ(debug->interior()->size(), QSize(372, 400));
  EXPECT_EQ(debug->menuBarView(), nullptr);
  EXPECT_FALSE(debug->interior()->autoFillBackground());  // the platform's own background

  EXPECT_EQ(debug->lblBlah().text(), "We hope your experience wasn't shit.");
  EXPECT_EQ(debug->lblBlah().geometry(), QRect(80, 11, 579, 20));
  EXPECT_FALSE(debug->lblBlah().wordWrap());
  EXPECT_EQ(debug->lblBlah().palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_EQ(debug->TextArea1().geometry(), QRect(0, 43, 372, 311));
  EXPECT_EQ(debug->TextArea1().palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_FALSE(debug->TextArea1().isReadOnly());
  EXPECT_EQ(debug->cmdOk().geometry(), QRect(0, 356, 372, 44));
  EXPECT_EQ(debug->cmdOk().text(), "OK");
  EXPECT_TRUE(debug->cmdOk().isDefault());
  EXPECT_EQ(debug->lblBlah().nextInFocusChain(), &debug->TextArea1());
}

// The copy is of the mirror as the last tick left it; a disconnect while the window is open
// only brings it back to the front; after OK the next one builds a fresh copy.
TEST_F(DebugWindowTest, OneWindowKeepsTheCopyOfItsFirstDisconnectUntilOk) {
  mirror("4000AA55");
  window->ReceiveBuffer = "00112233";  // arrived after the last tick
  window->ShowDebugWindow();
  frmDebug* first = openDebugWindow();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->TextArea1().Text(), "4000AA55");

  mirror("0102");
  for (const Qt::WindowStates state :
       {Qt::WindowMinimized | Qt::WindowMaximized, Qt::WindowStates(Qt::WindowMinimized)}) {
    first->setWindowState(state);
    window->ShowDebugWindow();
    EXPECT_EQ(openDebugWindow(), first);
    EXPECT_EQ(first->windowState(), state & ~Qt::WindowMinimized) << state.toInt();
    EXPECT_TRUE(first->isVisible());
  }
  EXPECT_EQ(first->TextArea1().Text(), "4000AA55");

  QTest::mouseClick(&first->cmdOk(), Qt::LeftButton);
  EXPECT_EQ(openDebugWindow(), nullptr);
  mirror("BEEF");
  window->ShowDebugWindow();
  frmDebug* second = openDebugWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->TextArea1().Text(), "BEEF");
  EXPECT_TRUE(second->isVisible());
}

}  // namespace
