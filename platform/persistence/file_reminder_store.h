#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/reminders/in_memory_reminder_store.h"
#include "core/reminders/reminder_store.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/carried_members.h"

namespace vorlane {

// The application's reminders, kept in memory and written whole, atomically, to one JSON
// file at every change; a change is kept only once it is written. One that cannot be written
// throws LocalJSONDocumentError in the records' own sentences (the disk is full, the data
// folder may not be written or is not a folder, or it could not be written at all; the
// system's reason logged), PathNotAFolderError naming a file that stands elsewhere in the
// file's way (in a link's target path, above the data folder), NotARegularFileError naming the
// target of a link that is not a regular file (a device, a FIFO; kept, nothing made beside it),
// or ReminderListFullError when the list would pass the size of a file that can be read back,
// and leaves the list as it was. Once the new list has the file's name the change is kept,
// even should the folder then fail to flush (logged).
//
// The reminders are read one by one: those that do not decode (not JSON on their own, or a
// value the program never writes) are left out, counted in one error log line; a file cut
// short, or with bytes after its list, keeps the reminders before the damage. A file with
// any left out, or that cannot be read at all (not a list, too large), is kept under its aside
// name, bytes unchanged, by the first save that replaces it (with an error log line), the file
// never left without the old bytes or the new list in between; while it cannot be kept aside,
// every change is refused. A file behind a symbolic link whose target cannot be
// reached is kept, link and all: the list is empty and every change is refused with the
// sentence for the cause, until the target can be reached and the file is read again.
// Members a newer version stored in a reminder are written back unchanged while that reminder
// is kept. Main thread only.
class FileReminderStore final : public ReminderStore {
 public:
  using UtcClock = std::function<std::time_t()>;

  // The file's name in the data folder.
  static constexpr const char* fileName = "reminders.json";

  // "reminders.json" in the data folder; in memory only when the user has
  // no home folder.
  FileReminderStore();
  // The file at `url` (none: memory only); `now` stamps the name of a file moved aside
  // (the system clock when empty).
  explicit FileReminderStore(std::optional<std::filesystem::path> url, UtcClock now = {});

  const std::optional<std::filesystem::path>& url() const { return url_; }
  // Whether the file could not be read, or not all of it: it stays as it was until a save
  // moves it aside.
  bool keepsUnreadableFile() const { return keepStoredFile_; }
  // What the last read of the file found: the reminders read from it, how many of its
  // elements were left out as they did not decode, and where in the file (a byte offset) the
  // part that could not be read at all starts, past which nothing was read (none when the
  // list was whole). All none when the file was missing or could not be read at all.
  std::size_t readCount() const { return readCount_; }
  std::size_t leftOutCount() const { return leftOutCount_; }
  std::optional<std::size_t> unreadFrom() const { return unreadFrom_; }

  std::vector<Reminder> reminders() const override { return reminders_; }
  std::uint64_t revision() const override { return revision_; }
  void add(const Reminder& reminder) override;
  [[nodiscard]] bool update(const Reminder& reminder) override;
  void remove(const UUID& id) override;
  void pruneExpired(Date date) override;

 private:
  void load();
  // Decodes the reminders of a file that is a list, leaving out those that do not decode and
  // keeping those before any damage; throws when it is not a list.
  void decode(const std::string& bytes);
  // While the file lies behind a link whose target cannot be reached: reads it again, and
  // throws the refusal for the cause (logged) when it still cannot be reached.
  void reachStoredFile();
  // Writes `next` and then makes it the list; throws, with nothing changed, when it could
  // not be written.
  void commit(std::vector<Reminder> next);
  // Gives an unreadable file its aside name before `replacement` takes its place; the name,
  // none when there is nothing to keep. Throws the refusal (logged) when it cannot.
  std::optional<std::filesystem::path> keepStoredFileAside(FileReplacement& replacement);
  // Throws the refusal for a write that failed with the system's `error` number (none: for
  // another cause).
  [[noreturn]] void refuse(std::optional<int> error) const;

  std::optional<std::filesystem::path> url_;
  UtcClock now_;
  std::vector<Reminder> reminders_;
  std::uint64_t revision_ = 0;
  // The cause of the last refused write already in the log; none once a write goes through.
  std::optional<std::string> loggedWriteFailure_;
  // The file could not be read and still has to be moved aside before a save.
  bool keepStoredFile_ = false;
  // The file lies behind a link whose target could not be reached when last read.
  bool unreachable_ = false;
  // Members a newer version stored in the reminders, written back with every save.
  CarriedMembers carried_;
  // What the last read of the file found.
  std::size_t readCount_ = 0;
  std::size_t leftOutCount_ = 0;
  std::optional<std::size_t> unreadFrom_;
};

}  // namespace vorlane
