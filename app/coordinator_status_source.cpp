#include "app/coordinator_status_source.h"

#include "core/focus/mute_duration.h"

namespace vorlane {

CoordinatorStatusSource::CoordinatorStatusSource(std::weak_ptr<VisitCoordinator> coordinator)
    : coordinator_(std::move(coordinator)) {}

StatusSnapshot CoordinatorStatusSource::snapshot() const {
  StatusSnapshot s;
  const auto c = coordinator_.lock();
  if (!c) return s;
  const Date now = c->now();
  s.session = c->pomodoro();
  s.statusText = s.session.statusText(now);
  s.nextVisit = c->nextVisitDescription();
  // The mute's end while it is in force: the reminders' own test of a mute, asked once.
  const std::optional<Date> muteEnd = c->muteExpiry();
  s.muted = muteEnd.has_value();
  if (muteEnd) s.muteExpiry = c->formatTime(*muteEnd);
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
  for (const WindowKind kind : c->featureWindows().kinds()) s.windows.insert(kind);
  // The calendar focus window has nothing to show without the calendar's model.
  if (!c->hasCalendarFocus()) s.windows.erase(WindowKind::calendarFocus);
  return s;
}

void CoordinatorStatusSource::run(StatusCommand command, const StatusData& data) {
  const auto c = coordinator_.lock();
  if (!c) return;
  switch (command) {
    case StatusCommand::openWindow:
      if (const auto* kind = std::get_if<WindowKind>(&data)) c->show(*kind);
      return;
    case StatusCommand::vorlaneNow: c->vorlaneNow(); return;
    case StatusCommand::encourageNow: c->encourageNow(); return;
    case StatusCommand::fiveMinutes: c->requestFiveMinuteFocus(); return;
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
    case StatusCommand::undoLastReminder: c->undoLastReminder(); return;
    case StatusCommand::snoozeLastReminder: c->snoozeLastReminder(10); return;
    case StatusCommand::deleteReminder:
      if (const auto* id = std::get_if<UUID>(&data)) c->removeReminder(*id);
      return;
    case StatusCommand::unmute: c->unmute(); return;
    case StatusCommand::muteFor:
      if (const auto* raw = std::get_if<std::string>(&data)) {
        if (const auto duration = muteDurationFromRaw(*raw)) c->mute(*duration);
      }
      return;
    default: return;  // the item's own, the mascot's and the shell's
  }
}

std::optional<Reminder> CoordinatorStatusSource::storedReminder(const UUID& id) const {
  const auto c = coordinator_.lock();
  if (!c) return std::nullopt;
  for (const Reminder& reminder : c->reminders()) {
    if (reminder.id == id) return reminder;
  }
  return std::nullopt;
}

Reminder CoordinatorStatusSource::addReminder(const std::string& text) {
  return running()->addReminder(text);
}

Reminder CoordinatorStatusSource::updateReminder(const UUID& id, const std::string& phrase,
                                                 const std::string& schedule) {
  return running()->updateReminder(id, phrase, schedule);
}

std::shared_ptr<VisitCoordinator> CoordinatorStatusSource::running() const {
  auto c = coordinator_.lock();
  if (!c) throw ActionError(ActionErrorCase::applicationClosing);
  return c;
}

}  // namespace vorlane
