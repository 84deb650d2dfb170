#include "platform/persistence/file_reminder_store.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/logging/log.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/json_coding.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/not_a_regular_file_error.h"
#include "platform/persistence/path_not_a_folder_error.h"
#include "platform/persistence/reminder_list_full_error.h"
#include "platform/persistence/xdg_folders.h"

namespace vorlane {

namespace {

std::optional<std::filesystem::path> defaultLocation() {
  auto folder = dataFolder();
  if (!folder) return std::nullopt;
  return *folder / FileReminderStore::fileName;
}

// The system's error number behind a failed write; none for any other failure.
std::optional<int> errorNumber(const std::exception& error) {
  const auto* system = dynamic_cast<const std::system_error*>(&error);
  if (system == nullptr) return std::nullopt;
  return system->code().value();
}

struct StoredReminder {
  Json value;
  Reminder reminder;
};

// Whether the text opens an object with members, as every reminder does: a brace, then the
// quote of a key.
bool opensObjectWithMembers(std::string_view text) {
  constexpr const char* blanks = " \t\n\r";
  const std::size_t brace = text.find_first_not_of(blanks);
  if (brace == std::string_view::npos || text[brace] != '{') return false;
  const std::size_t key = text.find_first_not_of(blanks, brace + 1);
  return key != std::string_view::npos && text[key] == '"';
}

// The element's value and the reminder it holds; none when it holds none. The cheap tests
// come first, so that millions of elements that are no reminders read in about the time as
// many reminders take: one that does not open an object with members is not parsed, and one
// without a reminder's members is not decoded (a decode that fails throws).
std::optional<StoredReminder> storedReminder(const json::ArrayElement& element) {
  if (!opensObjectWithMembers(element.text)) return std::nullopt;
  std::optional<Json> value = json::parseElement(element);
  if (!value || !Reminder::hasMembers(*value)) return std::nullopt;
  try {
    Reminder reminder = JsonCoding<Reminder>::decode(*value);
    return StoredReminder{std::move(*value), std::move(reminder)};
  } catch (const std::exception&) {
    return std::nullopt;  // a value the program never writes
  }
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
  readCount_ = 0;
  leftOutCount_ = 0;
  unreadFrom_.reset();
  if (!url_) return;
  const StoredData stored = readStoredFile(*url_);
  if (stored.isMissing()) return;
  if (stored.unreachableError()) {
    unreachable_ = true;
    Log::reminders().error(
        "the reminders file is a link whose target cannot be reached, kept as it is; changes "
        "are refused meanwhile: %{public}s",
        stored.reason());
    return;
  }
  if (stored.hasValue()) {
    try {
      decode(stored.bytes());
      return;
    } catch (const std::exception&) {
      // Not a list: nothing can be read, and the file is kept below.
    }
  }
  keepStoredFile_ = true;
}

void FileReminderStore::decode(const std::string& bytes) {
  std::vector<Reminder> decoded;
  Json readable = Json::array();
  std::size_t leftOut = 0;
  const json::ArrayScan scan = json::scanElements(bytes, [&](const json::ArrayElement& element) {
    std::optional<StoredReminder> stored = storedReminder(element);
    if (!stored) {
      ++leftOut;
      return;
    }
    readable.push_back(std::move(stored->value));
    decoded.push_back(std::move(stored->reminder));
  });
  carried_.read(readable, JsonCoding<std::vector<Reminder>>::encode(decoded));
  reminders_ = std::move(decoded);
  readCount_ = reminders_.size();
  leftOutCount_ = leftOut;
  // A file cut short, or with bytes after its list, hid whatever it held past the damage.
  if (!scan.whole) unreadFrom_ = scan.unreadFrom;
  if (scan.whole && leftOut == 0) return;
  // Only the count, the damage counted as one: what the user wrote stays out of the log.
  Log::reminders().error(
      "stored reminders that could not be read were left out, the file to be moved aside "
      "before the next save: %u",
      leftOut + (scan.whole ? 0 : 1));
  keepStoredFile_ = true;
}

void FileReminderStore::reachStoredFile() {
  if (!unreachable_) return;
  const StoredData stored = readStoredFile(*url_);
  if (const auto error = stored.unreachableError()) {
    const auto part = *error == ENOTDIR ? partNotAFolder(*url_) : std::nullopt;
    if (part) {
      Log::reminders().error("could not save reminders: %{public}s, as %{public}s is not a folder",
                             stored.reason(), part->string());
    } else {
      Log::reminders().error("could not save reminders: %{public}s", stored.reason());
    }
    refuse(*error);
  }
  // Nothing was kept while it could not be reached: the list is the file's.
  unreachable_ = false;
  reminders_.clear();
  carried_ = CarriedMembers();
  load();
  ++revision_;
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
  // What could not be read back would be lost at the next start.
  if (bytes.size() > maximumStoredFileSize) {
    Log::reminders().error("could not save reminders: %u bytes would not be read back",
                           static_cast<unsigned long>(bytes.size()));
    throw ReminderListFullError(reminders_.size());
  }
  // The new list is on disk beside the file before the file is kept aside and then replaced:
  // at every moment the file holds the old bytes or the new list, and a save refused at any
  // step leaves it, the list and the file still to be kept aside as they were.
  std::optional<std::filesystem::path> aside;
  std::optional<std::string> unflushed;
  try {
    createFolders(url_->parent_path());
    FileReplacement replacement(*url_, bytes);
    aside = keepStoredFileAside(replacement);
    unflushed = replacement.replace();
  } catch (const LocalJSONDocumentError&) {
    throw;  // logged where it was refused
  } catch (const std::exception& error) {
    // The clean-up of expired reminders tries again while the disk refuses: one line for each
    // cause until a save goes through, not one for every try.
    if (loggedWriteFailure_ != error.what()) {
      Log::reminders().error("could not save reminders: %{public}s", error.what());
      loggedWriteFailure_ = error.what();
    }
    refuse(errorNumber(error));
  }
  // From here on the file holds the new list: memory follows it, whatever is said below.
  if (aside) {
    Log::reminders().error("unreadable reminders file moved aside to %{public}s", aside->string());
  }
  if (unflushed) {
    Log::reminders().info(
        "reminders saved, though their folder could not be flushed, so a system crash soon may "
        "bring back the list before: %{public}s",
        *unflushed);
  }
  keepStoredFile_ = false;
  loggedWriteFailure_.reset();
  carried_.wrote(std::move(stored), written);
  reminders_ = std::move(next);
  ++revision_;
}

std::optional<std::filesystem::path> FileReminderStore::keepStoredFileAside(
    FileReplacement& replacement) {
  if (!keepStoredFile_) return std::nullopt;
  try {
    return replacement.keepAside(now_());
  } catch (const std::exception& error) {
    Log::reminders().error(
        "unreadable reminders file could not be moved aside, not saving: %{public}s", error.what());
    refuse(errorNumber(error));
  }
}

void FileReminderStore::refuse(std::optional<int> error) const {
  if (!error) throw LocalJSONDocumentError(LocalJSONDocumentFailure::notWritten);
  // "Vorlane's data folder is not a folder" only when it is that folder: a file in the way of
  // a link's target, or above the data folder, is named.
  if (*error == ENOTDIR) {
    std::error_code differs;
    const auto part = partNotAFolder(*url_);
    if (part && !std::filesystem::equivalent(*part, url_->parent_path(), differs)) {
      throw PathNotAFolderError(*part);
    }
  }
  if (*error == EINVAL) {
    if (const auto target = linkTargetNotAFile(*url_)) throw NotARegularFileError(*target);
  }
  throw LocalJSONDocumentError(writeFailure(*error));
}

void FileReminderStore::add(const Reminder& reminder) {
  reachStoredFile();
  InMemoryReminderStore next(reminders_);
  next.add(reminder);
  commit(next.reminders());
}

bool FileReminderStore::update(const Reminder& reminder) {
  reachStoredFile();
  InMemoryReminderStore next(reminders_);
  if (!next.update(reminder)) return false;
  commit(next.reminders());
  return true;
}

void FileReminderStore::remove(const UUID& id) {
  reachStoredFile();
  InMemoryReminderStore next(reminders_);
  next.remove(id);
  commit(next.reminders());
}

void FileReminderStore::pruneExpired(Date date) {
  // Nothing is held while the file cannot be reached, so nothing can expire.
  if (unreachable_) return;
  // Asked at every tick: the list is copied only when there is something to forget.
  const auto expired = [&](const Reminder& r) { return r.hasExpired(date); };
  if (std::none_of(reminders_.begin(), reminders_.end(), expired)) return;
  InMemoryReminderStore next(reminders_);
  next.pruneExpired(date);
  commit(next.reminders());
}

}  // namespace vorlane
