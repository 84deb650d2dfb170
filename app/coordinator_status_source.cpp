#include "app/coordinator_status_source.h"

#include "core/focus/mute_duration.h"

namespace vorlane {

CoordinatorStatusSource::CoordinatorStatusSource(std::weak_ptr<VisitCoordinator> coordinator)
    : coordinator_(std::move(coordinator)) {}

CoordinatorStatus CoordinatorStatusSource::snapshot(StatusReading reading,
                                                    std::size_t firstReminder) const {
  const auto c = coordinator_.lock();
  if (!c) return {};
  // The icon reads often: with thousands stored, describing each schedule would cost.
  if (reading == StatusReading::icon) return c->status(0);
  return c->status(menuReminderRows, firstReminder);
}

void CoordinatorStatusSource::run(StatusCommand command, const StatusData& data) {
  const auto c = coordinator_.lock();
  if (!c) return;
  switch (command) {
    case StatusCommand::openWindow:
      if (const auto* kind = std::get_if<WindowKind>(&data)) c->show(*kind);
      return;
    case StatusCommand::vorlaneNow:
      c->vorlaneNow();
      return;
    case StatusCommand::encourageNow:
      c->encourageNow();
      return;
    case StatusCommand::fiveMinutes:
      c->focus().requestFiveMinuteFocus();
      return;
    // A row of a menu left open may outlive the session it was for: the focus part refuses
    // it in its sentence rather than doing nothing.
    case StatusCommand::pauseSession:
      c->focus().requestPauseSession();
      return;
    case StatusCommand::resumeSession:
      c->focus().requestResumeSession();
      return;
    case StatusCommand::editNextStep:
      c->focus().showResumeNote(false);
      return;
    case StatusCommand::extendSession:
      c->focus().extendSession(5);
      return;
    case StatusCommand::skipBreak:
      c->focus().skipBreak();
      return;
    case StatusCommand::startBreak:
      c->focus().startBreak();
      return;
    case StatusCommand::startPomodoro:
      c->focus().requestNewPomodoro();
      return;
    case StatusCommand::cancelPomodoro:
      c->focus().cancelPomodoro();
      return;
    case StatusCommand::markAccomplished:
      c->focus().markFocusAccomplished();
      return;
    case StatusCommand::discardLastSession:
      c->focus().discardLastSession();
      return;
    case StatusCommand::undoLastReminder:
      c->reminders().undoLast();
      return;
    case StatusCommand::snoozeLastReminder:
      c->reminders().snoozeLast(10);
      return;
    case StatusCommand::deleteReminder:
      if (const auto* id = std::get_if<UUID>(&data)) c->reminders().remove(*id);
      return;
    case StatusCommand::unmute:
      c->reminders().unmute();
      return;
    case StatusCommand::muteFor:
      if (const auto* raw = std::get_if<std::string>(&data)) {
        if (const auto duration = muteDurationFromRaw(*raw)) c->mute(*duration);
      }
      return;
    default:
      return;  // the item's own, the mascot's and the shell's
  }
}

std::optional<Reminder> CoordinatorStatusSource::storedReminder(const UUID& id) const {
  const auto c = coordinator_.lock();
  if (!c) return std::nullopt;
  for (const Reminder& reminder : c->reminders().reminders()) {
    if (reminder.id == id) return reminder;
  }
  return std::nullopt;
}

Reminder CoordinatorStatusSource::addReminder(const std::string& text) {
  return running()->reminders().add(text);
}

Reminder CoordinatorStatusSource::updateReminder(const UUID& id, const std::string& phrase,
                                                 const std::string& schedule) {
  return running()->reminders().update(id, phrase, schedule);
}

std::shared_ptr<VisitCoordinator> CoordinatorStatusSource::running() const {
  auto c = coordinator_.lock();
  if (!c) throw ActionError(ActionErrorCase::applicationClosing);
  return c;
}

}  // namespace vorlane
