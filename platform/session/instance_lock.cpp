#include "platform/session/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorlane {
namespace fs = std::filesystem;

std::optional<fs::path> InstanceLock::lockFile(const char* runtimeFolder,
                                               const std::optional<fs::path>& configFolder) {
  if (runtimeFolder != nullptr && fs::path(runtimeFolder).is_absolute()) {
    return fs::path(runtimeFolder) / "vorlane.lock";
  }
  // Without a runtime folder the lock sits beside the records it guards.
  if (configFolder) return *configFolder / "instance.lock";
  return std::nullopt;
}

std::vector<fs::path> InstanceLock::lockFiles(const char* runtimeFolder,
                                              const std::optional<fs::path>& configFolder) {
  std::vector<fs::path> files;
  if (auto first = lockFile(runtimeFolder, configFolder)) files.push_back(*first);
  if (configFolder && (files.empty() || files.front() != *configFolder / "instance.lock")) {
    files.push_back(*configFolder / "instance.lock");
  }
  return files;
}

InstanceLock::InstanceLock(const fs::path& file) : file_(file) { take(); }

bool InstanceLock::retry() {
  if (state_ == State::heldElsewhere) take();
  return state_ == State::acquired;
}

void InstanceLock::take() {
  problem_.clear();
  state_ = State::unavailable;
  fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd_ < 0) {
    problem_ = std::strerror(errno);
    return;
  }
  int result = 0;
  do {
    result = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::acquired;
    return;
  }
  if (errno == EWOULDBLOCK) {
    state_ = State::heldElsewhere;
  } else {
    problem_ = std::strerror(errno);
  }
  ::close(fd_);
  fd_ = -1;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace vorlane
