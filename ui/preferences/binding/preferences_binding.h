#pragma once

#include <functional>

#include "core/settings/preferences_store.h"

namespace vorlane {

// The preferences window's one way to the settings: every read is the store's current
// record, every user change is one whole-record write of that record with one field
// changed, and the panels redraw whenever the store announces a different record. Writes
// asked for while a panel is being redrawn are dropped, so a redraw never writes back.
// Main thread only.
class PreferencesBinding {
 public:
  using Redraw = std::function<void(const Preferences&)>;
  using Subscription = Observers<Preferences>::Subscription;

  // `store` must outlive the binding.
  explicit PreferencesBinding(PreferencesStore& store) : store_(store) {}
  PreferencesBinding(const PreferencesBinding&) = delete;
  PreferencesBinding& operator=(const PreferencesBinding&) = delete;

  Preferences record() const { return store_.preferences(); }

  // One user change: the current record, changed, written once; nothing when the change
  // leaves the record as it was.
  void edit(const std::function<void(Preferences&)>& change);

  // Draws `redraw` with the current record now, and again at each change of the record,
  // until the subscription goes.
  [[nodiscard]] Subscription follow(Redraw redraw);

  bool isRedrawing() const { return redrawing_ > 0; }

 private:
  void draw(const Redraw& redraw, const Preferences& record);

  PreferencesStore& store_;
  int redrawing_ = 0;
};

}  // namespace vorlane
