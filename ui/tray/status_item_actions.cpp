#include "ui/tray/status_item_actions.h"

#include <optional>
#include <string>
#include <utility>

#include "platform/logging/log.h"
#include "ui/kit/window_content.h"
#include "ui/tray/status_window_rows.h"

namespace vorlane {

StatusItemActions::StatusItemActions(std::shared_ptr<StatusSource> source,
                                     std::shared_ptr<PreferencesStore> preferences,
                                     StatusItemHooks hooks,
                                     std::shared_ptr<ReminderEditorWindow> reminderEditor)
    : source_(std::move(source)),
      preferences_(std::move(preferences)),
      hooks_(std::move(hooks)),
      reminderEditor_(std::move(reminderEditor)) {}

StatusSnapshot StatusItemActions::snapshot(bool trayShown, StatusReading reading,
                                           std::size_t firstReminder) const {
  StatusSnapshot s{source_ ? source_->snapshot(reading, firstReminder) : CoordinatorStatus{}};
  s.trayShown = trayShown;
  s.mascot = hooks_.moveMascot && hooks_.resetMascot && preferences_;
  for (const auto& [kind, open] : hooks_.openWindow) {
    if (open) s.windows.insert(kind);
  }
  if (!source_) return s;
  // The editor saves through the source: without it there is nothing to save to.
  if (reminderEditor_) s.windows.insert(WindowKind::reminderEditor);
  if (preferences_) s.clickThrough = preferences_->preferences().mascotClickThrough;
  return s;
}

void StatusItemActions::run(StatusCommand command, const StatusData& data) {
  if (runOwn(command, data) || !source_) return;
  // Run from the event loop once the menu has closed: nothing above would catch.
  const std::optional<QString> failure =
      WindowContent::failureOf([&] { source_->run(command, data); });
  if (!failure) return;
  const std::string sentence = failure->toStdString();
  Log::lifecycle().error("a menu command failed: %{public}s", sentence);
  if (hooks_.reportFailure) hooks_.reportFailure(sentence);
}

std::function<void()> StatusItemActions::shellWindow(WindowKind kind) const {
  const auto found = hooks_.openWindow.find(kind);
  return found == hooks_.openWindow.end() ? nullptr : found->second;
}

bool StatusItemActions::runOwn(StatusCommand command, const StatusData& data) {
  // These need no source, but the reminder editor.
  const auto call = [](const std::function<void()>& hook) {
    if (hook) hook();
  };
  switch (command) {
    case StatusCommand::moveMascot:
      if (const auto* h = std::get_if<double>(&data); h && hooks_.moveMascot) hooks_.moveMascot(*h);
      return true;
    case StatusCommand::resetMascot:
      call(hooks_.resetMascot);
      return true;
    case StatusCommand::toggleMascotClicks:
      toggleMascotClicks();
      return true;
    case StatusCommand::openAppearance:
      call(hooks_.openAppearance ? hooks_.openAppearance : shellWindow(WindowKind::preferences));
      return true;
    case StatusCommand::addReminder:
      addReminder();
      return true;
    case StatusCommand::editReminder:
      editReminder(data);
      return true;
    case StatusCommand::quit:
      call(hooks_.quit);
      return true;
    case StatusCommand::none:
      return true;
    default:
      break;
  }
  // A shell window's row.
  if (const auto kind = windowOpenedBy(command, data)) {
    if (const auto open = shellWindow(*kind)) {
      open();
      return true;
    }
  }
  return false;
}

void StatusItemActions::addReminder() {
  if (!source_ || !reminderEditor_) return;
  reminderEditor_->show(std::nullopt,
                        [source = source_](const std::string& phrase, const std::string&) {
                          return source->addReminder(phrase);
                        });
}

void StatusItemActions::editReminder(const StatusData& data) {
  if (!source_) return;
  const auto* id = std::get_if<UUID>(&data);
  std::optional<Reminder> stored = id ? source_->storedReminder(*id) : std::nullopt;
  if (!stored) {
    Log::reminders().error("cannot edit a reminder that is no longer saved");
    return;
  }
  if (!reminderEditor_) return;
  const UUID storedID = stored->id;
  // Moved, not copied: GCC 12 takes a copy of the reminder's recurrence for uninitialised.
  reminderEditor_->show(
      std::move(stored),
      [source = source_, storedID](const std::string& phrase, const std::string& schedule) {
        return source->updateReminder(storedID, phrase, schedule);
      });
}

void StatusItemActions::toggleMascotClicks() {
  if (!preferences_) return;
  preferences_->modify([](Preferences& p) { p.mascotClickThrough = !p.mascotClickThrough; });
}

}  // namespace vorlane
