#include "platform/services/resource_locator.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace vorlane {
namespace {

std::optional<std::string> readEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) {
    return std::nullopt;
  }
  return std::string(value);
}

std::filesystem::path executableDirectory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

ResourceLocator::ResourceLocator(std::vector<std::filesystem::path> directories)
    : directories_(std::move(directories)) {}

ResourceLocator ResourceLocator::standard() {
#ifdef VORLANE_SOUNDS_BUILD_DIR
  const std::filesystem::path buildDir = VORLANE_SOUNDS_BUILD_DIR;
#else
  const std::filesystem::path buildDir;
#endif
  return ResourceLocator(standardDirectories(readEnvironment, executableDirectory(), buildDir));
}

std::vector<std::filesystem::path> ResourceLocator::standardDirectories(
    const Environment& environment, const std::filesystem::path& executableDir,
    const std::filesystem::path& buildDir) {
  std::vector<std::filesystem::path> result;
  if (auto overrideDir = environment("VORLANE_RESOURCE_DIR");
      overrideDir && !overrideDir->empty()) {
    result.emplace_back(*overrideDir);
  }
  if (!executableDir.empty()) {
    result.push_back((executableDir / ".." / "share" / "vorlane" / "sounds").lexically_normal());
  }
  if (!buildDir.empty()) {
    result.push_back(buildDir);
  }
  std::string dataDirs = environment("XDG_DATA_DIRS").value_or("");
  if (dataDirs.empty()) {
    dataDirs = "/usr/local/share:/usr/share";
  }
  std::size_t start = 0;
  while (start <= dataDirs.size()) {
    const std::size_t end = std::min(dataDirs.find(':', start), dataDirs.size());
    const std::filesystem::path entry = dataDirs.substr(start, end - start);
    // Relative entries are invalid there and would depend on the working folder.
    if (entry.is_absolute()) {
      result.push_back(entry / "vorlane" / "sounds");
    }
    start = end + 1;
  }
  return result;
}

std::optional<std::filesystem::path> ResourceLocator::find(const std::string& fileName) const {
  // A name with a folder part could reach outside the sound folders.
  if (fileName.empty() || fileName.find('/') != std::string::npos || fileName == "." ||
      fileName == "..") {
    return std::nullopt;
  }
  for (const std::filesystem::path& dir : directories_) {
    const std::filesystem::path candidate = dir / fileName;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) {
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace vorlane
