#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "platform/calendar/busy_reader.h"
#include "platform/calendar/calendar_files.h"
#include "platform/calendar/ics_events.h"

namespace vorlane {

// Reads the busy stretches of every calendar file. Slow (it reads files): run it off the
// main thread. Read only; never writes a calendar.
class CalendarReader final : public BusyReader {
 public:
  // No folders (no home folder) means no calendars.
  CalendarReader(std::optional<CalendarFolders> folders, IcsReadOptions options);

  // The user's calendars as the environment places them, in the user's zone.
  static CalendarReader standard();

  const std::optional<CalendarFolders>& folders() const { return folders_; }

  // The busy stretches of all files that overlap `interval`, file by file in the order of
  // calendarFiles(). Files that cannot be read, grow past the size limit or are not regular
  // files any more are skipped. A cancelled read stops before the next file.
  std::vector<BusyInterval> read(DateInterval interval,
                                 const CancelToken& cancel = {}) const override;

  // The two folders, when there is a home folder.
  std::vector<std::string> places() const override;

 private:
  std::optional<CalendarFolders> folders_;
  IcsReadOptions options_;
};

// The whole file, or none when it is not a readable regular file within the size limit.
[[nodiscard]] std::optional<std::string> readCalendarFile(const std::filesystem::path& path);

}  // namespace vorlane
