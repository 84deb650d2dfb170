#pragma once

#include <filesystem>
#include <optional>

namespace vorlane {

// The XDG base folder named by `value` (the variable's contents, or null when unset), falling
// back to `home` / `fallback` when it is unset, empty or relative. None when neither gives an
// absolute path.
[[nodiscard]] std::optional<std::filesystem::path> xdgBaseFolder(const char* value,
                                                                 const char* home,
                                                                 const char* fallback);

// "$XDG_CONFIG_HOME/vorlane" (~/.config/vorlane): the config folder, home of the records.
[[nodiscard]] std::optional<std::filesystem::path> configFolder();

// "$XDG_DATA_HOME/Vorlane" (~/.local/share/Vorlane): the data folder.
[[nodiscard]] std::optional<std::filesystem::path> dataFolder();

}  // namespace vorlane
