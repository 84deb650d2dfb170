#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/settings/preferences_store.h"
#include "ui/tray/status_command.h"
#include "ui/tray/status_snapshot.h"
#include "ui/tray/status_source.h"
#include "ui/windows/reminder_editor/reminder_editor_window.h"

namespace vorlane {

// What the status menu asks of the mascot and of the application shell. A missing hook
// leaves its entries disabled.
struct StatusItemHooks {
  // Stores a horizontal place on the mascot's display, keeping the vertical one.
  std::function<void(double)> moveMascot;
  std::function<void()> resetMascot;
  // Opens a window of the shell (preferences, About) by its kind.
  std::map<WindowKind, std::function<void()>> openWindow;
  // Falls back to opening the preferences when absent.
  std::function<void()> openAppearance;
  // The application's normal quit, so the shut-down path runs.
  std::function<void()> quit;
  // Tells the user, in its sentence, that a command of the menu failed; the command has no
  // window to show it in. The failure is only logged when absent.
  std::function<void(const std::string& sentence)> reportFailure;
};

// Reads the status item's state from its source and runs the menu's commands on it, the
// mascot, the shell and the reminder editor the item owns. Without a source (the application
// is gone) the snapshot is idle and the application's commands do nothing. Main thread only.
class StatusItemActions {
 public:
  // `reminderEditor` is optional: without it adding and editing reminders is not offered.
  StatusItemActions(std::shared_ptr<StatusSource> source,
                    std::shared_ptr<PreferencesStore> preferences, StatusItemHooks hooks,
                    std::shared_ptr<ReminderEditorWindow> reminderEditor = nullptr);

  // `trayShown`: whether a tray shows the menu (click-through is offered only then). Read for
  // the menu, the reminder rows start at the `firstReminder`th stored.
  StatusSnapshot snapshot(bool trayShown, StatusReading reading = StatusReading::menu,
                          std::size_t firstReminder = 0) const;
  // Runs one command; data of the wrong kind does nothing (an edit logs why). A setting is
  // only written: whoever acts on it follows the store's changes. A command that fails is
  // logged and reported through the hooks.
  void run(StatusCommand command, const StatusData& data);

  // The settings the menu shows; none without a store.
  PreferencesStore* preferences() const { return preferences_.get(); }

 private:
  // Runs a command of the mascot, the shell or the item itself; false for the source's.
  bool runOwn(StatusCommand command, const StatusData& data);
  void addReminder();
  void editReminder(const StatusData& data);
  void toggleMascotClicks();
  std::function<void()> shellWindow(WindowKind kind) const;

  std::shared_ptr<StatusSource> source_;
  std::shared_ptr<PreferencesStore> preferences_;
  StatusItemHooks hooks_;
  std::shared_ptr<ReminderEditorWindow> reminderEditor_;
};

}  // namespace vorlane
