#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

namespace vorlane {

// Names for the identifiers of the quiet-app list, looked up afresh on every call.
class AppNames {
 public:
  // `applicationFolders`: where desktop entries live, most important first; `locale`: the
  // user's messages locale ("de_DE"), for localised names.
  AppNames(std::vector<std::filesystem::path> applicationFolders, std::string locale);
  // The applications/ folders of $XDG_DATA_HOME and $XDG_DATA_DIRS, and the locale from
  // LC_ALL, LC_MESSAGES or LANG.
  static AppNames standard();

  // The Name of "<id>.desktop" (localised when the entry has the locale's name), else the
  // name people know the application by, else the identifier itself.
  QString name(const std::string& appID) const;
  // The Linux application the identifier matches, by the alias table of the front-app
  // check: its name ("LibreOffice Impress"), "Chrome web app", or "not on Linux" for an
  // identifier only another system reports. Empty for anything else (a window class the
  // user typed matches itself).
  static QString linuxMatch(const std::string& appID);

 private:
  std::vector<std::filesystem::path> folders_;
  std::string locale_;
};

}  // namespace vorlane
