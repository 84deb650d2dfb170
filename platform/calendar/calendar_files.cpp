#include "platform/calendar/calendar_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <utility>

#include "platform/persistence/xdg_folders.h"

namespace vorlane {

namespace fs = std::filesystem;

namespace {

constexpr int maxDepth = 16;

using FileID = std::pair<dev_t, ino_t>;

bool hasIcsSuffix(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension == ".ics";
}

// stat() follows links; a dangling link or an unreadable entry gives none.
std::optional<struct stat> statOf(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return st;
}

bool isReadableCalendar(const struct stat& st) {
  return S_ISREG(st.st_mode) && std::uintmax_t(st.st_size) <= maxCalendarFileBytes;
}

void collect(const fs::path& folder, int depth, std::set<FileID>& visited,
             std::vector<fs::path>& found) {
  const auto folderStat = statOf(folder);
  if (!folderStat || !S_ISDIR(folderStat->st_mode) || depth > maxDepth) return;
  // A folder reached twice (a link loop, or two links to one place) is read once.
  if (!visited.insert({folderStat->st_dev, folderStat->st_ino}).second) return;

  std::error_code error;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    const fs::directory_entry& entry = *it;
    const auto st = statOf(entry.path());
    if (!st) continue;
    if (S_ISDIR(st->st_mode)) {
      collect(entry.path(), depth + 1, visited, found);
    } else if (hasIcsSuffix(entry.path()) && isReadableCalendar(*st)) {
      found.push_back(entry.path());
    }
  }
}

}  // namespace

std::optional<CalendarFolders> CalendarFolders::standard() {
  const auto support = dataFolder();
  const auto data =
      xdgBaseFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), ".local/share");
  if (!support || !data) return std::nullopt;
  return CalendarFolders{*support / "calendars", *data / "evolution" / "calendar"};
}

std::vector<fs::path> calendarFiles(const CalendarFolders& folders) {
  std::vector<fs::path> own;
  std::set<FileID> visited;
  collect(folders.calendars, 0, visited, own);
  std::sort(own.begin(), own.end());

  std::vector<fs::path> evolution;
  std::error_code error;
  for (fs::directory_iterator it(folders.evolution, fs::directory_options::skip_permission_denied,
                                 error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    const fs::path file = it->path() / "calendar.ics";
    if (const auto st = statOf(file); st && isReadableCalendar(*st)) evolution.push_back(file);
  }
  std::sort(evolution.begin(), evolution.end());

  own.insert(own.end(), evolution.begin(), evolution.end());
  return own;
}

}  // namespace vorlane
