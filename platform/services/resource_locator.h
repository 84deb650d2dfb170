#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// Finds the application's sound files in an ordered list of folders; the first folder that
// holds a regular file of the asked name wins.
class ResourceLocator {
 public:
  using Environment = std::function<std::optional<std::string>(const char* name)>;

  explicit ResourceLocator(std::vector<std::filesystem::path> directories);

  // The running application's folders, read afresh from the environment.
  static ResourceLocator standard();

  // In order: $VORLANE_RESOURCE_DIR; `<executableDir>/../share/vorlane/sounds`; the build
  // tree's folder (when given); `<dir>/vorlane/sounds` for each absolute entry of
  // $XDG_DATA_DIRS (default "/usr/local/share:/usr/share"). Empty values are skipped.
  static std::vector<std::filesystem::path> standardDirectories(
      const Environment& environment, const std::filesystem::path& executableDir,
      const std::filesystem::path& buildDir);

  std::optional<std::filesystem::path> find(const std::string& fileName) const;
  const std::vector<std::filesystem::path>& directories() const { return directories_; }

 private:
  std::vector<std::filesystem::path> directories_;
};

}  // namespace vorlane
