// The engine behind the headless driver, on a real pseudo-terminal, against the box simulator.
// The simulator checks every frame the engine writes on its side and exits 0 only when all of
// them were right; here the driver's log is checked call by call.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A program started with its standard output and error gathered together; killed and reaped
// when it goes out of scope still running.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& args) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category());
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    out_ = pipeEnds[0];
    if (failed != 0) {
      ::close(out_);
      throw std::system_error(failed, std::generic_category(), args.front());
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    kill();
    if (out_ >= 0) ::close(out_);
  }

  int outputFd() const { return out_; }
  const std::string& output() const { return output_; }
  bool exited() const { return status_.has_value(); }
  // The exit status, or 128 + the signal that ended it.
  int exitCode() const {
    if (!status_) return -1;
    return WIFEXITED(*status_) ? WEXITSTATUS(*status_) : 128 + WTERMSIG(*status_);
  }

  // Takes what the child wrote; at end of file the child has gone, and is reaped.
  void readOutput() {
    char buffer[8192];
    const ssize_t got = ::read(out_, buffer, sizeof buffer);
    if (got > 0) {
      output_.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      ::close(out_);
      out_ = -1;
      reap();
    }
  }

  void kill() {
    if (exited() || pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    reap();
  }

 private:
  void reap() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    status_ = status;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
  std::optional<int> status_;
};

// Gathers the children's output until `done` holds or `within` has passed; whether it holds.
bool gatherUntil(std::initializer_list<ChildProcess*> children, const std::function<bool()>& done,
                 milliseconds within) {
  const Clock::time_point deadline = Clock::now() + within;
  while (!done()) {
    std::vector<pollfd> outputs;
    std::vector<ChildProcess*> owners;
    for (ChildProcess* child : children) {
      if (child->outputFd() < 0) continue;
      outputs.push_back({child->outputFd(), POLLIN, 0});
      owners.push_back(child);
    }
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (outputs.empty() || left.count() <= 0) return done();
    if (::poll(outputs.data(), outputs.size(), static_cast<int>(left.count()) + 1) <= 0) continue;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
      if (outputs[i].revents != 0) owners[i]->readOutput();
    }
  }
  return true;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The last lines of a log, long ones cut, for failure messages.
std::string tailOf(const std::string& text, std::size_t count = 30) {
  const std::vector<std::string> lines = linesOf(text);
  std::string tail;
  for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i) {
    tail += lines[i].substr(0, 120) + "\n";
  }
  return tail;
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

long countLines(const std::vector<std::string>& log, const std::string& prefix, bool whole) {
  return std::count_if(log.begin(), log.end(), [&](const std::string& line) {
    return whole ? line == prefix : line.starts_with(prefix);
  });
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
};

struct Scenario {
  std::string name;
  std::vector<std::string> simulatorArgs;
  std::vector<std::string> driverArgs;
  std::vector<CallExpectation> calls;
  long dataFramesPerCall;
  long restartsPerCall;  // opcode 87 frames the box sends
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
  ChildProcess simulator(simulatorArgs);
  const auto pathPrinted = [&] {
    return simulator.output().find('\n') != std::string::npos || simulator.exited();
  };
  ASSERT_TRUE(gatherUntil({&simulator}, pathPrinted, milliseconds(5000))) << simulator.output();
  const std::string pty = simulator.output().substr(0, simulator.output().find('\n'));
  ASSERT_TRUE(pty.starts_with("/dev/")) << simulator.output();

  std::vector<std::string> driverArgs = {E2E_HEADLESS, "--auto-answer", "--exit-after-calls",
                                         calls};
  driverArgs.insert(driverArgs.end(), scenario.driverArgs.begin(), scenario.driverArgs.end());
  driverArgs.push_back(pty);
  ChildProcess driver(driverArgs);
  const auto over = [&] {
    return simulator.exited() && (driver.exited() || simulator.exitCode() != 0);
  };
  const bool finished = gatherUntil({&simulator, &driver}, over, milliseconds(40000));
  // Either side failing leaves the other waiting for it.
  simulator.kill();
  driver.kill();
  ASSERT_EQ(simulator.exitCode(), 0) << "simulator:\n"
                                     << simulator.output() << "driver, last lines:\n"
                                     << tailOf(driver.output());
  ASSERT_TRUE(finished) << "driver, last lines:\n" << tailOf(driver.output());
  ASSERT_EQ(driver.exitCode(), 0) << tailOf(driver.output());

  const auto callLogs = callsOf(linesOf(driver.output()));
  ASSERT_EQ(callLogs.size(), scenario.calls.size()) << tailOf(driver.output());
  for (std::size_t i = 0; i < callLogs.size(); ++i) {
    const std::vector<std::string>& log = callLogs[i];
    const CallExpectation& expected = scenario.calls[i];
    SCOPED_TRACE("call " + std::to_string(i + 1));
    EXPECT_EQ(log.front(), "Remote Connection ID : " + expected.connectionId);
    EXPECT_EQ(countLines(log, "CRC Error in state 3. Performing Workaround", true),
              expected.handshakeRebuilt ? 1 : 0);
    EXPECT_EQ(countLines(log, "Challenge Connect", true), 1);  // the login stream was decoded
    EXPECT_EQ(countLines(log, "OPC = 87", true), scenario.restartsPerCall);
    EXPECT_EQ(countLines(log, "SENT : ", false), scenario.dataFramesPerCall);
    EXPECT_EQ(countLines(log, "State -1 : Disconnected", true), 1);
    EXPECT_EQ(countLines(log, "Override SendQ not sent", false), 0);
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
                             1}),
    [](const testing::TestParamInfo<Scenario>& param) { return param.param.name; });

}  // namespace
