// The real main window, offscreen, on a pseudo-terminal against the box simulator, which plays
// the modem and a calling box and checks every frame the window's engine writes.
#include <gtest/gtest.h>

#include <QImage>
#include <QSocketNotifier>
#include <QStyleOptionButton>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/framework.h"
#include "console/frm_debug.h"
#include "console/frm_main.h"
#include "console_test_support.h"
#include "tests/support/child_process.h"

#ifdef KORVANDEL_BOX_SIMULATOR

namespace {

// The main window, noting what each disconnect saw and showed.
class ObservedMainWindow : public frmMain {
 public:
  struct Disconnect {
    std::string receiveBuffer;  // as the disconnect found it
    std::string mirror;         // the hidden copy of it at that moment
    bool debugWindowWasOpen = false;
    frmDebug* debugWindow = nullptr;
    std::string debugText;
  };
  std::vector<Disconnect> disconnects;

 protected:
  void ShowDebugWindow() override {
    Disconnect seen;
    seen.receiveBuffer = ReceiveBuffer;
    seen.mirror = TextArea1().Text();
    seen.debugWindowWasOpen = Framework::_GetImplicitWindow(frmDebug::kClassName) != nullptr;
    frmMain::ShowDebugWindow();
    seen.debugWindow = dynamic_cast<frmDebug*>(Framework::_GetImplicitWindow(frmDebug::kClassName));
    if (seen.debugWindow) seen.debugText = seen.debugWindow->TextArea1().Text();
    disconnects.push_back(seen);
  }
};

class EndToEndTest : public WindowTest {
 protected:
  void TearDown() override {
    simulatorOutput.reset();
    simulator.reset();
    WindowTest::TearDown();
  }

  // The simulator's output is read as it comes, so that the window's events keep running.
  void startSimulator(const std::vector<std::string>& args) {
    simulator.emplace(args);
    simulatorOutput =
        std::make_unique<QSocketNotifier>(simulator->outputFd(), QSocketNotifier::Read);
    QObject::connect(simulatorOutput.get(), &QSocketNotifier::activated, [this] {
      simulator->readLines([this](std::string_view line) { simulatorLines.emplace_back(line); });
      if (simulator->exited()) simulatorOutput->setEnabled(false);
    });
  }

  std::string simulatorText() const {
    std::string text;
    for (const std::string& line : simulatorLines) text += line + "\n";
    return text;
  }

  // Starts the simulator and the window, and does what an operator does: types the simulator's
  // device into the chooser, confirms it, and ticks auto-answer.
  void answerCalls(int calls) {
    ASSERT_NO_THROW(startSimulator({KORVANDEL_BOX_SIMULATOR, "--calls", std::to_string(calls),
                                    "--patch", KORVANDEL_PATCH_HEX, "--timeout-ms", "40000"}));
    ASSERT_TRUE(waitUntil([&] { return !simulatorLines.empty(); }, 10000));
    const QString device = QString::fromStdString(simulatorLines.front()).trimmed();
    ASSERT_TRUE(device.startsWith("/dev/")) << device.toStdString();

    window = new ObservedMainWindow();
    window->Constructor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    ComboBox& chooser = window->popCom();
    chooser.clearEditText();
    QTest::keyClicks(&chooser, device);
    QTest::keyClick(&chooser, Qt::Key_Return);
    ASSERT_EQ(chooser.ListIndex(), -1);
    ASSERT_TRUE(window->srlMain().IsOpen()) << window->txtLogger().Text();

    CheckBox& autoAnswer = window->chkAutoAnswer();
    QStyleOptionButton option;
    option.initFrom(&autoAnswer);
    QTest::mouseClick(&autoAnswer, Qt::LeftButton, {},
                      autoAnswer.style()
                          ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &autoAnswer)
                          .center());
    ASSERT_EQ(autoAnswer.State(), 1);
  }

  void expectSimulatorContent() {
    ASSERT_TRUE(waitUntil([&] { return simulator->exited(); }, 60000))
        << window->txtLogger().Text();
    // A signal shows as 128 + its number.
    EXPECT_EQ(simulator->exitCode(), 0)
        << simulatorText() << "\nlog:" << window->txtLogger().Text();
  }

  static int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
  }

  std::optional<ChildProcess> simulator;
  std::unique_ptr<QSocketNotifier> simulatorOutput;
  std::vector<std::string> simulatorLines;
  ObservedMainWindow* window = nullptr;
};

TEST_F(EndToEndTest, TwoCallsThroughTheWindow) {
  answerCalls(2);
  expectSimulatorContent();
  EXPECT_NE(simulatorText().find("2 calls checked out"), std::string::npos) << simulatorText();

  // The second call's log starts afresh with its connection id, whose handshake check is short.
  const std::string log = window->txtLogger().Text();
  EXPECT_TRUE(log.starts_with("Remote Connection ID : 0003")) << log;
  EXPECT_EQ(count(log, "\rCRC Error in state 3. Performing Workaround"), 1) << log;
  EXPECT_EQ(count(log, "\rState -1 : Disconnected"), 1) << log;

  // Each "NO CARRIER" showed the debug window; the first built it with a copy of the main
  // window's mirror, the second found it open and left its text alone.
  ASSERT_EQ(window->disconnects.size(), 2u);
  const auto& first = window->disconnects[0];
  const auto& second = window->disconnects[1];
  EXPECT_FALSE(first.debugWindowWasOpen);
  ASSERT_NE(first.debugWindow, nullptr);
  EXPECT_FALSE(first.receiveBuffer.empty());  // the box's payload of the first call
  EXPECT_EQ(first.debugText, first.mirror);
  EXPECT_TRUE(first.receiveBuffer.starts_with(first.mirror));  // up to a second behind
  EXPECT_TRUE(second.debugWindowWasOpen);
  EXPECT_EQ(second.debugWindow, first.debugWindow);
  EXPECT_EQ(second.debugText, first.debugText);
  EXPECT_TRUE(first.debugWindow->isVisible());

  // The disconnect reset emptied the call's buffers; the next tick empties the mirror.
  EXPECT_TRUE(window->ReceiveBuffer.empty());
  EXPECT_EQ(window->state, Idle);
  EXPECT_TRUE(waitUntil([&] { return window->TextArea1().Text().empty(); }, 3000));

  window->Close();
  EXPECT_FALSE(window->srlMain().IsOpen());
}

// Leaves a picture of the window in the middle of a call in the build folder, for people.
TEST_F(EndToEndTest, ScreenshotInTheMiddleOfACall) {
  answerCalls(1);
  ASSERT_TRUE(waitUntil([&] { return window->SendingData; }, 30000)) << window->txtLogger().Text();
  QCoreApplication::processEvents();  // the scroll bars follow their ranges a turn later
  const QImage picture = window->grab().toImage();
  EXPECT_EQ(picture.size(), window->size() * window->devicePixelRatio());
  EXPECT_TRUE(picture.save(KORVANDEL_SCREENSHOT)) << KORVANDEL_SCREENSHOT;
  expectSimulatorContent();
}

}  // namespace

#endif
