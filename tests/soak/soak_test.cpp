// Many calls in a row over a pseudo-terminal: the box simulator places them, every tenth one
// hostile, and checks every frame on its side; the headless driver answers them, loses its port
// now and then and opens it again through a link. Here the two sides' reports are held against
// each other call by call, and the driver's resident memory is watched.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kCalls = 1000;
constexpr int kSampleEvery = 100;  // calls between two looks at the driver's memory
constexpr long kGrossGrowthKiB = 8 * 1024;
constexpr milliseconds kRunTimeout{150000};
constexpr std::string_view kWholeUploadKinds[] = {"good", "junk"};
constexpr std::string_view kHostileKinds[] = {"junk", "cut short", "10 03 in payload",
                                              "hang-up mid-upload", "port lost"};

// A folder of its own for the link to the simulator's current line.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvandel-soak-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// VmRSS of a running process in KiB; nothing once it has gone.
std::optional<long> residentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  }
  return std::nullopt;
}

std::size_t patchBytes() {
  std::ifstream file(SOAK_SSF2J_PATCH);
  std::size_t digits = 0;
  for (char c; file.get(c);) digits += std::isxdigit(static_cast<unsigned char>(c)) ? 1 : 0;
  return digits / 2;
}

// One call as the simulator reported it: "call N: KIND: connection id ID, DETAILS".
struct SimulatorCall {
  std::string kind;
  std::string connectionId;
  long dataFrames = -1;  // with a whole upload
  long bytesUploaded = -1;
};

// One call as the driver logged it, from its "Remote Connection ID : " line to the next.
struct DriverCall {
  std::string connectionId;
  int sent = 0;
  int disconnects = 0;
  std::vector<std::string> lost;
};

class DriverLog {
 public:
  void take(std::string_view line) {
    tail_.emplace_back(line.substr(0, 160));
    if (tail_.size() > 40) tail_.pop_front();
    if (line.starts_with("Remote Connection ID : ")) {
      calls.push_back({std::string(line.substr(23)), 0, 0, {}});
    } else if (line.starts_with("Lost serial port ")) {
      ++lostLines;
      (calls.empty() ? lostBeforeFirstCall : calls.back().lost).emplace_back(line);
    } else if (line.starts_with("Could not open ")) {
      ++couldNotOpen;
    } else if (!calls.empty() && line.starts_with("SENT : ")) {
      ++calls.back().sent;
    } else if (!calls.empty() && line == "State -1 : Disconnected") {
      ++calls.back().disconnects;
    }
  }

  std::string tail() const {
    std::string text;
    for (const std::string& line : tail_) text += line + "\n";
    return text;
  }

  std::vector<DriverCall> calls;
  std::vector<std::string> lostBeforeFirstCall;
  int lostLines = 0;
  int couldNotOpen = 0;

 private:
  std::deque<std::string> tail_;
};

class SimulatorReport {
 public:
  void take(std::string_view text) {
    static const std::regex kCallLine(R"(call (\d+): ([^:]+): connection id ([0-9A-F]{4}), (.*))");
    static const std::regex kWhole(
        R"((\d+) data frames, (\d+) bytes uploaded, every frame checked)");
    const std::string line(text);
    std::smatch call;
    if (!std::regex_match(line, call, kCallLine)) {
      other += line + "\n";
      return;
    }
    misnumbered += std::stoul(call[1]) != calls.size() + 1 ? 1 : 0;
    SimulatorCall& reported = calls.emplace_back(SimulatorCall{call[2], call[3]});
    const std::string details = call[4];
    std::smatch whole;
    if (std::regex_match(details, whole, kWhole)) {
      reported.dataFrames = std::stol(whole[1]);
      reported.bytesUploaded = std::stol(whole[2]);
    }
    ++byKind[reported.kind];
  }

  int count(std::string_view kind) const {
    const auto found = byKind.find(kind);
    return found == byKind.end() ? 0 : found->second;
  }

  std::vector<SimulatorCall> calls;
  std::map<std::string, int, std::less<>> byKind;
  int misnumbered = 0;  // calls are matched with the driver's log by their order
  std::string other;    // the path, the summary, a failure
};

bool uploadsWhole(std::string_view kind) {
  return std::find(std::begin(kWholeUploadKinds), std::end(kWholeUploadKinds), kind) !=
         std::end(kWholeUploadKinds);
}

// Everything one run leaves to check.
struct SoakRun {
  std::string link;
  SimulatorReport report;
  DriverLog log;
  std::vector<std::pair<int, long>> resident;  // the driver's VmRSS in KiB after call N
  int simulatorExit = -1;
  bool driverSurvived = false;  // still running once the simulator was done
  int driverExit = -1;          // after SIGTERM
  double seconds = 0;
};

