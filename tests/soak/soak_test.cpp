// 1,000 calls in a row over a pseudo-terminal, every tenth one hostile and one in twenty written a
// byte at a time: the box simulator places them and checks every frame; the headless driver
// answers, loses its port now and then and opens it again through the simulator's link. The two
// sides' reports are held against each other.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace {

using Lines = std::vector<std::string>;
using std::chrono::seconds;

Lines starting(const Lines& lines, std::string_view prefix) {
  Lines found;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
               [&](const std::string& line) { return line.starts_with(prefix); });
  return found;
}

TEST(Soak, EveryGoodCallGetsItsWholeUploadThroughHostileCallsAndLostPorts) {
  ChildProcess simulator({SOAK_SIMULATOR, "--soak", "--calls", "1000", "--link", SOAK_LINK,
                          "--patch", SOAK_SSF2J_PATCH, "--pace-us", "20", "--timeout-ms",
                          "150000"});
  std::optional<ChildProcess> driver;
  Lines simulatorLines;        // the link, one line per call, the summary
  std::vector<Lines> logs(1);  // the driver's, cut at each call's "Remote Connection ID : " line
  std::vector<long> resident;  // the driver's resident pages after every 100th call
  const auto fromSimulator = [&](std::string_view line) {
    simulatorLines.emplace_back(line);
    if (driver && line.starts_with("call ") && (simulatorLines.size() - 1) % 100 == 0) {
      long pages = 0;
      std::ifstream("/proc/" + std::to_string(driver->pid()) + "/statm") >> pages >> pages;
      resident.push_back(pages);
    }
  };
  const auto fromDriver = [&](std::string_view line) {
    if (line.starts_with("Remote Connection ID : ")) logs.emplace_back();
    logs.back().emplace_back(line);
  };
  ASSERT_TRUE(pumpUntil(
      {{&simulator, fromSimulator}}, [&] { return !simulatorLines.empty(); }, seconds(5)));
  ASSERT_EQ(simulatorLines.front(), SOAK_LINK);

  driver.emplace(Lines{SOAK_HEADLESS, "--auto-answer", "--reopen", SOAK_LINK});
  // The simulator's line goes as it exits: the driver loses its port once more, and waits.
  const auto over = [&] {
    const bool lostAgain = !logs.back().empty() && logs.back().back().starts_with("Lost serial");
    return driver->exited() || (simulator.exited() && (simulator.exitCode() != 0 || lostAgain));
  };
  pumpUntil({{&simulator, fromSimulator}, {&*driver, fromDriver}}, over, seconds(150));
  ASSERT_FALSE(driver->exited()) << lastLines(logs.back());
  ::kill(driver->pid(), SIGTERM);
  pumpUntil(
      {{&*driver, fromDriver}}, [&] { return driver->exited(); }, seconds(10));
  ASSERT_EQ(simulator.exitCode(), 0) << lastLines(simulatorLines) << "driver:\n"
                                     << lastLines(logs.back());
  EXPECT_EQ(driver->exitCode(), 0) << "no clean stop on SIGTERM";
  ASSERT_EQ(simulatorLines.size(), 1002u) << lastLines(simulatorLines);
  ASSERT_EQ(logs.size(), 1001u) << lastLines(logs.back());
  EXPECT_EQ(starting(logs[0], "Lost serial port "), Lines{});
  for (std::size_t call = 1; call <= 1000; ++call) {
    const Lines& log = logs[call];
    SCOPED_TRACE(simulatorLines[call]);
    std::smatch report;
    ASSERT_TRUE(std::regex_match(simulatorLines[call], report,
                                 std::regex("call " + std::to_string(call) +
                                            ": ([^:]+): connection id ([0-9A-F]{4}), (.*)")));
    EXPECT_EQ(log.front(), "Remote Connection ID : " + report[2].str());
    EXPECT_EQ(starting(log, "State -1 : Disconnected").size(), 1u);
    EXPECT_EQ(starting(log, "Could not open "), Lines{});
    // The simulator's line goes once more as it exits, after the last call.
    const std::size_t losses = (report[1] == "port lost") + (call == 1000);
    // The reason is the hang-up, or an I/O error where the device goes before the line.
    EXPECT_EQ(starting(log, "Lost serial port ").size(), losses);
    EXPECT_EQ(starting(log, "Lost serial port " SOAK_LINK ": ").size(), losses);
    if (report[1] == "good" || report[1] == "junk") {
      EXPECT_EQ(report[3], "4 data frames, 3305 bytes uploaded, every frame checked");
      EXPECT_EQ(starting(log, "SENT : ").size(), 4u);
    }
  }
  EXPECT_TRUE(simulatorLines.back().starts_with(
      "box-simulator: 1000 calls checked out; 900 good with whole uploads; hostile: 24 junk (24 "
      "whole uploads), 24 cut short, 24 10 03 in payload, 24 hang-up mid-upload, 4 port lost;"))
      << simulatorLines.back();

  ASSERT_EQ(resident.size(), 10u);
  // Under a sanitizer freed memory waits in quarantine.
  if (!SOAK_SANITIZED) {
    EXPECT_LT((resident.back() - resident.front()) * ::sysconf(_SC_PAGESIZE), 8 << 20) << "bytes";
  }
}

}  // namespace
