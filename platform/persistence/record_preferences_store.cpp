#include "platform/persistence/record_preferences_store.h"

#include <exception>
#include <vector>

#include "foundation/json.h"
#include "platform/logging/log.h"

namespace vorlane {

RecordPreferencesStore::RecordPreferencesStore(RecordStore& defaults) : defaults_(defaults) {
  const StoredData stored = defaults_.data(key);
  if (stored.isMissing()) return;
  if (stored.hasValue()) {
    try {
      cached_ = Preferences::decode(json::parse(stored.bytes()));
      return;
    } catch (const std::exception&) {
      // Undecodable: the defaults stand, as for an unreadable record.
    }
  }
  keepStoredBytes_ = true;
}

void RecordPreferencesStore::setPreferences(const Preferences& preferences) {
  const bool changed = !(preferences == cached_);
  cached_ = preferences;
  store(preferences);
  if (changed) announceChange();
}

void RecordPreferencesStore::store(const Preferences& preferences) {
  std::string bytes;
  try {
    bytes = json::dump(preferences.encode());
  } catch (const std::exception&) {
    return;  // An unencodable record keeps the previous bytes, silently.
  }
  if (keepStoredBytes_) {
    try {
      if (auto where = defaults_.setAside(key)) {
        Log::lifecycle().error("unreadable preferences moved aside to %{public}s", *where);
      }
      keepStoredBytes_ = false;
    } catch (const std::exception& error) {
      Log::lifecycle().error(
          "unreadable preferences could not be moved aside, not saving: %{public}s", error.what());
      return;
    }
  }
  try {
    defaults_.setData(key, bytes);
  } catch (const std::exception& error) {
    Log::lifecycle().error("could not save preferences: %{public}s", error.what());
  }
}

}  // namespace vorlane
