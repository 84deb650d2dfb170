#pragma once

#include <functional>

#include "core/settings/preferences_store.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The application's settings store: the record in memory, stored as JSON under the
// record-store key "preferences". Read and write failures never stop the application: an
// unreadable stored record gives the default settings, and is moved aside (with an error
// log line) before the first write would replace it. Main thread only.
class RecordPreferencesStore final : public PreferencesStore {
 public:
  using Callback = std::function<void(const Preferences&)>;

  static constexpr const char* key = "preferences";

  // Loads the record; `defaults` must outlive the store.
  explicit RecordPreferencesStore(RecordStore& defaults);

  Preferences preferences() const override { return cached_; }

  // Keeps the record, tells the observers if it differs from the current one, stores it
  // and calls the owner's callback (always, even for an equal record or a failed write).
  // An observer may set the preferences again: the newest record is then the one stored and
  // given to the owner.
  void setPreferences(const Preferences& preferences) override;

  // The owner's callback, run after every write; empty removes it.
  void setOnChange(Callback onChange) { onChange_ = std::move(onChange); }

 private:
  void store(const Preferences& preferences);

  RecordStore& defaults_;
  Preferences cached_;
  Callback onChange_;
  // Counts setPreferences calls, so that an outer call knows when an observer set a newer
  // record from inside it.
  unsigned long long generation_ = 0;
  // The stored bytes could not be read and still have to be moved aside before a write.
  bool keepStoredBytes_ = false;
};

}  // namespace vorlane
