#include "platform/calendar/plugin_path.h"

#include <system_error>

namespace vorlane {

namespace fs = std::filesystem;

fs::path calendarPluginPath(const fs::path& name, const fs::path& built) {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path folder = program.parent_path();
    for (const fs::path& candidate : {folder / name, folder.parent_path() / "lib/vorlane" / name}) {
      if (fs::exists(candidate, error)) return candidate;
    }
  }
  return built;
}

}  // namespace vorlane
