#include "ui/tray/status_item_actions.h"

#include "core/focus/mute_duration.h"
#include "platform/logging/log.h"

namespace vorlane {

StatusItemActions::StatusItemActions(std::weak_ptr<VisitCoordinator> coordinator,
                                     std::shared_ptr<PreferencesStore> preferences,
                                     StatusItemHooks hooks)
    : coordinator_(std::move(coordinator)),
      preferences_(std::move(preferences)),
      hooks_(std::move(hooks)) {}

StatusSnapshot StatusItemActions::snapshot(bool trayShown) const {
  StatusSnapshot s;
  s.trayShown = trayShown;
  auto& a = s.available;
  a.preferences = static_cast<bool>(hooks_.openPreferences);
  a.appearance = static_cast<bool>(hooks_.openAppearance);
  a.about = static_cast<bool>(hooks_.openAbout);
  a.mascot = hooks_.moveMascot && hooks_.resetMascot && preferences_;
  const auto c = coordinator_.lock();
  if (!c) return s;
  const Date now = c->now();
  s.session = c->pomodoro();
  s.statusText = s.session.statusText(now);
  s.nextVisit = c->nextVisitDescription();
  s.muted = c->mutedUntil() && *c->mutedUntil() > now;
  if (const auto expiry = c->muteExpiry()) s.muteExpiry = c->formatTime(*expiry);
  s.isStarterFocus = c->isStarterFocus();
  s.nextStep = c->nextStep();
  s.recoveryNeedsAttention = c->recoveryNeedsAttention();
  s.focusHistoryError = c->focusHistoryError();
  if (const auto& added = c->lastAddedReminder()) s.lastAddedPhrase = added->phrase;
  if (const auto& fired = c->lastFiredReminder()) s.lastFiredPhrase = fired->phrase;
  const Calendar calendar = c->userCalendar();
  for (const Reminder& reminder : c->reminders()) {
    s.reminders.push_back(
        {reminder.id, reminder.phrase, reminder.scheduleDescription(calendar, now)});
  }
  if (preferences_) s.clickThrough = preferences_->preferences().mascotClickThrough;

  const FeatureWindowControllers& w = c->featureWindows();
  a.quickCommands = w.quickCommands != nullptr;
  a.focusEditor = w.focusEditor != nullptr;
  a.resumeNotes = w.resumeNotes != nullptr;
  a.today = w.today != nullptr;
  a.focusHistory = w.focusHistory != nullptr;
  a.reflection = w.reflection != nullptr;
  a.calendarFocus = w.calendar != nullptr && c->hasCalendarFocus();
  a.reminderEditor = w.reminderEditor != nullptr;
  return s;
}

void StatusItemActions::run(StatusCommand command, const StatusData& data) {
  if (runHook(command, data)) return;
  const auto c = coordinator_.lock();
  if (!c) return;
  switch (command) {
    case StatusCommand::quickCommands: c->showQuickCommands(); return;
    case StatusCommand::vorlaneNow: c->vorlaneNow(); return;
    case StatusCommand::encourageNow: c->encourageNow(); return;
    case StatusCommand::fiveMinutes: c->requestFiveMinuteFocus(); return;
    case StatusCommand::showToday: c->showToday(); return;
    case StatusCommand::showFocusHistory: c->showFocusHistory(); return;
    case StatusCommand::showReflection: c->showWeeklyReflection(); return;
    case StatusCommand::showCalendar: c->showCalendarFocus(); return;
    case StatusCommand::pauseSession: c->requestPauseSession(); return;
    case StatusCommand::resumeSession: c->requestResumeSession(); return;
    case StatusCommand::editNextStep: c->showResumeNotes(false); return;
    case StatusCommand::extendSession: c->extendSession(5); return;
    case StatusCommand::skipBreak: c->skipBreak(); return;
    case StatusCommand::startBreak: c->startBreak(); return;
    case StatusCommand::startPomodoro: c->requestNewPomodoro(); return;
    case StatusCommand::cancelPomodoro: c->cancelPomodoro(); return;
    case StatusCommand::markAccomplished: c->markFocusAccomplished(); return;
    case StatusCommand::discardLastSession: c->discardLastSession(); return;
    case StatusCommand::addReminder:
      if (const auto editor = c->featureWindows().reminderEditor) {
        editor->show(std::nullopt, [weak = coordinator_](const std::string& phrase,
                                                         const std::string&) {
          const auto self = weak.lock();
          if (!self) throw ActionError(ActionErrorCase::noRunningSession);
          return self->addReminder(phrase);
        });
      }
      return;
    case StatusCommand::undoLastReminder: c->undoLastReminder(); return;
    case StatusCommand::snoozeLastReminder: c->snoozeLastReminder(10); return;
    case StatusCommand::editReminder: editReminder(*c, data); return;
    case StatusCommand::deleteReminder:
      if (const auto* id = std::get_if<UUID>(&data)) c->removeReminder(*id);
      return;
    case StatusCommand::unmute: c->unmute(); return;
    case StatusCommand::muteFor:
      if (const auto* raw = std::get_if<std::string>(&data)) {
        if (const auto duration = muteDurationFromRaw(*raw)) c->mute(*duration);
      }
      return;
    default: return;  // the mascot's and the shell's, above
  }
}

bool StatusItemActions::runHook(StatusCommand command, const StatusData& data) {
  // These need no coordinator.
  const auto call = [](const std::function<void()>& hook) {
    if (hook) hook();
  };
  switch (command) {
    case StatusCommand::moveMascot:
      if (const auto* h = std::get_if<double>(&data); h && hooks_.moveMascot) hooks_.moveMascot(*h);
      return true;
    case StatusCommand::resetMascot: call(hooks_.resetMascot); return true;
    case StatusCommand::toggleMascotClicks: toggleMascotClicks(); return true;
    case StatusCommand::openAppearance:
      call(hooks_.openAppearance ? hooks_.openAppearance : hooks_.openPreferences);
      return true;
    case StatusCommand::openPreferences: call(hooks_.openPreferences); return true;
    case StatusCommand::openAbout: call(hooks_.openAbout); return true;
    case StatusCommand::quit: call(hooks_.quit); return true;
    case StatusCommand::none: return true;
    default: return false;
  }
}

void StatusItemActions::editReminder(VisitCoordinator& c, const StatusData& data) {
  const auto* id = std::get_if<UUID>(&data);
  std::optional<Reminder> stored;
  if (id) {
    for (const Reminder& reminder : c.reminders()) {
      if (reminder.id == *id) stored = reminder;
    }
  }
  if (!stored) {
    Log::reminders().error("cannot edit a reminder that is no longer saved");
    return;
  }
  const auto editor = c.featureWindows().reminderEditor;
  if (!editor) return;
  editor->show(stored, [weak = coordinator_, id = stored->id](const std::string& phrase,
                                                                const std::string& schedule) {
    const auto self = weak.lock();
    if (!self) throw ActionError(ActionErrorCase::noRunningSession);
    return self->updateReminder(id, phrase, schedule);
  });
}

void StatusItemActions::toggleMascotClicks() {
  if (!preferences_) return;
  preferences_->modify([](Preferences& p) { p.mascotClickThrough = !p.mascotClickThrough; });
}

}  // namespace vorlane
