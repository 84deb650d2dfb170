#pragma once

#include "core/settings/preferences.h"

namespace vorlane {

// Where the current settings live. Every holder of one store sees the same record; reads
// hand out copies, so a change only takes effect through setPreferences.
class PreferencesStore {
 public:
  PreferencesStore() = default;
  PreferencesStore(const PreferencesStore&) = delete;
  PreferencesStore& operator=(const PreferencesStore&) = delete;
  virtual ~PreferencesStore() = default;

  // A copy of the current record.
  virtual Preferences preferences() const = 0;
  // Replaces the whole record.
  virtual void setPreferences(const Preferences& preferences) = 0;
};

}  // namespace vorlane
