#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A program run with its standard output and error gathered into one pipe and handed on line by
// line; killed and reaped if it is still running when it goes out of scope.
class ChildProcess {
 public:
  using LineHandler = std::function<void(std::string_view line)>;

  explicit ChildProcess(const std::vector<std::string>& args);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  pid_t pid() const { return pid_; }
  int outputFd() const { return out_; }
  bool exited() const { return exitCode_ >= 0; }
  // The exit status, or 128 + the signal that ended it; -1 while it runs.
  int exitCode() const { return exitCode_; }
  // Hands on each whole line waiting in the pipe. At its end the child has gone: the unfinished
  // rest is handed on too, and the child is reaped.
  void readLines(const LineHandler& onLine);
  void kill();

 private:
  void reap();

  pid_t pid_ = -1;
  int out_ = -1;
  int exitCode_ = -1;
  std::string partial_;
};

// The last lines, long ones cut, for failure messages.
std::string lastLines(const std::vector<std::string>& lines, std::size_t count = 30);

// Reads the children's output until `done` holds or `within` has passed; whether it holds.
bool pumpUntil(const std::vector<std::pair<ChildProcess*, ChildProcess::LineHandler>>& children,
               const std::function<bool()>& done, std::chrono::milliseconds within);
