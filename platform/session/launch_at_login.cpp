#include "platform/session/launch_at_login.h"

#include <cerrno>
#include <system_error>

#include "platform/persistence/atomic_file.h"
#include "platform/persistence/xdg_folders.h"

namespace vorlane {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view reservedCharacters = " \t\n\"'\\><~|&;$*?#()`";

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

LaunchAtLogin::LaunchAtLogin(fs::path entryFile, std::string executable)
    : entryFile_(std::move(entryFile)), executable_(std::move(executable)) {}

std::optional<fs::path> LaunchAtLogin::defaultEntryFile() {
  // The records folder is "<config>/vorlane"; autostart entries sit beside it.
  const auto recordsFolder = configFolder();
  if (!recordsFolder) return std::nullopt;
  return recordsFolder->parent_path() / "autostart" / "com.corvantis.vorlane.desktop";
}

LaunchAtLoginStatus LaunchAtLogin::status() {
  const StoredData stored = readStoredFile(entryFile_);
  if (!stored.hasValue() || !autostartEntryEnabled(stored.bytes())) {
    return LaunchAtLoginStatus::notRegistered;
  }
  return LaunchAtLoginStatus::enabled;
}

void LaunchAtLogin::registerApp() {
  createFolders(entryFile_.parent_path());
  writeFileAtomically(entryFile_, autostartEntry(executable_));
}

void LaunchAtLogin::unregisterApp() {
  if (!removeFile(entryFile_)) {
    throw std::system_error(errno, std::generic_category(), entryFile_.string());
  }
}

std::string autostartEntry(std::string_view executable) {
  return "[Desktop Entry]\nType=Application\nName=Vorlane\nExec=" +
         desktopExecArgument(executable) + "\nX-GNOME-Autostart-enabled=true\n";
}

std::string desktopExecArgument(std::string_view path) {
  const bool quote = path.find_first_of(reservedCharacters) != std::string_view::npos;
  std::string argument;
  if (quote) argument += '"';
  for (char c : path) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) argument += '\\';
    if (c == '%') argument += '%';
    argument += c;
  }
  if (quote) argument += '"';
  // The file's string escaping on top of the command line's quoting.
  std::string value;
  for (char c : argument) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      default:
        value += c;
    }
  }
  return value;
}

bool autostartEntryEnabled(std::string_view text) {
  bool inEntryGroup = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntryGroup = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inEntryGroup || equals == std::string_view::npos) continue;
    if (trimmed(line.substr(0, equals)) == "Hidden" && trimmed(line.substr(equals + 1)) == "true") {
      return false;
    }
  }
  return true;
}

}  // namespace vorlane
