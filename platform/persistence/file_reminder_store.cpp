#include "platform/persistence/file_reminder_store.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "platform/logging/log.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/json_coding.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/xdg_folders.h"

namespace vorlane {

namespace {

std::optional<std::filesystem::path> defaultLocation() {
  auto folder = dataFolder();
  if (!folder) return std::nullopt;
  return *folder / "reminders.json";
}

// The records' sentence for a write that failed with `error`.
LocalJSONDocumentError refusal(const std::exception& error) {
  const auto* system = dynamic_cast<const std::system_error*>(&error);
  return LocalJSONDocumentError(system ? writeFailure(system->code().value())
                                       : LocalJSONDocumentFailure::notWritten);
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
    // A folder that cannot be created shows up as a refused save, which is logged then.
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
      std::vector<Reminder> decoded = JsonCoding<std::vector<Reminder>>::decode(document);
      carried_.read(document, JsonCoding<std::vector<Reminder>>::encode(decoded));
      reminders_ = std::move(decoded);
      return;
    } catch (const std::exception&) {
      // All or nothing: one bad reminder leaves the list empty, and the file is kept below.
    }
  }
  keepStoredFile_ = true;
}

void FileReminderStore::commit(std::vector<Reminder> next) {
  if (!url_) {
    reminders_ = std::move(next);
    ++revision_;
    return;
  }
  std::string bytes;
  Json written;
  Json stored;
  try {
    written = JsonCoding<std::vector<Reminder>>::encode(next);
    stored = carried_.carriedInto(written);
    bytes = json::dump(stored);
  } catch (const std::exception& error) {
    Log::reminders().error("could not encode reminders, file left as it was: %{public}s",
                           error.what());
    throw LocalJSONDocumentError(LocalJSONDocumentFailure::invalid);
  }
  moveStoredFileAside();
  try {
    createFolders(url_->parent_path());
    writeFileAtomically(*url_, bytes);
  } catch (const std::exception& error) {
    Log::reminders().error("could not save reminders: %{public}s", error.what());
    throw refusal(error);
  }
  carried_.wrote(std::move(stored), written);
  reminders_ = std::move(next);
  ++revision_;
}

void FileReminderStore::moveStoredFileAside() {
  if (!keepStoredFile_) return;
  try {
    if (auto where = moveAside(*url_, now_())) {
      Log::reminders().error("unreadable reminders file moved aside to %{public}s",
                             where->string());
    }
  } catch (const std::exception& error) {
    Log::reminders().error(
        "unreadable reminders file could not be moved aside, not saving: %{public}s", error.what());
    throw refusal(error);
  }
  keepStoredFile_ = false;
}

void FileReminderStore::add(const Reminder& reminder) {
  InMemoryReminderStore next(reminders_);
  next.add(reminder);
  commit(next.reminders());
}

bool FileReminderStore::update(const Reminder& reminder) {
  InMemoryReminderStore next(reminders_);
  if (!next.update(reminder)) return false;
  commit(next.reminders());
  return true;
}

void FileReminderStore::remove(const UUID& id) {
  InMemoryReminderStore next(reminders_);
  next.remove(id);
  commit(next.reminders());
}

void FileReminderStore::pruneExpired(Date date) {
  // Asked at every tick: the list is copied only when there is something to forget.
  const auto expired = [&](const Reminder& r) { return r.hasExpired(date); };
  if (std::none_of(reminders_.begin(), reminders_.end(), expired)) return;
  InMemoryReminderStore next(reminders_);
  next.pruneExpired(date);
  commit(next.reminders());
}

}  // namespace vorlane
