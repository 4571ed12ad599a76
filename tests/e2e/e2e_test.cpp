// The engine behind the headless driver, on a real pseudo-terminal, against the box simulator.
// The simulator checks every frame the engine writes on its side and exits 0 only when all of
// them were right; here the driver's log is checked call by call.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"

namespace {

using std::chrono::milliseconds;

ChildProcess::LineHandler keepingIn(std::vector<std::string>& lines) {
  return [&lines](std::string_view line) { lines.emplace_back(line); };
}

// The last lines, long ones cut, for failure messages.
std::string textOf(const std::vector<std::string>& lines, std::size_t last = 30) {
  std::string text;
  for (std::size_t i = lines.size() > last ? lines.size() - last : 0; i < lines.size(); ++i) {
    text += lines[i].substr(0, 120) + "\n";
  }
  return text;
}

// The driver's log cut into calls: each from its "Remote Connection ID : " line to the next.
std::vector<std::vector<std::string>> callsOf(const std::vector<std::string>& log) {
  std::vector<std::vector<std::string>> calls;
  for (const std::string& line : log) {
    if (line.starts_with("Remote Connection ID : ")) calls.emplace_back();
    if (!calls.empty()) calls.back().push_back(line);
  }
  return calls;
}

long countLines(const std::vector<std::string>& log, const std::string& start) {
  return std::count_if(log.begin(), log.end(),
                       [&](const std::string& line) { return line.starts_with(start); });
}

// 2,500 bytes of deterministic filler: an upload of three frames, the last one short.
std::string overrideDigits(bool asTyped) {
  static constexpr char kUpper[] = "0123456789ABCDEF";
  static constexpr char kLower[] = "0123456789abcdef";
  std::string text;
  std::uint32_t state = 0x2400CAFE;
  for (int i = 0; i < 2500; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    const unsigned byte = state >> 24;
    // Typed by an operator: lower case, in groups, over several lines.
    if (asTyped && i > 0 && i % 32 == 0) text += (i % 256 == 0) ? "\n" : " ";
    text += (asTyped ? kLower : kUpper)[byte >> 4];
    text += (asTyped ? kLower : kUpper)[byte & 15];
  }
  return text;
}

struct CallExpectation {
  std::string connectionId;  // the simulator gives call 1 the id 1234 and call 2 the id 0003
  bool handshakeRebuilt;     // 0003 gives the handshake a three-digit check
  bool lineLost = false;     // the line vanishes after the first data frame
};

struct Scenario {
  std::string name;
  std::vector<std::string> simulatorArgs;
  std::vector<std::string> driverArgs;
  std::vector<CallExpectation> calls;
  long dataFramesPerCall;
  long restartsPerCall;  // opcode 87 frames the box sends
};

class EndToEnd : public testing::TestWithParam<Scenario> {};

TEST_P(EndToEnd, EveryCallChecksOutOnBothSides) {
  const Scenario& scenario = GetParam();
  const std::string calls = std::to_string(scenario.calls.size());

  std::vector<std::string> simulatorArgs = {E2E_SIMULATOR, "--calls", calls, "--timeout-ms",
                                            "20000"};
  simulatorArgs.insert(simulatorArgs.end(), scenario.simulatorArgs.begin(),
                       scenario.simulatorArgs.end());
  std::vector<std::string> driverArgs = {E2E_HEADLESS, "--auto-answer", "--exit-after-calls",
                                         calls};
  driverArgs.insert(driverArgs.end(), scenario.driverArgs.begin(), scenario.driverArgs.end());
  if (scenario.calls.front().lineLost) {
    // The device comes back under the same path, as a USB adapter plugged in again would.
    const std::string link = testing::TempDir() + "korvandel-modem-" + std::to_string(::getpid());
    simulatorArgs.insert(simulatorArgs.end(), {"--lose-line", "--link", link});
    driverArgs.push_back("--reopen");
  }
  ChildProcess simulator(simulatorArgs);
  std::vector<std::string> simulatorLines;
  const auto pathPrinted = [&] { return !simulatorLines.empty() || simulator.exited(); };
  ASSERT_TRUE(pumpUntil({{&simulator, keepingIn(simulatorLines)}}, pathPrinted, milliseconds(5000)))
      << textOf(simulatorLines);
  const std::string pty = simulatorLines.empty() ? "" : simulatorLines.front();
  ASSERT_TRUE(pty.starts_with("/")) << textOf(simulatorLines);

  driverArgs.push_back(pty);
  ChildProcess driver(driverArgs);
  std::vector<std::string> driverLines;
  const auto over = [&] {
    return simulator.exited() && (driver.exited() || simulator.exitCode() != 0);
  };
  const bool finished =
      pumpUntil({{&simulator, keepingIn(simulatorLines)}, {&driver, keepingIn(driverLines)}}, over,
                milliseconds(40000));
  // Either side failing leaves the other waiting for it.
  simulator.kill();
  driver.kill();
  ASSERT_EQ(simulator.exitCode(), 0) << "simulator:\n"
                                     << textOf(simulatorLines) << "driver, last lines:\n"
                                     << textOf(driverLines);
  ASSERT_TRUE(finished) << "driver, last lines:\n" << textOf(driverLines);
  ASSERT_EQ(driver.exitCode(), 0) << textOf(driverLines);

  const auto callLogs = callsOf(driverLines);
  ASSERT_EQ(callLogs.size(), scenario.calls.size()) << textOf(driverLines);
  for (std::size_t i = 0; i < callLogs.size(); ++i) {
    const std::vector<std::string>& log = callLogs[i];
    const CallExpectation& expected = scenario.calls[i];
    SCOPED_TRACE("call " + std::to_string(i + 1));
    EXPECT_EQ(log.front(), "Remote Connection ID : " + expected.connectionId);
    EXPECT_EQ(countLines(log, "CRC Error in state 3. Performing Workaround"),
              expected.handshakeRebuilt ? 1 : 0);
    EXPECT_EQ(countLines(log, "Challenge Connect"), 1);  // the login stream was decoded
    EXPECT_EQ(countLines(log, "OPC = 87"), scenario.restartsPerCall);
    EXPECT_EQ(countLines(log, "SENT : "), expected.lineLost ? 1 : scenario.dataFramesPerCall);
    EXPECT_EQ(countLines(log, "Lost serial port "), expected.lineLost ? 1 : 0);
    // A lost line ends its call at once: the modem that comes back sends no NO CARRIER.
    EXPECT_EQ(countLines(log, "State -1 : Disconnected"), 1);
    EXPECT_EQ(countLines(log, "Override SendQ not sent"), 0);
  }
}

const std::vector<CallExpectation> kOneCall = {{"1234", false}};

INSTANTIATE_TEST_SUITE_P(
    Calls, EndToEnd,
    testing::Values(Scenario{"TwoCallsWithThePatch",
                             {"--patch", E2E_SSF2J_PATCH},
                             {},
                             {{"1234", false}, {"0003", true}},
                             4,
                             0},
                    Scenario{"OverrideTextAsTyped",
                             {"--expect-override", overrideDigits(false)},
                             {"--override", overrideDigits(true)},
                             kOneCall,
                             3,
                             0},
                    Scenario{"SplitFramesJunkAndRestart",
                             {"--patch", E2E_SSF2J_PATCH, "--split", "--junk", "--opcode87"},
                             {},
                             kOneCall,
                             4,
                             1},
                    Scenario{"ALostLineEndsItsCallAndTheNextIsAnswered",
                             {"--patch", E2E_SSF2J_PATCH},
                             {},
                             {{"1234", false, true}, {"0003", true}},
                             4,
                             0}),
    [](const testing::TestParamInfo<Scenario>& param) { return param.param.name; });

}  // namespace
