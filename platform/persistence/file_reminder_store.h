#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "core/reminders/in_memory_reminder_store.h"
#include "core/reminders/reminder_store.h"
#include "platform/persistence/carried_members.h"

namespace vorlane {

// The application's reminders, kept in memory and written whole, atomically, to one JSON
// file at every change; a change is kept only once it is written. One that cannot be written
// throws LocalJSONDocumentError in the records' own sentences (the disk is full, the data
// folder may not be written, or it could not be written at all; the system's reason logged)
// and leaves the list as it was. An unreadable file gives an empty list and is moved aside
// (with an error log line) before the first save would replace it; while it cannot be moved,
// every change is refused. Members a newer version stored in a reminder are written back
// unchanged while that reminder is kept. Main thread only.
class FileReminderStore final : public ReminderStore {
 public:
  using UtcClock = std::function<std::time_t()>;

  // "reminders.json" in the data folder; in memory only when the user has
  // no home folder.
  FileReminderStore();
  // The file at `url` (none: memory only); `now` stamps the name of a file moved aside
  // (the system clock when empty).
  explicit FileReminderStore(std::optional<std::filesystem::path> url, UtcClock now = {});

  const std::optional<std::filesystem::path>& url() const { return url_; }
  // Whether the file could not be read: it stays as it was until a save moves it aside.
  bool keepsUnreadableFile() const { return keepStoredFile_; }

  std::vector<Reminder> reminders() const override { return reminders_; }
  std::uint64_t revision() const override { return revision_; }
  void add(const Reminder& reminder) override;
  [[nodiscard]] bool update(const Reminder& reminder) override;
  void remove(const UUID& id) override;
  void pruneExpired(Date date) override;

 private:
  void load();
  // Writes `next` and then makes it the list; throws, with nothing changed, when it could
  // not be written.
  void commit(std::vector<Reminder> next);
  // Moves an unreadable file aside once; throws when it stays in the way.
  void moveStoredFileAside();

  std::optional<std::filesystem::path> url_;
  UtcClock now_;
  std::vector<Reminder> reminders_;
  std::uint64_t revision_ = 0;
  // The file could not be read and still has to be moved aside before a save.
  bool keepStoredFile_ = false;
  // Members a newer version stored in the reminders, written back with every save.
  CarriedMembers carried_;
};

}  // namespace vorlane
