#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
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

ChildProcess::~ChildProcess() {
  kill();
  if (out_ >= 0) ::close(out_);
}

int ChildProcess::exitCode() const {
  if (!status_) return -1;
  return WIFEXITED(*status_) ? WEXITSTATUS(*status_) : 128 + WTERMSIG(*status_);
}

void ChildProcess::readLines(const LineHandler& onLine) {
  char buffer[16384];
  const ssize_t got = ::read(out_, buffer, sizeof buffer);
  if (got < 0 && errno == EINTR) return;
  if (got > 0) {
    partial_.append(buffer, static_cast<std::size_t>(got));
    std::size_t start = 0;
    std::size_t end = 0;
    while ((end = partial_.find('\n', start)) != std::string::npos) {
      onLine(std::string_view(partial_).substr(start, end - start));
      start = end + 1;
    }
    partial_.erase(0, start);
    return;
  }
  if (!partial_.empty()) onLine(partial_);
  partial_.clear();
  ::close(out_);
  out_ = -1;
  reap();
}

void ChildProcess::signal(int number) {
  if (!exited() && pid_ > 0) ::kill(pid_, number);
}

void ChildProcess::kill() {
  if (exited() || pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  reap();
}

void ChildProcess::reap() {
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  status_ = status;
}

bool pumpUntil(const std::vector<std::pair<ChildProcess*, ChildProcess::LineHandler>>& children,
               const std::function<bool()>& done, std::chrono::milliseconds within) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + within;
  while (!done()) {
    std::vector<pollfd> outputs;
    std::vector<std::size_t> owners;
    for (std::size_t i = 0; i < children.size(); ++i) {
      if (children[i].first->outputFd() < 0) continue;
      outputs.push_back({children[i].first->outputFd(), POLLIN, 0});
      owners.push_back(i);
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (outputs.empty() || left.count() <= 0) return done();
    if (::poll(outputs.data(), outputs.size(), static_cast<int>(left.count()) + 1) <= 0) continue;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
      if (outputs[i].revents == 0) continue;
      const auto& [child, onLine] = children[owners[i]];
      child->readLines(onLine);
    }
  }
  return true;
}
