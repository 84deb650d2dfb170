#pragma once

#include "core/settings/preferences_store.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The application's settings store: the record in memory, stored as JSON under the
// record-store key "preferences". Read and write failures never stop the application: an
// unreadable stored record gives the default settings, and is moved aside (with an error
// log line) before the first write would replace it. Main thread only.
class RecordPreferencesStore final : public PreferencesStore {
 public:
  static constexpr const char* key = "preferences";

  // Loads the record; `defaults` must outlive the store.
  explicit RecordPreferencesStore(RecordStore& defaults);

  Preferences preferences() const override { return cached_; }

  // Keeps and stores the record (an equal one too), then tells the observers if it differs
  // from the one before. An observer may set the preferences again: the newest record is
  // the one stored and the last one every observer hears.
  void setPreferences(const Preferences& preferences) override;

 private:
  void store(const Preferences& preferences);

  RecordStore& defaults_;
  Preferences cached_;
  // The stored bytes could not be read and still have to be moved aside before a write.
  bool keepStoredBytes_ = false;
};

}  // namespace vorlane
