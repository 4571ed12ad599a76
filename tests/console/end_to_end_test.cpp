// The real main window, offscreen, on a pseudo-terminal against the box simulator, which plays
// the modem and a calling box and checks every frame the window's engine writes.
#include <gtest/gtest.h>

#include <QImage>
#include <QSocketNotifier>
#include <string>
#include <string_view>
#include <vector>

#include "console/framework.h"
#include "console/frm_debug.h"
#include "main_window_fixture.h"
#include "tests/support/child_process.h"

namespace {

// The main window, noting what each disconnect saw and showed.
class ObservedMainWindow : public frmMain {
 public:
  struct Disconnect {
    std::string receiveBuffer, mirror;  // as the disconnect found it, and its hidden copy then
    Window* debugWindowBefore = nullptr;
    frmDebug* debugWindow = nullptr;
    std::string debugText;
  };
  std::vector<Disconnect> disconnects;

 protected:
  void ShowDebugWindow() override {
    Disconnect seen{ReceiveBuffer, TextArea1().Text(),
                    Framework::_GetImplicitWindow(frmDebug::kClassName), nullptr, ""};
    frmMain::ShowDebugWindow();
    seen.debugWindow = dynamic_cast<frmDebug*>(Framework::_GetImplicitWindow(frmDebug::kClassName));
    if (seen.debugWindow) seen.debugText = seen.debugWindow->TextArea1().Text();
    disconnects.push_back(seen);
  }
};

class EndToEndTest : public WindowTest {};

// Does what an operator does: types the simulator's device into the chooser, confirms it and
// ticks auto-answer; then two calls come in. A picture of the window in the middle of the first
// is left in the build folder, for people.
TEST_F(EndToEndTest, TwoCallsThroughTheWindow) {
  // Each call stays up past a tick of the main window's one-second mirror after its last frame,
  // so the mirror holds the call's payload by its hang-up.
  ChildProcess simulator({KORVANDEL_BOX_SIMULATOR, "--calls", "2", "--patch", KORVANDEL_PATCH_HEX,
                          "--hold-ms", "1100", "--timeout-ms", "40000"});
  std::string simulatorText;
  // The simulator's output is read as it comes, so that the window's events keep running.
  QSocketNotifier simulatorOutput(simulator.outputFd(), QSocketNotifier::Read);
  QObject::connect(&simulatorOutput, &QSocketNotifier::activated, [&] {
    simulator.readLines([&](std::string_view line) { (simulatorText += line) += "\n"; });
    if (simulator.exited()) simulatorOutput.setEnabled(false);
  });
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return simulatorText.find('\n') != std::string::npos; }, 10000));
  const std::string device = simulatorText.substr(0, simulatorText.find('\n'));
  ASSERT_TRUE(device.starts_with("/dev/")) << device;

  auto* window = new ObservedMainWindow();
  window->Constructor();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  ComboBox& chooser = window->popCom();
  chooser.clearEditText();
  QTest::keyClicks(&chooser, QString::fromStdString(device));
  QTest::keyClick(&chooser, Qt::Key_Return);
  ASSERT_TRUE(window->srlMain().IsOpen()) << window->txtLogger().Text();
  QTest::keyClick(&window->chkAutoAnswer(), Qt::Key_Space);
  ASSERT_EQ(window->chkAutoAnswer().State(), 1);

  ASSERT_TRUE(QTest::qWaitFor([&] { return window->SendingData; }, 30000))
      << window->txtLogger().Text();
  QCoreApplication::processEvents();  // the scroll bars follow their ranges a turn later
  EXPECT_TRUE(window->grab().toImage().save(KORVANDEL_SCREENSHOT)) << KORVANDEL_SCREENSHOT;

  ASSERT_TRUE(QTest::qWaitFor([&] { return simulator.exited(); }, 60000))
      << window->txtLogger().Text();
  // A signal shows as 128 + its number.
  EXPECT_EQ(simulator.exitCode(), 0) << simulatorText << "\nlog:" << window->txtLogger().Text();
  EXPECT_NE(simulatorText.find("2 calls checked out"), std::string::npos) << simulatorText;

  // The second call's log starts afresh with its connection id, whose handshake check is short.
  const std::string log = window->txtLogger().Text();
  EXPECT_TRUE(log.starts_with("Remote Connection ID : 0003")) << log;
  for (const std::string once :
       {"\rCRC Error in state 3. Performing Workaround", "\rState -1 : Disconnected"}) {
    EXPECT_TRUE(log.find(once) != std::string::npos && log.find(once) == log.rfind(once))
        << once << " not once in " << log;
  }

  // Each "NO CARRIER" showed the debug window; the first built it with a copy of the main
  // window's mirror, the second found it open and left its text alone, though the second call's
  // payload, with another user name, was in the mirror then.
  ASSERT_EQ(window->disconnects.size(), 2u);
  const auto& first = window->disconnects[0];
  const auto& second = window->disconnects[1];
  EXPECT_EQ(first.debugWindowBefore, nullptr);
  ASSERT_NE(first.debugWindow, nullptr);
  ASSERT_FALSE(first.debugText.empty());
  EXPECT_EQ(first.debugText, first.mirror);
  EXPECT_TRUE(first.receiveBuffer.starts_with(first.debugText));  // up to a second behind
  EXPECT_EQ(second.debugWindowBefore, first.debugWindow);
  EXPECT_EQ(second.debugWindow, first.debugWindow);
  EXPECT_NE(second.mirror, first.debugText);
  EXPECT_EQ(second.debugText, first.debugText);
  EXPECT_TRUE(first.debugWindow->isVisible());

  // The disconnect reset emptied the call's buffers; the next tick empties the mirror.
  EXPECT_TRUE(window->ReceiveBuffer.empty());
  EXPECT_EQ(window->state, Idle);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->TextArea1().Text().empty(); }, 3000));

  // The simulator's line is gone with it; the window closes with a fresh pseudo-terminal open.
  chooser.clearEditText();
  QTest::keyClicks(&chooser, "/dev/ptmx");
  QTest::keyClick(&chooser, Qt::Key_Return);
  ASSERT_TRUE(window->srlMain().IsOpen()) << window->txtLogger().Text();
  window->Close();
  EXPECT_FALSE(window->srlMain().IsOpen());
}

}  // namespace
