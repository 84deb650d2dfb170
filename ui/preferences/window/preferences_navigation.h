#pragma once

#include <optional>

#include "foundation/observers.h"
#include "ui/preferences/window/preferences_section.h"

namespace vorlane {

// Which panel the preferences window shows: one per process, kept by the application shell
// so that reopening the window returns to the last panel. No selection shows Desktop.
// Main thread only.
class PreferencesNavigation {
 public:
  explicit PreferencesNavigation(
      std::optional<PreferencesSection> selection = PreferencesSection::desktop)
      : selection_(selection) {}

  std::optional<PreferencesSection> selection() const { return selection_; }
  // Tells the observers only when the selection differs.
  void setSelection(std::optional<PreferencesSection> selection) {
    if (selection == selection_) return;
    selection_ = selection;
    changes_.notify(selection_);
  }
  // The panel shown for the current selection.
  PreferencesSection shownSection() const {
    return selection_.value_or(PreferencesSection::desktop);
  }

  Observers<std::optional<PreferencesSection>>& changes() { return changes_; }

 private:
  std::optional<PreferencesSection> selection_;
  Observers<std::optional<PreferencesSection>> changes_;
};

}  // namespace vorlane
