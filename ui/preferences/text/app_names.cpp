#include "ui/preferences/text/app_names.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>

#include "platform/desktop/windows/known_app_names.h"
#include "platform/desktop/windows/window_class.h"

namespace vorlane {
namespace {

// Desktop entries are a few kilobytes; anything far larger is not one.
constexpr std::streamsize longestEntry = 256 * 1024;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// An identifier from a stored record becomes a file name: nothing that could leave the folder.
bool isSafeFileStem(const std::string& id) {
  return !id.empty() && id.front() != '.' && id.find('/') == std::string::npos &&
         id.find('\0') == std::string::npos;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Name[ll_CC], then Name[ll], then Name from the [Desktop Entry] group.
std::optional<std::string> entryName(const std::filesystem::path& file, const std::string& locale) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(longestEntry), '\0');
  in.read(bytes.data(), longestEntry);
  bytes.resize(static_cast<std::size_t>(in.gcount()));

  const std::string language = locale.substr(0, locale.find('_'));
  std::optional<std::string> plain, byLanguage, byLocale;
  bool inEntry = false;
  std::string_view rest(bytes);
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    const std::string_view line = trimmed(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.starts_with('[')) {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = trimmed(line.substr(0, equals));
    const std::string value(trimmed(line.substr(equals + 1)));
    if (value.empty()) continue;
    if (key == "Name") plain = value;
    if (!locale.empty() && key == "Name[" + locale + "]") byLocale = value;
    if (!language.empty() && key == "Name[" + language + "]") byLanguage = value;
  }
  if (byLocale) return byLocale;
  if (byLanguage) return byLanguage;
  return plain;
}

}  // namespace

AppNames::AppNames(std::vector<std::filesystem::path> applicationFolders, std::string locale)
    : folders_(std::move(applicationFolders)), locale_(std::move(locale)) {
  // "de_DE.UTF-8@euro" names its entries "de_DE".
  locale_ = locale_.substr(0, locale_.find_first_of(".@"));
  if (locale_ == "C" || locale_ == "POSIX") locale_.clear();
}

AppNames AppNames::standard() {
  std::vector<std::filesystem::path> folders;
  std::string home = environment("XDG_DATA_HOME");
  if (home.empty() && !environment("HOME").empty()) home = environment("HOME") + "/.local/share";
  if (!home.empty()) folders.emplace_back(std::filesystem::path(home) / "applications");
  std::string dirs = environment("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
  std::string_view rest(dirs);
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string_view dir = rest.substr(0, colon);
    if (!dir.empty()) folders.emplace_back(std::filesystem::path(dir) / "applications");
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  }
  std::string locale = environment("LC_ALL");
  if (locale.empty()) locale = environment("LC_MESSAGES");
  if (locale.empty()) locale = environment("LANG");
  return AppNames(std::move(folders), std::move(locale));
}

QString AppNames::name(const std::string& appID) const {
  if (isSafeFileStem(appID)) {
    for (const auto& folder : folders_) {
      std::error_code error;
      const auto file = folder / (appID + ".desktop");
      if (!std::filesystem::is_regular_file(file, error)) continue;
      if (const auto name = entryName(file, locale_)) return QString::fromStdString(*name);
    }
  }
  if (const auto name = knownAppName(appID)) return QString::fromStdString(*name);
  if (const auto name = readableAppName(appID)) return QString::fromStdString(*name);
  return QString::fromStdString(appID);
}

QString AppNames::linuxMatch(const std::string& appID) {
  if (const auto name = readableAppName(appID)) return QString::fromStdString(*name);
  if (const auto windowClass = windowClassForAppID(appID)) {
    return QStringLiteral("Chrome web app");
  }
  if (knownAppName(appID)) return QStringLiteral("not on Linux");
  return {};
}

}  // namespace vorlane
