#pragma once

// Starting and stopping the helper programs (X server, message bus, sound server) that a
// test needs, so that the tests run on a machine with none of them running.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_environment.h"

extern char** environ;

namespace vorlane::testing {

// A child process, sent SIGTERM (then SIGKILL after 2 s) and reaped when the object goes. Its
// descriptor 3 may be the write end of a pipe whose read end `readLine` reads. Its output
// goes to `outputFile` when one is named, else nowhere. Its environment is this process's
// (tests/support/test_environment.h) with `extraEnvironment` over it.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv, bool withPipe,
               const std::vector<std::string>& extraEnvironment = {},
               const std::string& outputFile = {}) {
    int fds[2] = {-1, -1};
    if (withPipe && pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2}) {
      if (fd > 0 && !outputFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, fd, outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
      } else {
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY, 0);
      }
    }
    if (withPipe) posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    std::vector<std::string> inherited, args(argv);
    for (char** e = environ; *e != nullptr; ++e) inherited.emplace_back(*e);
    std::vector<std::string> env = TestEnvironment::merged(extraEnvironment, inherited);
    std::vector<char*> envp, argp;
    for (std::string& e : env) envp.push_back(e.data());
    for (std::string& a : args) argp.push_back(a.data());
    for (auto* list : {&envp, &argp}) list->push_back(nullptr);
    if (posix_spawnp(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (withPipe) {
      close(fds[1]);
      readFd_ = fds[0];
    }
  }
  ~ChildProcess() {
    if (readFd_ >= 0) close(readFd_);
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int i = 0;
    while (waitpid(pid_, nullptr, WNOHANG) != pid_ && ++i < 200) usleep(10'000);
    if (i == 200) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool started() const { return pid_ > 0; }

  // Sends `signal` and waits for the end; the wait status, or none when it did not end in
  // time (it is then still ours to stop).
  std::optional<int> stop(int signal, std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return std::nullopt;
    kill(pid_, signal);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) != pid_) {
      if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
      usleep(10'000);
    }
    pid_ = -1;
    return status;
  }
  // Whether it has not ended (reaping it when it has).
  bool running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    pid_ = -1;
    exitStatus_ = status;
    return false;
  }
  std::optional<int> exitStatus() const { return exitStatus_; }

  // One line from descriptor 3, without its newline; none on timeout or end of file. What a
  // timed-out call read of a line is kept for the next call.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (char c = 0; readFd_ >= 0;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd p{readFd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      if (read(readFd_, &c, 1) != 1) return std::nullopt;
      if (c == '\n') return std::exchange(partialLine_, {});
      partialLine_.push_back(c);
    }
    return std::nullopt;
  }

 private:
  pid_t pid_ = -1;
  int readFd_ = -1;
  std::string partialLine_;
  std::optional<int> exitStatus_;
};

// Waits until `ready` holds or the timeout passes; whether it held.
template <typename Predicate>
bool waitUntil(Predicate ready, std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline && !ready()) usleep(10'000);
  return ready();
}

}  // namespace vorlane::testing
