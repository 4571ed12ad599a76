// The engine behind the headless driver, on a real pseudo-terminal, against the box simulator.
// The simulator checks every frame the engine writes on its side and exits 0 only when all of
// them were right; here the driver's log is checked call by call.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"

namespace {

using std::chrono::milliseconds;

ChildProcess::LineHandler keepingIn(std::vector<std::string>& lines) {
  return [&lines](std::string_view line) { lines.emplace_back(line); };
}

// The driver's log cut into calls, each from its "Remote Connection ID : " line to the next, and
// each told in one line: its id and how many lines of each step it logged.
std::vector<std::string> callsOf(const std::vector<std::string>& log) {
  std::vector<std::vector<std::string>> calls;
  for (const std::string& line : log) {
    if (line.starts_with("Remote Connection ID : ")) calls.emplace_back();
    if (!calls.empty()) calls.back().push_back(line);
  }
  const std::pair<const char*, const char*> steps[] = {
      {"rebuilt", "CRC Error in state 3. Performing Workaround"},
      {"logins", "Challenge Connect"},
      {"restarts", "OPC = 87"},
      {"sent", "SENT : "},
      {"lost", "Lost serial port "},
      {"ended", "State -1 : Disconnected"},
      {"refused", "Override SendQ not sent"}};
  std::vector<std::string> told;
  for (const std::vector<std::string>& call : calls) {
    std::string line = call.front().substr(call.front().size() - 4);
    for (const auto& [name, start] : steps) {
      line += std::string(", ") + name + " " +
              std::to_string(std::count_if(call.begin(), call.end(), [&](const std::string& l) {
                return l.starts_with(start);
              }));
    }
    told.push_back(line);
  }
  return told;
}

// 2,500 bytes of deterministic filler: an upload of three frames, the last one short. Typed by
// an operator: lower case, in groups, over several lines.
std::string overrideDigits(bool asTyped) {
  const char* digits = asTyped ? "0123456789abcdef" : "0123456789ABCDEF";
  std::minstd_rand random(2400);
  std::string text;
  for (int i = 0; i < 2500; ++i) {
    if (asTyped && i > 0 && i % 32 == 0) text += (i % 256 == 0) ? "\n" : " ";
    text += digits[random() % 16];
    text += digits[random() % 16];
  }
  return text;
}

struct Scenario {
  std::string name;
  std::vector<std::string> simulatorArgs;
  std::vector<std::string> driverArgs;
  std::vector<std::string> calls;  // as callsOf tells them
  bool lineLost = false;           // the first call's line vanishes after its first data frame
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.name;
}

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
  if (scenario.lineLost) {
    // The device comes back under the same path, as a USB adapter plugged in again would.
    const std::string link = testing::TempDir() + "korvandel-modem-" + std::to_string(::getpid());
    simulatorArgs.insert(simulatorArgs.end(), {"--lose-line", "--link", link});
    driverArgs.push_back("--reopen");
  }
  ChildProcess simulator(simulatorArgs);
  std::vector<std::string> simulatorLines;
  const auto pathPrinted = [&] { return !simulatorLines.empty() || simulator.exited(); };
  ASSERT_TRUE(pumpUntil({{&simulator, keepingIn(simulatorLines)}}, pathPrinted, milliseconds(5000)))
      << lastLines(simulatorLines);
  const std::string pty = simulatorLines.empty() ? "" : simulatorLines.front();
  ASSERT_TRUE(pty.starts_with("/")) << lastLines(simulatorLines);

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
                                     << lastLines(simulatorLines) << "driver, last lines:\n"
                                     << lastLines(driverLines);
  ASSERT_TRUE(finished) << "driver, last lines:\n" << lastLines(driverLines);
  ASSERT_EQ(driver.exitCode(), 0) << lastLines(driverLines);

  // The simulator gives call 1 the id 1234 and call 2 the id 0003, whose handshake check has three
  // digits. A lost line ends its call at once: the modem that comes back sends no NO CARRIER.
  EXPECT_EQ(callsOf(driverLines), scenario.calls) << lastLines(driverLines);
}

const std::string kFirst = "1234, rebuilt 0, logins 1, restarts 0, sent ";
const std::string kEnded = ", lost 0, ended 1, refused 0";

INSTANTIATE_TEST_SUITE_P(
    Calls, EndToEnd,
    testing::Values(Scenario{"TwoCallsAtLineSpeed",  // a byte at a time, as at 2400 baud
                             {"--patch", E2E_SSF2J_PATCH, "--pace-us", "4167"},
                             {},
                             {kFirst + "4" + kEnded,
                              "0003, rebuilt 1, logins 1, restarts 0, sent 4" + kEnded}},
                    Scenario{"OverrideTextAsTyped",
                             {"--expect-override", overrideDigits(false)},
                             {"--override", overrideDigits(true)},
                             {kFirst + "3" + kEnded}},
                    Scenario{"SplitFramesJunkAndRestart",
                             {"--patch", E2E_SSF2J_PATCH, "--split", "--junk", "--opcode87"},
                             {},
                             {"1234, rebuilt 0, logins 1, restarts 1, sent 4" + kEnded}},
                    Scenario{"ALostLineEndsItsCallAndTheNextIsAnswered",
                             {"--patch", E2E_SSF2J_PATCH},
                             {},
                             {kFirst + "1, lost 1, ended 1, refused 0",
                              "0003, rebuilt 1, logins 1, restarts 0, sent 4" + kEnded},
                             true}),
    [](const testing::TestParamInfo<Scenario>& param) { return param.param.name; });

}  // namespace
