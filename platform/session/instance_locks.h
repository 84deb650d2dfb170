#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/session/instance_lock.h"

namespace vorlane {

// Every instance lock this session's copies can make, held together. Two copies may not see
// the same places as usable (a runtime folder that appears while they start), so a copy
// holds each lock it can make, taken in one order: whichever lock it finds held decides
// against it, and since every copy waits only for the first held lock on its way, no two
// ever wait for each other. A lock that cannot be made at all is skipped with an error line.
class InstanceLocks {
 public:
  // `files` in the order taken; a folder of `makeFoldersFor` is made first when missing.
  explicit InstanceLocks(std::vector<std::filesystem::path> files,
                         std::vector<std::filesystem::path> makeFoldersFor = {});
  // This session's: the runtime folder's lock, then the one beside the records.
  static std::unique_ptr<InstanceLocks> forThisSession();

  // Takes, in order, the locks not held yet; whether all that can be made are held now.
  // Stops at the first one another process holds, to try it again on the next call.
  bool take();
  // Whether any lock could be made (known once take() returned true).
  bool guards() const { return !held_.empty(); }

 private:
  std::vector<std::filesystem::path> files_;
  std::vector<std::filesystem::path> makeFoldersFor_;
  std::size_t next_ = 0;
  std::vector<std::unique_ptr<InstanceLock>> held_;
  std::unique_ptr<InstanceLock> waiting_;
};

}  // namespace vorlane
