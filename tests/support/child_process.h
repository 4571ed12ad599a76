#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A program started with its standard output and error gathered together and handed on line by
// line; killed and reaped when it goes out of scope still running.
class ChildProcess {
 public:
  using LineHandler = std::function<void(std::string_view line)>;

  explicit ChildProcess(const std::vector<std::string>& args);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  pid_t pid() const { return pid_; }
  int outputFd() const { return out_; }
  bool exited() const { return status_.has_value(); }
  // The exit status, or 128 + the signal that ended it; -1 while it runs.
  int exitCode() const;

  // Reads what the child wrote and hands each whole line to `onLine`. At end of file the child
  // has gone: a last unfinished line is handed on, and the child is reaped.
  void readLines(const LineHandler& onLine);
  void signal(int number);
  void kill();

 private:
  void reap();

  pid_t pid_ = -1;
  int out_ = -1;
  std::string partial_;
  std::optional<int> status_;
};

// Reads the children's output until `done` holds or `within` has passed; whether it holds.
bool pumpUntil(const std::vector<std::pair<ChildProcess*, ChildProcess::LineHandler>>& children,
               const std::function<bool()>& done, std::chrono::milliseconds within);
