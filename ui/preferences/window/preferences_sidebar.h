#pragma once

#include <QListWidget>

#include "ui/preferences/window/preferences_navigation.h"

namespace vorlane {

// The window's list of panels under their group headers. A click selects a panel through the
// navigation; Ctrl+click on the highlighted row leaves no selection. Follows the navigation
// when the shell selects a panel.
class PreferencesSidebar final : public QListWidget {
 public:
  PreferencesSidebar(PreferencesNavigation& navigation, QWidget* parent);

  // The row of a section.
  QListWidgetItem* row(PreferencesSection section) const;

 private:
  void showSelection(std::optional<PreferencesSection> selection);
  void selectionEdited();

  PreferencesNavigation& navigation_;
  Observers<std::optional<PreferencesSection>>::Subscription subscription_;
};

}  // namespace vorlane
