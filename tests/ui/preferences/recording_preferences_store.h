#pragma once

#include <vector>

#include "core/settings/preferences_store.h"

namespace vorlane::testing {

// A settings store that keeps every write, equal or not, and announces only a differing
// record, as the application's store does.
class RecordingPreferencesStore final : public PreferencesStore {
 public:
  explicit RecordingPreferencesStore(Preferences record = Preferences()) : record_(record) {}

  Preferences preferences() const override { return record_; }
  void setPreferences(const Preferences& record) override {
    writes.push_back(record);
    if (record == record_) return;
    record_ = record;
    changes_.notify(record_);
  }
  // A change made elsewhere (the tray, the mascot): stored and announced, not counted.
  void changeElsewhere(const std::function<void(Preferences&)>& change) {
    Preferences record = record_;
    change(record);
    record_ = record;
    changes_.notify(record_);
  }

  std::vector<Preferences> writes;

 private:
  Preferences record_;
};

}  // namespace vorlane::testing
