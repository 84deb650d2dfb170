#pragma once

#include <utility>

#include "core/settings/preferences_store.h"

namespace vorlane {

// A store that only keeps the record in memory: no persistence; changes are announced as
// by the application's store.
class InMemoryPreferencesStore final : public PreferencesStore {
 public:
  explicit InMemoryPreferencesStore(Preferences preferences = Preferences())
      : preferences_(std::move(preferences)) {}

  Preferences preferences() const override { return preferences_; }
  void setPreferences(const Preferences& preferences) override {
    if (preferences == preferences_) return;
    preferences_ = preferences;
    announceChange();
  }

 private:
  Preferences preferences_;
};

}  // namespace vorlane
