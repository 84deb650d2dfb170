#include "platform/persistence/file_reminder_store.h"

#include <exception>

#include "platform/logging/log.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/json_coding.h"
#include "platform/persistence/xdg_folders.h"

namespace vorlane {

namespace {

std::optional<std::filesystem::path> defaultLocation() {
  auto folder = dataFolder();
  if (!folder) return std::nullopt;
  return *folder / "reminders.json";
}

}  // namespace

FileReminderStore::FileReminderStore() : FileReminderStore(defaultLocation()) {}

FileReminderStore::FileReminderStore(std::optional<std::filesystem::path> url, UtcClock now)
    : url_(std::move(url)), now_(std::move(now)) {
  if (!now_) now_ = [] { return std::time(nullptr); };
  if (!url_) return;
  try {
    createFolders(url_->parent_path());
  } catch (const std::exception&) {
    // A folder that cannot be created shows up as a failed save, which is logged then.
  }
  load();
}

void FileReminderStore::load() {
  if (!url_) return;
  const StoredData stored = readStoredFile(*url_);
  if (stored.isMissing()) return;
  if (stored.hasValue()) {
    try {
      const Json document = json::parse(stored.bytes());
      for (const Reminder& reminder : JsonCoding<std::vector<Reminder>>::decode(document)) {
        memory_.add(reminder);
      }
      carried_.read(document, JsonCoding<std::vector<Reminder>>::encode(memory_.reminders()));
      return;
    } catch (const std::exception&) {
      // All or nothing: one bad reminder leaves the list empty, and the file is kept below.
    }
  }
  keepStoredFile_ = true;
}

void FileReminderStore::save() {
  if (!url_) return;
  std::string bytes;
  try {
    const Json written = JsonCoding<std::vector<Reminder>>::encode(memory_.reminders());
    Json stored = carried_.carriedInto(written);
    bytes = json::dump(stored);
    carried_.wrote(std::move(stored), written);
  } catch (const std::exception& error) {
    Log::reminders().error("could not encode reminders, file left as it was: %{public}s",
                           error.what());
    return;
  }
  if (keepStoredFile_) {
    try {
      if (auto where = moveAside(*url_, now_())) {
        Log::reminders().error("unreadable reminders file moved aside to %{public}s",
                               where->string());
      }
      keepStoredFile_ = false;
    } catch (const std::exception& error) {
      Log::reminders().error(
          "unreadable reminders file could not be moved aside, not saving: %{public}s",
          error.what());
      return;
    }
  }
  try {
    createFolders(url_->parent_path());
    writeFileAtomically(*url_, bytes);
  } catch (const std::exception& error) {
    Log::reminders().error("could not save reminders: %{public}s", error.what());
  }
}

void FileReminderStore::add(const Reminder& reminder) {
  memory_.add(reminder);
  save();
}

bool FileReminderStore::update(const Reminder& reminder) {
  if (!memory_.update(reminder)) return false;
  save();
  return true;
}

void FileReminderStore::remove(const UUID& id) {
  memory_.remove(id);
  save();
}

void FileReminderStore::pruneExpired(Date date) {
  const std::size_t count = memory_.count();
  memory_.pruneExpired(date);
  if (memory_.count() != count) save();
}

}  // namespace vorlane
