#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/contracts/launch_at_login_service.h"

namespace vorlane {

// An XDG autostart entry, "<config>/autostart/com.corvantis.vorlane.desktop". Enabled when
// the file exists and its [Desktop Entry] group does not say Hidden=true; an unreadable file
// counts as not enabled.
class LaunchAtLogin final : public LaunchAtLoginService {
 public:
  LaunchAtLogin(std::filesystem::path entryFile, std::string executable);

  // The entry in $XDG_CONFIG_HOME/autostart (~/.config when unset or relative); none when no
  // home folder is known.
  static std::optional<std::filesystem::path> defaultEntryFile();

  LaunchAtLoginStatus status() override;
  // Creates the folder when missing and writes the entry atomically.
  void registerApp() override;
  // A missing entry counts as removed.
  void unregisterApp() override;

 private:
  std::filesystem::path entryFile_;
  std::string executable_;
};

// The entry's text for an executable path.
std::string autostartEntry(std::string_view executable);

// The Exec value for one path: quoted when it holds a space or a reserved character (with
// `"`, backquote, `$` and `\` escaped inside the quotes, then every `\` doubled by the
// file's own string escaping), and `%` written `%%`.
std::string desktopExecArgument(std::string_view path);

// Whether an entry's text keeps it enabled: no Hidden=true in its [Desktop Entry] group.
bool autostartEntryEnabled(std::string_view text);

}  // namespace vorlane
