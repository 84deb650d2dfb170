#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// One Vorlane per user: an exclusive lock on a file, taken without waiting and held for the
// life of the object. The kernel lets go of it when the process ends, however it ends, so a
// crashed run never leaves a stale lock. Programs the process starts do not inherit it.
class InstanceLock {
 public:
  enum class State {
    acquired,       // this process is the one Vorlane
    heldElsewhere,  // another process holds it
    unavailable,    // the file could not be opened or locked; see `problem()`
  };

  // "vorlane.lock" in `runtimeFolder` (the value of $XDG_RUNTIME_DIR) when that is an
  // absolute path, else "instance.lock" in the config folder; none when neither is known.
  [[nodiscard]] static std::optional<std::filesystem::path> lockFile(
      const char* runtimeFolder, const std::optional<std::filesystem::path>& configFolder);
  // The places to try in order: the runtime folder's lock, then the config folder's, so
  // that a runtime folder that is missing or refuses the lock still leaves one lock that
  // every copy of this session agrees on.
  [[nodiscard]] static std::vector<std::filesystem::path> lockFiles(
      const char* runtimeFolder, const std::optional<std::filesystem::path>& configFolder);

  // Tries once; creates the file (not its folder) when missing.
  explicit InstanceLock(const std::filesystem::path& file);
  // Tries again while another process holds it; whether this one holds it now.
  bool retry();
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }
  // Why the lock is unavailable (the system's reason); empty otherwise.
  const std::string& problem() const { return problem_; }

 private:
  void take();

  std::filesystem::path file_;
  int fd_ = -1;
  State state_ = State::unavailable;
  std::string problem_;
};

}  // namespace vorlane
