#include <gtest/gtest.h>

#include "console/framework.h"
#include "console/frm_debug.h"
#include "main_window_fixture.h"

namespace {

using DebugWindowTest = MainWindowTest;

frmDebug* openDebugWindow() {
  return dynamic_cast<frmDebug*>(Framework::_GetImplicitWindow("frmDebug.frmDebug"));
}

// The copy is of the mirror as the last tick left it; a disconnect while the window is open
// only brings it back to the front; after OK the next one builds a fresh copy.
TEST_F(DebugWindowTest, SettingsControlsAndOneWindowKeepingItsFirstCopyUntilOk) {
  window->Timer1().SetMode(0);  // the mirror, TextArea1, changes only when the test says
  window->TextArea1().SetText("4000AA55");
  window->ReceiveBuffer = "00112233";  // arrived after the last tick
  window->ShowDebugWindow();
  frmDebug* debug = openDebugWindow();
  ASSERT_NE(debug, nullptr);
  EXPECT_EQ(debug->TextArea1().Text(), "4000AA55");
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

  window->TextArea1().SetText("0102");
  for (const Qt::WindowStates state :
       {Qt::WindowMinimized | Qt::WindowMaximized, Qt::WindowStates(Qt::WindowMinimized)}) {
    debug->setWindowState(state);
    window->ShowDebugWindow();
    EXPECT_EQ(openDebugWindow(), debug);
    EXPECT_EQ(debug->windowState(), state & ~Qt::WindowMinimized) << state.toInt();
  }
  EXPECT_EQ(debug->TextArea1().Text(), "4000AA55");

  QTest::mouseClick(&debug->cmdOk(), Qt::LeftButton);
  EXPECT_EQ(openDebugWindow(), nullptr);
  window->TextArea1().SetText("BEEF");
  window->ShowDebugWindow();
  ASSERT_NE(openDebugWindow(), nullptr);
  EXPECT_EQ(openDebugWindow()->TextArea1().Text(), "BEEF");
}

}  // namespace
