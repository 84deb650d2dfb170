#include "platform/session/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/persistence/xdg_folders.h"

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

std::optional<fs::path> InstanceLock::defaultLockFile() {
  return lockFile(std::getenv("XDG_RUNTIME_DIR"), configFolder());
}

InstanceLock::InstanceLock(const fs::path& file) {
  fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
