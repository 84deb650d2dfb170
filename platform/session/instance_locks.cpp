#include "platform/session/instance_locks.h"

#include <algorithm>
#include <cstdlib>
#include <exception>

#include "platform/logging/log.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/xdg_folders.h"

namespace vorlane {
namespace fs = std::filesystem;

InstanceLocks::InstanceLocks(std::vector<fs::path> files, std::vector<fs::path> makeFoldersFor)
    : files_(std::move(files)), makeFoldersFor_(std::move(makeFoldersFor)) {}

std::unique_ptr<InstanceLocks> InstanceLocks::forThisSession() {
  const auto records = configFolder();
  std::vector<fs::path> folders;
  if (records) folders.push_back(*records);
  return std::make_unique<InstanceLocks>(
      InstanceLock::lockFiles(std::getenv("XDG_RUNTIME_DIR"), records), std::move(folders));
}

bool InstanceLocks::take() {
  if (waiting_) {
    if (!waiting_->retry()) return false;
    held_.push_back(std::move(waiting_));
  }
  while (next_ < files_.size()) {
    const fs::path& file = files_[next_++];
    if (std::find(makeFoldersFor_.begin(), makeFoldersFor_.end(), file.parent_path()) !=
        makeFoldersFor_.end()) {
      try {
        createFolders(file.parent_path());
      } catch (const std::exception&) {
        // The lock below fails and says why.
      }
    }
    auto lock = std::make_unique<InstanceLock>(file);
    switch (lock->state()) {
      case InstanceLock::State::acquired:
        held_.push_back(std::move(lock));
        break;
      case InstanceLock::State::heldElsewhere:
        waiting_ = std::move(lock);
        return false;
      case InstanceLock::State::unavailable:
        Log::lifecycle().error("instance lock %{public}s unavailable: %{public}s", file.string(),
                               lock->problem());
        break;
    }
  }
  return true;
}

}  // namespace vorlane
