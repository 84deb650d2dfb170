#include "platform/calendar/calendar_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace vorlane {

std::optional<std::string> readCalendarFile(const std::filesystem::path& path) {
  // Non-blocking, so that a FIFO put in a file's place cannot stall the reader.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> result;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      std::uintmax_t(st.st_size) <= maxCalendarFileBytes) {
    std::string bytes;
    char buffer[65536];
    bool failed = false;
    while (true) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        failed = true;
        break;
      }
      bytes.append(buffer, std::size_t(n));
      if (bytes.size() > maxCalendarFileBytes) {  // grew while being read
        failed = true;
        break;
      }
    }
    if (!failed) result = std::move(bytes);
  }
  ::close(fd);
  return result;
}

CalendarReader::CalendarReader(std::optional<CalendarFolders> folders, IcsReadOptions options)
    : folders_(std::move(folders)), options_(std::move(options)) {}

CalendarReader CalendarReader::standard() {
  return CalendarReader(
      CalendarFolders::standard(),
      IcsReadOptions{userEmailFromEnvironment(std::getenv("EMAIL")), Calendar::current()});
}

std::vector<BusyInterval> CalendarReader::read(DateInterval interval,
                                               const CancelToken& cancel) const {
  std::vector<BusyInterval> result;
  if (!folders_) return result;
  for (const std::filesystem::path& file : calendarFiles(*folders_)) {
    if (cancel.cancelled()) break;
    const std::optional<std::string> text = readCalendarFile(file);
    if (!text) continue;
    std::vector<BusyInterval> busy = busyIntervalsInIcs(*text, interval, options_);
    result.insert(result.end(), busy.begin(), busy.end());
  }
  return result;
}

std::vector<std::string> CalendarReader::places() const {
  if (!folders_) return {};
  return {folders_->calendars.string(), folders_->evolution.string()};
}

}  // namespace vorlane
