#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category());
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(ends[1]);
  out_ = ends[0];
  if (failed != 0) {
    ::close(out_);
    throw std::system_error(failed, std::generic_category(), args.front());
  }
}

ChildProcess::~ChildProcess() {
  kill();
  if (out_ >= 0) ::close(out_);
}

void ChildProcess::readLines(const LineHandler& onLine) {
  char buffer[16384];
  const ssize_t got = ::read(out_, buffer, sizeof buffer);
  if (got < 0 && errno == EINTR) return;
  if (got <= 0) {
    if (!partial_.empty()) onLine(partial_);
    ::close(std::exchange(out_, -1));
    return reap();
  }
  partial_.append(buffer, static_cast<std::size_t>(got));
  std::size_t start = 0;
  for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
    onLine(std::string_view(partial_).substr(start, end - start));
  }
  partial_.erase(0, start);
}

void ChildProcess::kill() {
  if (!exited()) ::kill(pid_, SIGKILL);
  reap();
}

void ChildProcess::reap() {
  if (exited()) return;
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool pumpUntil(const std::vector<std::pair<ChildProcess*, ChildProcess::LineHandler>>& children,
               const std::function<bool()>& done, std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (!done()) {
    // poll passes over the closed outputs (-1).
    std::vector<pollfd> outputs;
    for (const auto& [child, onLine] : children) outputs.push_back({child->outputFd(), POLLIN, 0});
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const bool anyOpen =
        std::any_of(outputs.begin(), outputs.end(), [](const pollfd& out) { return out.fd >= 0; });
    if (!anyOpen || left.count() <= 0) return done();
    if (::poll(outputs.data(), outputs.size(), static_cast<int>(left.count()) + 1) <= 0) continue;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
      if (outputs[i].revents != 0) children[i].first->readLines(children[i].second);
    }
  }
  return true;
}

std::string lastLines(const std::vector<std::string>& lines, std::size_t count) {
  std::string text;
  for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i) {
    text += lines[i].substr(0, 160) + "\n";
  }
  return text;
}