// The simulator places the calls on a line under `link`; the driver opens the link, and opens
// it again whenever the simulator replaces the line.
void runSoak(SoakRun& run) {
  const Clock::time_point started = Clock::now();
  ChildProcess simulator({SOAK_SIMULATOR, "--soak", "--calls", std::to_string(kCalls), "--link",
                          run.link, "--patch", SOAK_SSF2J_PATCH, "--timeout-ms",
                          std::to_string(kRunTimeout.count())});
  const ChildProcess::LineHandler toReport = [&](std::string_view line) { run.report.take(line); };
  if (!pumpUntil(
          {{&simulator, toReport}}, [&] { return !run.report.other.empty(); },
          milliseconds(5000)) ||
      run.report.other != run.link + "\n") {
    return;
  }

  ChildProcess driver({SOAK_HEADLESS, "--auto-answer", "--reopen", run.link});
  const auto fromSimulator = [&](std::string_view line) {
    run.report.take(line);
    const int call = static_cast<int>(run.report.calls.size());
    if (line.starts_with("call ") && call % kSampleEvery == 0) {
      if (const auto kib = residentKiB(driver.pid())) run.resident.emplace_back(call, *kib);
    }
  };
  const auto fromDriver = [&](std::string_view line) { run.log.take(line); };
  // The simulator's line goes as it exits: the driver loses its port once more, and waits.
  const auto over = [&] {
    return driver.exited() || (simulator.exited() && simulator.exitCode() != 0) ||
           (simulator.exited() && run.log.lostLines > run.report.count("port lost"));
  };
  pumpUntil({{&simulator, fromSimulator}, {&driver, fromDriver}}, over, kRunTimeout);
  run.driverSurvived = !driver.exited();
  driver.signal(SIGTERM);
  pumpUntil(
      {{&driver, fromDriver}}, [&] { return driver.exited(); }, milliseconds(10000));
  simulator.kill();
  driver.kill();
  run.simulatorExit = simulator.exitCode();
  run.driverExit = driver.exitCode();
  run.seconds = std::chrono::duration<double>(Clock::now() - started).count();
}

// Good calls whose whole upload the simulator checked and the driver logged frame by frame.
int goodWholeUploads(const SoakRun& run, std::size_t wholeBytes) {
  int whole = 0;
  for (std::size_t i = 0; i < run.report.calls.size() && i < run.log.calls.size(); ++i) {
    const SimulatorCall& call = run.report.calls[i];
    whole += call.kind == "good" && call.bytesUploaded == static_cast<long>(wholeBytes) &&
             run.log.calls[i].sent == call.dataFrames;
  }
  return whole;
}

std::string figuresOf(const SoakRun& run, int goodWhole) {
  std::ostringstream text;
  text << "soak: " << run.report.calls.size() << " calls in " << run.seconds << " s\n"
       << "  good calls with whole uploads: " << goodWhole << " of " << run.report.count("good")
       << "\n  hostile calls:";
  const char* separator = " ";
  for (const std::string_view kind : kHostileKinds) {
    text << separator << kind << ' ' << run.report.count(kind);
    separator = ", ";
  }
  text << "\n  port losses survived: " << run.log.lostLines << " (" << run.report.count("port lost")
       << " mid-call, and the simulator's line at its exit)\n  driver VmRSS (KiB) after call";
  separator = " ";
  for (const auto& [call, kib] : run.resident) {
    text << separator << call << ": " << kib;
    separator = ", ";
  }
  if (run.resident.size() >= 2) {
    text << "\n  growth from call " << run.resident.front().first << " to call "
         << run.resident.back().first << ": "
         << run.resident.back().second - run.resident.front().second << " KiB"
         << (SOAK_SANITIZED ? " (not judged: freed memory waits in quarantine)" : "");
  }
  // The first line is the link's path.
  text << "\n  simulator: " << run.report.other.substr(run.report.other.find('\n') + 1);
  return text.str();
}

TEST(Soak, EveryGoodCallGetsItsWholeUploadThroughHostileCallsAndLostPorts) {
  const TempFolder folder;
  SoakRun run;
  run.link = folder.path() + "/modem";
  runSoak(run);
  const std::size_t wholeBytes = patchBytes();
  const int goodWhole = goodWholeUploads(run, wholeBytes);
  std::cout << figuresOf(run, goodWhole) << std::flush;

  ASSERT_EQ(run.simulatorExit, 0) << run.report.other << "driver, last lines:\n" << run.log.tail();
  ASSERT_TRUE(run.driverSurvived) << "the driver ended with " << run.driverExit << "\n"
                                  << run.log.tail();
  EXPECT_EQ(run.driverExit, 0) << "no clean stop on SIGTERM\n" << run.log.tail();
  ASSERT_EQ(run.report.calls.size(), static_cast<std::size_t>(kCalls)) << run.report.other;
  ASSERT_EQ(run.report.misnumbered, 0);
  ASSERT_EQ(run.log.calls.size(), run.report.calls.size()) << run.log.tail();

  const std::string lostLine = "Lost serial port " + run.link + ": the line hung up";
  for (std::size_t i = 0; i < run.report.calls.size(); ++i) {
    const SimulatorCall& call = run.report.calls[i];
    const DriverCall& logged = run.log.calls[i];
    SCOPED_TRACE("call " + std::to_string(i + 1) + ", " + call.kind);
    EXPECT_EQ(logged.connectionId, call.connectionId);
    EXPECT_EQ(logged.disconnects, 1);
    const bool last = i + 1 == run.report.calls.size();
    const std::size_t losses = (call.kind == "port lost" ? 1 : 0) + (last ? 1 : 0);
    EXPECT_EQ(logged.lost, std::vector<std::string>(losses, lostLine));
    if (uploadsWhole(call.kind)) {
      EXPECT_EQ(call.bytesUploaded, static_cast<long>(wholeBytes));
      EXPECT_EQ(logged.sent, call.dataFrames);
    }
  }
  EXPECT_EQ(goodWhole, kCalls - kCalls / 10);
  int hostile = 0;
  for (const std::string_view kind : kHostileKinds) {
    EXPECT_GT(run.report.count(kind), 0) << kind;
    hostile += run.report.count(kind);
  }
  EXPECT_EQ(hostile, kCalls / 10);
  EXPECT_TRUE(run.log.lostBeforeFirstCall.empty());
  EXPECT_EQ(run.log.couldNotOpen, 0);

  ASSERT_EQ(run.resident.size(), static_cast<std::size_t>(kCalls / kSampleEvery));
  if (!SOAK_SANITIZED) {
    EXPECT_LT(run.resident.back().second - run.resident.front().second, kGrossGrowthKiB);
  }
}

}  // namespace
