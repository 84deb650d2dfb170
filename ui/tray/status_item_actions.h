#pragma once

#include <functional>
#include <memory>

#include "coordination/visit_coordinator.h"
#include "core/settings/preferences_store.h"
#include "ui/tray/status_command.h"
#include "ui/tray/status_snapshot.h"

namespace vorlane {

// What the status menu asks of the mascot and of the application shell. A missing hook
// leaves its entries disabled.
struct StatusItemHooks {
  // Stores a horizontal place on the mascot's display, keeping the vertical one.
  std::function<void(double)> moveMascot;
  std::function<void()> resetMascot;
  std::function<void()> openPreferences;
  std::function<void()> openAbout;
  // Falls back to `openPreferences` when absent.
  std::function<void()> openAppearance;
  // The application's normal quit, so the shut-down path runs.
  std::function<void()> quit;
};

// Reads the status item's state from the coordinator and runs the menu's commands on it,
// the mascot and the shell. Holds the coordinator weakly: once it is gone, the snapshot is
// empty and commands do nothing. Main thread only.
class StatusItemActions {
 public:
  StatusItemActions(std::weak_ptr<VisitCoordinator> coordinator,
                    std::shared_ptr<PreferencesStore> preferences, StatusItemHooks hooks);

  // `trayShown`: whether a tray shows the menu (click-through is offered only then).
  StatusSnapshot snapshot(bool trayShown) const;
  // Runs one command; data of the wrong kind does nothing (an edit logs why). A setting is
  // only written: whoever acts on it follows the store's changes.
  void run(StatusCommand command, const StatusData& data);

  // The settings the menu shows; none without a store.
  PreferencesStore* preferences() const { return preferences_.get(); }

 private:
  // Runs a command of the mascot or the shell; false for the coordinator's.
  bool runHook(StatusCommand command, const StatusData& data);
  void editReminder(VisitCoordinator& coordinator, const StatusData& data);
  void toggleMascotClicks();

  std::weak_ptr<VisitCoordinator> coordinator_;
  std::shared_ptr<PreferencesStore> preferences_;
  StatusItemHooks hooks_;
};

}  // namespace vorlane
