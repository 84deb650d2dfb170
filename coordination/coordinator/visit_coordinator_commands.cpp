// Quick-action pills, typed commands, the mute and the visits on demand.
#include <string>
#include <utility>
#include <variant>

#include "coordination/commands/session_quick_actions.h"
#include "coordination/coordinator/visit_coordinator.h"
#include "core/productivity/quick_command.h"
#include "core/visits/phrase_formatter.h"
#include "foundation/text.h"

namespace vorlane {

std::vector<QuickAction> VisitCoordinator::availableQuickActions() const {
  return quickActionsFor(focus_->pomodoro(), focus_->isStarterFocus(),
                         reminders_->isMuted(clock_->now()));
}

void VisitCoordinator::refreshQuickActions() {
  const int workMinutes = static_cast<int>(preferencesStore_->preferences().effectiveWorkMinutes());
  presenter_->updateContext(workMinutes, reminders_->isMuted(clock_->now()),
                            availableQuickActions());
}

void VisitCoordinator::vorlaneNow() {
  const Date now = clock_->now();
  const Preferences preferences = preferencesStore_->preferences();
  const PhraseFormatter formatter(preferences.phraseTemplate, calendar());
  const Visit visit{UUID::random(),
                    Visit::Kind::manual(),
                    now,
                    formatter.phrase(now),
                    formatter.bubbleText(now),
                    true,
                    Visit::BubbleStyle::headline,
                    Choreography::standard(),
                    true};
  presenter_->setBubbleVisible(true);
  // Held visits wait for the next tick; this one only reports that it has gone.
  const bool taken = presenter_->performIfFree(visit, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->signalStateChanged();
  });
  if (!taken) return;
  speech_->speak(visit.spokenPhrase, now, nullptr);
}

void VisitCoordinator::encourageNow() { nudges_->encourageNow(focus_->pomodoro()); }

// Muting also silences what is being said right now, not only what comes later.
void VisitCoordinator::mute(MuteDuration duration) {
  reminders_->mute(duration);
  speech_->stop();
}

void VisitCoordinator::toggleMute() {
  reminders_->toggleMute();
  if (reminders_->isMuted(clock_->now())) speech_->stop();
}

void VisitCoordinator::perform(QuickAction action) {
  // The pills follow the phase, so a refused one was drawn before the phase changed: it
  // changes nothing and shows nothing.
  try {
    switch (action) {
      case QuickAction::vorlane:
        vorlaneNow();
        return;
      case QuickAction::startPomodoro:
      case QuickAction::restartPomodoro:
        focus_->requestNewPomodoro();
        return;
      case QuickAction::dismissCompletion:
      case QuickAction::stopForNow:
        focus_->dismissCompletion();
        return;
      case QuickAction::markAccomplished:
      case QuickAction::finishStarter:
        focus_->markFocusAccomplished();
        return;
      case QuickAction::keepGoing:
      case QuickAction::extendSession:
        focus_->extendSession(5);
        return;
      case QuickAction::pauseSession:
        focus_->requestPauseSession();
        return;
      case QuickAction::resumeSession:
        focus_->requestResumeSession();
        return;
      case QuickAction::cancelSession:
        focus_->cancelPomodoro();
        return;
      case QuickAction::startBreak:
        focus_->startBreak();
        return;
      case QuickAction::skipBreak:
        focus_->skipBreak();
        return;
      case QuickAction::mute:
        mute(MuteDuration::oneHour);
        return;
      case QuickAction::unmute:
        reminders_->unmute();
        return;
    }
  } catch (const ActionError&) {
  }
}

std::string VisitCoordinator::executeCommand(const std::string& text) {
  const QuickCommand command = QuickCommand::parse(text);
  const auto& value = command.value();
  if (const auto* focus = std::get_if<QuickCommand::Focus>(&value)) {
    const int minutes = focus->minutes.value_or(
        static_cast<int>(preferencesStore_->preferences().effectiveWorkMinutes()));
    focus_->startRequestedFocus(minutes, focus->goal);
    return "Started " + std::to_string(minutes) + " minutes: " + isolated(focus->goal) + ".";
  }
  if (const auto* remind = std::get_if<QuickCommand::Remind>(&value)) {
    const Reminder reminder = reminders_->add(remind->text);
    return "Saved: " + isolated(reminder.phrase) + " \u2014 " +
           reminder.scheduleDescription(calendar(), clock_->now()) + ".";
  }
  // The focus part refuses a session command its phase gives no effect.
  const PomodoroSession& session = focus_->pomodoro();
  if (std::holds_alternative<QuickCommand::Pause>(value)) {
    focus_->requestPauseSession();
    // A period whose time was already up finishes instead of pausing.
    if (session.completion()) return "Your session finished. Choose what to do next from the menu.";
    return "Paused. You can leave an optional next step for your return.";
  }
  if (std::holds_alternative<QuickCommand::Resume>(value)) {
    focus_->requestResumeSession();
    // A focus with a saved next step shows it first and stays paused until then.
    if (session.isPaused()) return "Review your next step, then choose Save & resume.";
    const std::string& focus = session.focus();
    return "Resumed: " + (focus.empty() ? std::string("your session") : isolated(focus)) + ".";
  }
  focus_->cancelPomodoro();
  return "Session stopped. Nothing was marked accomplished.";
}

void VisitCoordinator::showQuickCommand() {
  const auto window = windows_.get<QuickCommandWindow>();
  if (!window) return;
  window->show(quickActionHotKey_ != nullptr, [weak = weak_from_this()](const std::string& text) {
    const auto self = weak.lock();
    if (!self) throw ActionError(ActionErrorCase::applicationClosing);
    return self->executeCommand(text);
  });
}

void VisitCoordinator::wireUserInput() {
  presenter_->onPullDown = [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->vorlaneNow();
  };
  presenter_->onQuickAction = [weak = weak_from_this()](QuickAction action) {
    if (const auto self = weak.lock()) self->perform(action);
  };
  if (!hotKeys_) return;
  hotKey_ = hotKeys_->registerHotKey(muteHotKey, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->toggleMute();
  });
  quickActionHotKey_ = hotKeys_->registerHotKey(quickCommandHotKey, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->showQuickCommand();
  });
}

}  // namespace vorlane
