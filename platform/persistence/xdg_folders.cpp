#include "platform/persistence/xdg_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace vorlane {
namespace fs = std::filesystem;
namespace {

// $HOME, else the password database's entry for this user.
std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return {};
}

}  // namespace

std::optional<fs::path> xdgBaseFolder(const char* value, const char* home, const char* fallback) {
  if (value != nullptr && value[0] == '/') return fs::path(value);
  if (home != nullptr && home[0] == '/') return fs::path(home) / fallback;
  return std::nullopt;
}

std::optional<fs::path> configFolder() {
  const std::string home = homeFolder();
  auto base = xdgBaseFolder(std::getenv("XDG_CONFIG_HOME"), home.c_str(), ".config");
  if (!base) return std::nullopt;
  return *base / "vorlane";
}

std::optional<fs::path> dataFolder() {
  const std::string home = homeFolder();
  auto base = xdgBaseFolder(std::getenv("XDG_DATA_HOME"), home.c_str(), ".local/share");
  if (!base) return std::nullopt;
  return *base / "Vorlane";
}

}  // namespace vorlane
