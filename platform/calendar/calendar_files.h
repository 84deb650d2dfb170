#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace vorlane {

// Where calendars are read from: our own folder, into which the user drops, links or syncs
// .ics files, and Evolution's local calendars.
struct CalendarFolders {
  std::filesystem::path calendars;  // $XDG_DATA_HOME/Vorlane/calendars
  std::filesystem::path evolution;  // $XDG_DATA_HOME/evolution/calendar

  // From the environment; none when there is no usable home folder.
  static std::optional<CalendarFolders> standard();
};

// Files larger than this are skipped rather than read into memory.
inline constexpr std::uintmax_t maxCalendarFileBytes = 20 * 1024 * 1024;

// Every regular *.ics file below `calendars` (symbolic links followed, each folder visited
// once however it is reached, at most 16 levels deep), sorted by path; then every
// `evolution`/*/calendar.ics, sorted. Files over the size limit and anything that cannot be
// read are left out.
std::vector<std::filesystem::path> calendarFiles(const CalendarFolders& folders);

}  // namespace vorlane
