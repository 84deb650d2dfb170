#include "platform/persistence/record_preferences_store.h"

#include <exception>
#include <system_error>
#include <vector>

#include "foundation/json.h"
#include "platform/logging/log.h"

namespace vorlane {

RecordPreferencesStore::RecordPreferencesStore(RecordStore& recordStore, Saving saving)
    : recordStore_(recordStore) {
  const StoredData stored = recordStore_.data(key);
  if (stored.hasValue()) {
    try {
      const Json document = json::parse(stored.bytes());
      cached_ = Preferences::decode(document);
      carried_.read(document, cached_.encode());
    } catch (const std::exception&) {
      // Undecodable: the defaults stand, as for an unreadable record.
      keepStoredBytes_ = true;
    }
  } else if (stored.unreachableError()) {
    // Not damaged: the user's link stays, and the defaults stand in memory meanwhile.
    writeOnlyIfMissing_ = true;
    Log::lifecycle().error(
        "the preferences are a link whose target cannot be reached, kept as it is; starting on "
        "the defaults: %{public}s",
        stored.reason());
  } else if (!stored.isMissing()) {
    keepStoredBytes_ = true;
  }
  if (saving == Saving::inBackground) {
    try {
      writer_ = std::make_unique<LatestBytesWriter>(
          [this](const std::string& bytes) { return write(bytes); });
    } catch (const std::system_error& error) {
      // No thread to be had: the settings are still saved, only on the caller's thread.
      Log::lifecycle().error("preferences are saved without a writer thread: %{public}s",
                             error.what());
    }
  }
}

RecordPreferencesStore::~RecordPreferencesStore() = default;

void RecordPreferencesStore::setPreferences(const Preferences& preferences) {
  const bool changed = !(preferences == cached_);
  cached_ = preferences;
  std::string bytes;
  try {
    const Json written = preferences.encode();
    Json stored = carried_.carriedInto(written);
    bytes = json::dump(stored);
    carried_.wrote(std::move(stored), written);
  } catch (const std::exception&) {
    // An unencodable record keeps the previous bytes, silently.
    if (changed) announceChange();
    return;
  }
  if (writer_) {
    writer_->submit(std::move(bytes));
  } else {
    write(bytes);
  }
  if (changed) announceChange();
}

void RecordPreferencesStore::flush() {
  if (writer_) writer_->flush();
}

bool RecordPreferencesStore::write(const std::string& bytes) {
  if (writeOnlyIfMissing_) {
    // What is there now was never read: it is not replaced by settings that began without it.
    const StoredData stored = recordStore_.data(key);
    if (!stored.isMissing()) {
      Log::lifecycle().error(
          "could not save preferences: %{public}s",
          stored.isUnreadable() ? stored.reason() : "they appeared after the start, kept");
      return false;
    }
    writeOnlyIfMissing_ = false;
  }
  if (keepStoredBytes_) {
    // Kept aside in the same step as the write: a failure at any point leaves them in place,
    // never the settings without a record.
    try {
      const auto where = recordStore_.setDataKeepingAside(key, bytes);
      keepStoredBytes_ = false;
      if (where) Log::lifecycle().error("unreadable preferences moved aside to %{public}s", *where);
      return true;
    } catch (const std::exception& error) {
      Log::lifecycle().error("unreadable preferences left in place, not saving: %{public}s",
                             error.what());
      return false;
    }
  }
  try {
    recordStore_.setData(key, bytes);
    return true;
  } catch (const std::exception& error) {
    Log::lifecycle().error("could not save preferences: %{public}s", error.what());
    return false;
  }
}

}  // namespace vorlane
